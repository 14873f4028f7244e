#pragma once

#include <QString>

class QWidget;

namespace kodrix {

// A notice in a plain modal box with one OK button. With KODRIX_MESSAGES=stderr (used by
// the tests that drive the real program) the text goes to standard error instead.
void showMessage(const QString &text, QWidget *parent = nullptr);

} // namespace kodrix
