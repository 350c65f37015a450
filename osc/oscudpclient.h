#pragma once

#include <memory>
#include <QAbstractSocket>
#include <QHostAddress>
#include <QObject>
#include <QString>

class QUdpSocket;

namespace tarv::osc {

// Sends one-line text commands as OSC datagrams over UDP.
class OscUdpClient : public QObject
{
    Q_OBJECT

public:
    OscUdpClient();
    ~OscUdpClient() override;

    // Encodes the command and hands it to the socket as one datagram, even an
    // empty one. Socket failures surface only through onError.
    void Send(const QString& command, const QHostAddress& host, quint16 port);

signals:
    void onError(QString errorDescription);

private slots:
    void onSocketError(QAbstractSocket::SocketError code);

private:
    std::unique_ptr<QUdpSocket> m_socket;
};

} // namespace tarv::osc
