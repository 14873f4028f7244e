#pragma once

#include <QLocalServer>
#include <QObject>

#include <functional>

namespace kodrix {

// Listens on the instance's local socket for the close request of a newer release. On a
// request it runs `closeMainWindow` and answers once that has returned.
class CloseRequestServer final : public QObject {
    Q_OBJECT
public:
    CloseRequestServer(const QString &serverName, std::function<void()> closeMainWindow, QObject *parent = nullptr);
    bool isListening() const { return server_.isListening(); }

private:
    void onNewConnection();

    QLocalServer server_;
    std::function<void()> closeMainWindow_;
};

} // namespace kodrix
