#include "app/ui/Messages.h"

#include <QMessageBox>

#include <cstdio>

namespace kodrix {

void showMessage(const QString &text, QWidget *parent) {
    if (qEnvironmentVariable("KODRIX_MESSAGES") == u"stderr") {
        std::fprintf(stderr, "message: %s\n", text.toUtf8().constData());
        std::fflush(stderr);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("提示"), text, QMessageBox::Ok, parent);
    box.exec();
}

} // namespace kodrix
