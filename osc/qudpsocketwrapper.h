#pragma once

#include <cstddef>
#include <deque>
#include <memory>
#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QString>

class QUdpSocket;

namespace tarv::osc {

// Owns a UDP socket and re-emits every datagram it receives, a batch at a
// time, so that a flood of datagrams leaves the event loop its other work.
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
    void HandOnBatch();

    static constexpr int kBatch = 32;
    static constexpr std::size_t kMaxBacklog = 4096;

    std::unique_ptr<QUdpSocket> m_socket;
    std::deque<QByteArray> m_backlog;
    bool m_batchQueued = false;
};

} // namespace tarv::osc
