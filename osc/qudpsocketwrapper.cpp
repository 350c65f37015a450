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
    while (m_socket->hasPendingDatagrams()) {
        const qint64 pending = m_socket->pendingDatagramSize();
        QByteArray datagram(qMax<qint64>(pending, 0), Qt::Uninitialized);
        const qint64 read = m_socket->readDatagram(datagram.data(), datagram.size());
        if (read < 0) {
            // A failed read leaves nothing to hand on; retrying it here could spin.
            break;
        }
        datagram.truncate(read);
        emit datagramReceived(datagram);
    }
}

} // namespace tarv::osc
