#pragma once

#include "app/Workspace.h"
#include "settings/Settings.h"

#include <QLabel>
#include <QMainWindow>

namespace kodrix {

inline const QString kMainWindowTitle = QStringLiteral("Velquen二维码生成软件");

// The main window. Its first showing prepares the workspace and opens the database.
class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(Workspace &workspace, Settings &settings);

signals:
    void firstShown();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void prepareWorkspace();
    void refreshSummary();

    Workspace &workspace_;
    Settings &settings_;
    QLabel *summary_ = nullptr;
    bool shownOnce_ = false;
};

} // namespace kodrix
