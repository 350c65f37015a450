#include "osc/oscserver.h"

#include "osc/osccommanddispatcher.h"
#include "osc/oscmessage.h"
#include "osc/oscrefusals.h"
#include "osc/qudpsocketwrapper.h"

#include <iostream>
#include <limits>
#include <QDebug>
#include <stdexcept>

namespace tarv::osc {

OscServer::OscServer(int port, std::unique_ptr<OscProcInterface> handler,
                     const QHostAddress& address)
    : m_socket(std::make_unique<QUdpSocketWrapper>())
    , m_dispatcher(std::make_unique<OscCommandDispatcher>(std::move(handler)))
{
    connect(m_socket.get(), &QUdpSocketWrapper::datagramReceived, this,
            &OscServer::onDatagramReceived);

    // Port 0 would bind a random port that no peer knows about.
    const bool inRange = port >= 1 && port <= std::numeric_limits<quint16>::max();
    if (!inRange || !m_socket->bind(address, static_cast<quint16>(port))) {
        const QString reason =
            inRange ? m_socket->errorString() : QStringLiteral("The port is outside 1..65535.");
        const QString message =
            QStringLiteral("Unable to bind to OSC server port %1: %2").arg(port).arg(reason);
        qDebug().noquote() << message;
        throw std::runtime_error(message.toStdString());
    }
    m_port = static_cast<quint16>(port);
    std::cout << "****Opening port " << m_port << "\n";
}

OscServer::~OscServer()
{
    m_socket->close();
    std::cout << "****Closing port " << m_port << "\n";
    m_dispatcher.reset();
    m_socket.reset();
}

void OscServer::onDatagramReceived(QByteArray datagram)
{
    try {
        std::size_t consumed = 0;
        const OscMessage message =
            ParseOscMessage(reinterpret_cast<const std::uint8_t*>(datagram.constData()),
                            static_cast<std::size_t>(datagram.size()), consumed);
        m_dispatcher->DispatchOscMessage(message);
    } catch (const std::exception& e) {
        // The text may quote the peer's bytes.
        ReportRefusal(EscapeForTerminal(e.what()) + "\n");
    } catch (...) {
        // A slot must not let anything escape into Qt's event loop.
        ReportRefusal("Unknown failure while handling an OSC datagram.\n");
    }
}

} // namespace tarv::osc
