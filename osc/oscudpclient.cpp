#include "osc/oscudpclient.h"

#include "osc/oscmessageencoder.h"

#include <QUdpSocket>

namespace tarv::osc {

OscUdpClient::OscUdpClient()
    : m_socket(std::make_unique<QUdpSocket>())
{
    connect(m_socket.get(), &QAbstractSocket::errorOccurred, this, &OscUdpClient::onSocketError);
}

OscUdpClient::~OscUdpClient() = default;

void OscUdpClient::Send(const QString& command, const QHostAddress& host, quint16 port)
{
    m_socket->writeDatagram(EncodeOscMessage(command), host, port);
}

void OscUdpClient::onSocketError(QAbstractSocket::SocketError code)
{
    emit onError(QStringLiteral("OSC Socket Error Occured (%1): %2")
                     .arg(static_cast<int>(code))
                     .arg(m_socket->errorString()));
}

} // namespace tarv::osc
