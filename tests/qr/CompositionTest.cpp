// Composition on small hand-made pictures: the pixel rule, each composition of the settings,
// the logo, the placements and their clamping.
#include "qr/Composition.h"
#include "qr/PixelOps.h"

#include <gtest/gtest.h>

#include <vector>

using namespace kodrix;

namespace {

constexpr QRgb kWhite = 0xFFFFFFFFu;
constexpr QRgb kBlack = 0xFF000000u;
constexpr QRgb kNearWhite = 0xFFFFFFFEu;

QImage filled(int width, int height, QRgb colour) {
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(colour);
    return picture;
}

// A 10 × 10 "code": black left half, white right half, one near-white pixel at (9, 9).
QImage halfCode() {
    QImage code = filled(10, 10, kWhite);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 5; ++x)
            code.setPixel(x, y, kBlack);
    code.setPixel(9, 9, kNearWhite);
    return code;
}

// Every pixel has its own colour: red = x, green = y.
QImage coordinates(int width, int height) {
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, qRgb(x, y, 7));
    return picture;
}

RunSettings settingsOf(int width, int height) {
    RunSettings settings;
    settings.width = width;
    settings.height = height;
    settings.values.codecolor = QColor(10, 20, 30);
    settings.values.backcolor = QColor(200, 210, 220);
    return settings;
}

// Records every request and answers with a fixed point, or cancels.
class RecordingPlacement final : public PlacementProvider {
public:
    explicit RecordingPlacement(std::optional<QPoint> answer) : answer_(answer) {}
    std::optional<QPoint> place(const PlacementRequest &request) override {
        asked.push_back({request.kind, request.picture.size(), request.code});
        return answer_;
    }
    struct Asked {
        PlacementKind kind;
        QSize picture;
        QImage code;
    };
    std::vector<Asked> asked;

private:
    std::optional<QPoint> answer_;
};

} // namespace

TEST(PixelRule, OnlyPureWhiteIsWhite) {
    EXPECT_TRUE(isWhite(kWhite));
    EXPECT_TRUE(isWhite(0x00FFFFFFu)); // alpha plays no part
    EXPECT_FALSE(isWhite(kNearWhite));
    EXPECT_FALSE(isWhite(0xFFFEFFFFu));
    EXPECT_FALSE(isWhite(kBlack));
}

