#include "app/CloseRequestServer.h"

#include <QLocalSocket>

namespace kodrix {

CloseRequestServer::CloseRequestServer(const QString &serverName, std::function<void()> closeMainWindow,
                                       QObject *parent)
    : QObject(parent), closeMainWindow_(std::move(closeMainWindow)) {
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    // We hold the single-instance lock, so a socket file left behind is a crashed instance's.
    QLocalServer::removeServer(serverName);
    server_.listen(serverName);
    connect(&server_, &QLocalServer::newConnection, this, &CloseRequestServer::onNewConnection);
}

void CloseRequestServer::onNewConnection() {
    while (QLocalSocket *socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine())
                return;
            if (socket->readLine().trimmed() != "close")
                return;
            closeMainWindow_();
            socket->write("closed\n");
            socket->flush();
            socket->waitForBytesWritten(1000);
        });
    }
}

} // namespace kodrix
