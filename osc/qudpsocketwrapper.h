#pragma once

#include <memory>
#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QString>

class QUdpSocket;

namespace tarv::osc {

// Owns a UDP socket and re-emits every datagram it receives.
class QUdpSocketWrapper : public QObject
{
    Q_OBJECT

public:
    QUdpSocketWrapper();
    ~QUdpSocketWrapper() override;

    // Binds the port for this socket alone; fails when another socket holds it.
    bool bind(const QHostAddress& address, quint16 port);
    void close();
    QString errorString() const;

signals:
    void datagramReceived(QByteArray datagram);

private slots:
    void onReadyRead();

private:
    std::unique_ptr<QUdpSocket> m_socket;
};

} // namespace tarv::osc