TEST(ClampPlacement, KeepsTheCodeOnThePicture) {
    const QSize code(100, 50);
    const QSize picture(300, 200);
    struct Case {
        QPoint wanted;
        QSize picture;
        QPoint expected;
    };
    const Case cases[] = {
        {{20, 30}, picture, {20, 30}},
        {{0, 0}, picture, {0, 0}},
        {{250, 10}, picture, {200, 10}},  // beyond the right edge: ends at it
        {{10, 180}, picture, {10, 150}},  // beyond the bottom edge
        {{-5, -7}, picture, {0, 0}},      // beyond left and top: stops at 0
        {{500, 500}, picture, {200, 150}},
        {{30, 30}, {80, 40}, {0, 0}},     // code larger than the picture: top-left corner
        {{-30, 5}, {100, 50}, {0, 0}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(clampPlacement(c.wanted, code, c.picture), c.expected) << c.wanted.x() << "," << c.wanted.y();
}

TEST(OverlayNonWhite, CopiesDarkPixelsAndCutsAtTheEdges) {
    QImage destination = filled(6, 4, qRgb(1, 2, 3));
    QImage source = filled(4, 3, kWhite);
    source.setPixel(0, 0, kBlack);
    source.setPixel(1, 0, kNearWhite);
    source.setPixel(3, 2, qRgb(9, 9, 9)); // falls beyond the right edge at x = 4

    overlayNonWhite(destination, source, 3, 1);
    EXPECT_EQ(destination.pixel(3, 1), kBlack);
    EXPECT_EQ(destination.pixel(4, 1), kNearWhite);
    EXPECT_EQ(destination.pixel(5, 1), qRgb(1, 2, 3)); // white source pixel leaves it
    EXPECT_EQ(destination.pixel(5, 3), qRgb(1, 2, 3));

    // A source placed entirely beyond the destination changes nothing.
    QImage untouched = destination.copy();
    overlayNonWhite(untouched, source, 6, 4);
    EXPECT_EQ(untouched, destination);
}

TEST(AddLogo, SizeAndPlaceAreFifthsTruncated) {
    EXPECT_EQ(logoSize(300, 300), QSize(60, 60));
    EXPECT_EQ(logoPosition(300, 300), QPoint(120, 120));
    EXPECT_EQ(logoSize(301, 301), QSize(60, 60));
    EXPECT_EQ(logoPosition(301, 301), QPoint(120, 120));
    EXPECT_EQ(logoSize(14, 9), QSize(2, 1));
    EXPECT_EQ(logoPosition(14, 9), QPoint(5, 3));
}

TEST(AddLogo, OpaqueCoversTransparentLetsTheCodeShow) {
    QImage logo = filled(2, 2, kWhite);
    logo.setPixel(0, 0, qRgb(0, 0, 255));
    for (bool transparent : {false, true}) {
        QImage code = filled(10, 10, kBlack);
        addLogo(code, logo, transparent, 10, 10);
        EXPECT_EQ(code.pixel(4, 4), qRgb(0, 0, 255));
        EXPECT_EQ(code.pixel(5, 5), transparent ? kBlack : kWhite) << transparent;
        EXPECT_EQ(code.pixel(6, 6), kBlack);
    }
}

TEST(Compose, UniformColourAndUniformBackground) {
    RunSettings settings = settingsOf(10, 10);
    auto out = compose(halfCode(), settings, RunState{});
    ASSERT_TRUE(out.ok()) << out.error().toStdString();
    EXPECT_EQ(out->size(), QSize(10, 10));
    EXPECT_EQ(out->pixel(0, 0), qRgb(10, 20, 30));
    EXPECT_EQ(out->pixel(9, 9), qRgb(10, 20, 30)); // near-white is dark
    EXPECT_EQ(out->pixel(7, 0), qRgb(200, 210, 220));
}

TEST(Compose, WhiteCodeColourEndsInTheBackgroundColour) {
    RunSettings settings = settingsOf(10, 10);
    settings.values.codecolor = Qt::white;
    auto out = compose(halfCode(), settings, RunState{});
    ASSERT_TRUE(out.ok());
    EXPECT_EQ(out->pixel(0, 0), qRgb(200, 210, 220));
}

TEST(Compose, TransparentLogoWhiteTakesTheBackgroundColour) {
    RunSettings settings = settingsOf(10, 10);
    settings.values.logotransparent = true;
    RunState state;
    state.pictures.logo = filled(2, 2, kWhite);
    state.pictures.logo.setPixel(1, 1, qRgb(0, 255, 0));
    auto out = compose(filled(10, 10, kBlack), settings, state);
    ASSERT_TRUE(out.ok());
    EXPECT_EQ(out->pixel(4, 4), qRgb(10, 20, 30));  // the code shows through the logo's white
    EXPECT_EQ(out->pixel(5, 5), qRgb(0, 255, 0));

    settings.values.logotransparent = false;
    out = compose(filled(10, 10, kBlack), settings, state);
    ASSERT_TRUE(out.ok());
    EXPECT_EQ(out->pixel(4, 4), qRgb(200, 210, 220)); // opaque logo white, then background
}

TEST(Compose, PictureColourAtThePlacement) {
    RunSettings settings = settingsOf(10, 10);
    settings.values.codecolorfrom = kPictureColour;
    RunState state;
    state.pictures.colour = coordinates(40, 30);
    state.colourPlacement = QPoint(20, 5);
    auto out = compose(halfCode(), settings, state);
    ASSERT_TRUE(out.ok()) << out.error().toStdString();
    EXPECT_EQ(out->pixel(0, 0), qRgb(20, 5, 7));
    EXPECT_EQ(out->pixel(4, 9), qRgb(24, 14, 7));
    EXPECT_EQ(out->pixel(9, 9), qRgb(29, 14, 7));
    EXPECT_EQ(out->pixel(7, 3), qRgb(200, 210, 220)); // white takes the background colour
}

TEST(Compose, PictureColourNeedsItsPictureAndPlacement) {
    RunSettings settings = settingsOf(10, 10);
    settings.values.codecolorfrom = kPictureColour;
    settings.values.codecolorpicture = QStringLiteral("/nowhere/颜色.jpg");
    RunState state;
    auto out = compose(halfCode(), settings, state);
    ASSERT_FALSE(out.ok());
    EXPECT_TRUE(out.error().contains(QStringLiteral("/nowhere/颜色.jpg")));

    state.pictures.colour = coordinates(40, 30);
    EXPECT_FALSE(compose(halfCode(), settings, state).ok()); // placement not settled
}

TEST(Compose, StretchedBackgroundUnderTheDarkPixels) {
    RunSettings settings = settingsOf(10, 10);
    settings.values.backcolorfrom = kPictureColour;
    settings.values.backstretch = true;
    RunState state;
    state.pictures.background = coordinates(10, 10);
    auto out = compose(halfCode(), settings, state);
    ASSERT_TRUE(out.ok());
    EXPECT_EQ(out->size(), QSize(10, 10));
    EXPECT_EQ(out->pixel(1, 1), qRgb(10, 20, 30));
    EXPECT_EQ(out->pixel(7, 2), qRgb(7, 2, 7));
    EXPECT_EQ(state.pictures.background.pixel(1, 1), qRgb(1, 1, 7)); // the shared picture stays
}

TEST(Compose, PlacedBackgroundWithAndWithoutWhiteTransparency) {
    RunSettings settings = settingsOf(10, 10);
    settings.values.backcolorfrom = QStringLiteral("any other text"); // not uniform: a picture
    RunState state;
    state.pictures.background = coordinates(30, 20);
    state.backgroundPlacement = QPoint(0, 8);
    for (bool transparent : {false, true}) {
        settings.values.codewhitetransparent = transparent;
        auto out = compose(halfCode(), settings, state);
        ASSERT_TRUE(out.ok());
        EXPECT_EQ(out->size(), QSize(30, 20));
        EXPECT_EQ(out->pixel(0, 8), qRgb(10, 20, 30));
        EXPECT_EQ(out->pixel(7, 9), transparent ? qRgb(7, 9, 7) : kWhite) << transparent;
        EXPECT_EQ(out->pixel(20, 3), qRgb(20, 3, 7)); // outside the code: the background
    }
}

TEST(Compose, MissingBackgroundPictureLeavesTheCodeOnWhite) {
    RunSettings settings = settingsOf(10, 10);
    settings.values.backcolorfrom = kPictureColour;
    for (bool stretch : {false, true}) {
        settings.values.backstretch = stretch;
        auto out = compose(halfCode(), settings, RunState{});
        ASSERT_TRUE(out.ok());
        EXPECT_EQ(out->pixel(0, 0), qRgb(10, 20, 30));
        EXPECT_EQ(out->pixel(7, 0), kWhite);
    }
}

TEST(SettlePlacements, AsksOnlyForWhatTheSettingsNeed) {
    RunSettings settings = settingsOf(10, 10);
    RecordingPlacement provider(QPoint(3, 4));
    RunState state;
    state.pictures.background = coordinates(30, 20); // unused: uniform background
    auto settled = settlePlacements(halfCode(), settings, state, provider);
    ASSERT_TRUE(settled.ok());
    EXPECT_EQ(*settled, Settlement::Settled);
    EXPECT_TRUE(provider.asked.empty());

    settings.values.backcolorfrom = kPictureColour;
    settings.values.backstretch = true;
    ASSERT_TRUE(settlePlacements(halfCode(), settings, state, provider).ok());
    EXPECT_TRUE(provider.asked.empty());
}

TEST(SettlePlacements, ColourFirstThenBackgroundWithTheColouredCode) {
    RunSettings settings = settingsOf(10, 10);
    settings.values.codecolorfrom = kPictureColour;
    settings.values.backcolorfrom = kPictureColour;
    RunState state;
    state.pictures.colour = coordinates(12, 12);
    state.pictures.background = coordinates(40, 30);
    RecordingPlacement provider(QPoint(100, 1)); // clamped onto each picture
    EXPECT_TRUE(placementsPending(settings, state));

    auto settled = settlePlacements(halfCode(), settings, state, provider);
    ASSERT_TRUE(settled.ok()) << settled.error().toStdString();
    ASSERT_EQ(provider.asked.size(), 2u);
    EXPECT_EQ(provider.asked[0].kind, PlacementKind::Colour);
    EXPECT_EQ(provider.asked[0].picture, QSize(12, 12));
    EXPECT_EQ(provider.asked[0].code.pixel(0, 0), kBlack);
    EXPECT_EQ(provider.asked[1].kind, PlacementKind::Background);
    EXPECT_EQ(provider.asked[1].code.pixel(0, 0), qRgb(2, 1, 7)); // coloured at the clamped (2, 1)
    EXPECT_EQ(state.colourPlacement, QPoint(2, 1));
    EXPECT_EQ(state.backgroundPlacement, QPoint(30, 1));
    EXPECT_FALSE(placementsPending(settings, state));

    // Once settled, nothing more is asked.
    ASSERT_TRUE(settlePlacements(halfCode(), settings, state, provider).ok());
    EXPECT_EQ(provider.asked.size(), 2u);
}

TEST(SettlePlacements, CancelLeavesThePlacementUnset) {
    RunSettings settings = settingsOf(10, 10);
    settings.values.codecolorfrom = kPictureColour;
    RunState state;
    state.pictures.colour = coordinates(12, 12);
    RecordingPlacement provider(std::nullopt);
    auto settled = settlePlacements(halfCode(), settings, state, provider);
    ASSERT_TRUE(settled.ok());
    EXPECT_EQ(*settled, Settlement::Cancelled);
    EXPECT_FALSE(state.colourPlacement.has_value());
}

TEST(FixedPlacement, GivenPointsAreClampedMissingOnesCentred) {
    const QImage picture = filled(40, 30, kWhite);
    const QImage code = filled(10, 10, kBlack);
    FixedPlacement fixed(QPoint(35, -2), std::nullopt);
    EXPECT_EQ(fixed.place({PlacementKind::Colour, picture, code}), QPoint(30, 0));
    EXPECT_EQ(fixed.place({PlacementKind::Background, picture, code}), QPoint(15, 10));
    CentredPlacement centred;
    EXPECT_EQ(centred.place({PlacementKind::Colour, code, picture}), QPoint(0, 0)); // larger code
}
