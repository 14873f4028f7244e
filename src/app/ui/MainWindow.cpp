#include "app/ui/MainWindow.h"

#include "app/ui/Messages.h"

#include <QLoggingCategory>
#include <QShowEvent>

Q_LOGGING_CATEGORY(lcMainWindow, "kodrix.app")

namespace kodrix {

MainWindow::MainWindow(Workspace &workspace, Settings &settings)
    : workspace_(workspace), settings_(settings), summary_(new QLabel(this)) {
    setWindowTitle(kMainWindowTitle);
    summary_->setAlignment(Qt::AlignCenter);
    summary_->setMargin(24);
    setCentralWidget(summary_);
    resize(900, 600);
}

void MainWindow::showEvent(QShowEvent *event) {
    QMainWindow::showEvent(event);
    if (shownOnce_)
        return;
    shownOnce_ = true;
    prepareWorkspace();
    qCInfo(lcMainWindow, "main window shown");
    emit firstShown();
}

void MainWindow::prepareWorkspace() {
    workspace_.prepareFolders(settings_);
    if (Status opened = workspace_.openDatabase(); !opened)
        showMessage(opened.error(), this);
    refreshSummary();
}

void MainWindow::refreshSummary() {
    const int records = workspace_.records() ? workspace_.records()->size() : 0;
    summary_->setText(QStringLiteral("当前内容类型：%1\n记录数：%2\n样式数：%3\n保存目录：%4")
                          .arg(settings_.doctype)
                          .arg(records)
                          .arg(workspace_.styles().size())
                          .arg(settings_.savepath));
}

} // namespace kodrix
