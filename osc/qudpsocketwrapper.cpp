#include "osc/qudpsocketwrapper.h"

#include <QUdpSocket>

namespace tarv::osc {

QUdpSocketWrapper::QUdpSocketWrapper()
    : m_socket(std::make_unique<QUdpSocket>())
{
    connect(m_socket.get(), &QUdpSocket::readyRead, this, &QUdpSocketWrapper::onReadyRead);
}

QUdpSocketWrapper::~QUdpSocketWrapper() = default;

bool QUdpSocketWrapper::bind(const QHostAddress& address, quint16 port)
{
    // Exclusive: a second program on the same port would otherwise receive
    // (and swallow) part of the commands meant for this one, on platforms
    // whose default bind shares the port.
    return m_socket->bind(address, port, QAbstractSocket::DontShareAddress);
}

void QUdpSocketWrapper::close()
{
    m_socket->close();
}

QString QUdpSocketWrapper::errorString() const
{
    return m_socket->errorString();
}

void QUdpSocketWrapper::onReadyRead()
{
    // Qt signals readyRead again only once the socket has been read empty,
    // so everything it holds is read now; handing the datagrams on is what
    // takes time.
    while (m_socket->hasPendingDatagrams()) {
        const qint64 pending = m_socket->pendingDatagramSize();
        QByteArray datagram(qMax<qint64>(pending, 0), Qt::Uninitialized);
        const qint64 read = m_socket->readDatagram(datagram.data(), datagram.size());
        if (read < 0) {
            // A failed read leaves nothing to hand on; retrying it here could spin.
            break;
        }
        datagram.truncate(read);
        // Beyond the backlog's room a flood is dropped, as a full socket
        // buffer would drop it.
        if (m_backlog.size() < kMaxBacklog) {
            m_backlog.push_back(std::move(datagram));
        }
    }
    HandOnBatch();
}

void QUdpSocketWrapper::HandOnBatch()
{
    // A peer that sends without pause must not hold the event loop here, or
    // the cue timers and the operator's keys wait behind its datagrams: after
    // a batch, the rest is handed on at the loop's next turn.
    for (int i = 0; i < kBatch && !m_backlog.empty(); ++i) {
        const QByteArray datagram = std::move(m_backlog.front());
        m_backlog.pop_front();
        emit datagramReceived(datagram);
    }
    if (!m_backlog.empty() && !m_batchQueued) {
        m_batchQueued = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_batchQueued = false;
                HandOnBatch();
            },
            Qt::QueuedConnection);
    }
}

} // namespace tarv::osc
