#pragma once

#include "osc/oscprocinterface.h"

#include <memory>
#include <QByteArray>
#include <QHostAddress>
#include <QObject>

namespace tarv::osc {

class OscCommandDispatcher;
class QUdpSocketWrapper;

// Listens for OSC commands on one UDP port and hands them to the handler.
// A constructed server is listening; destruction closes the port.
class OscServer : public QObject
{
    Q_OBJECT

public:
    // Takes the port as the settings hold it, so that a port outside 1..65535
    // is refused rather than wrapped to 16 bits. Throws std::runtime_error
    // ("Unable to bind to OSC server port <port>: <reason>") when the port
    // cannot be bound. The address defaults to every address of the machine.
    OscServer(int port, std::unique_ptr<OscProcInterface> handler,
              const QHostAddress& address = QHostAddress::Any);
    ~OscServer() override;

private slots:
    void onDatagramReceived(QByteArray datagram);

private:
    std::unique_ptr<QUdpSocketWrapper> m_socket;
    std::unique_ptr<OscCommandDispatcher> m_dispatcher;
    quint16 m_port = 0;
};

} // namespace tarv::osc
