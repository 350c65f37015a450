#include "automation/oscevent.h"

#include "automation/eventtypes.h"
#include "osc/oscudpclient.h"

#include <iostream>
#include <mutex>
#include <QHostAddress>

namespace tarv::automation {

namespace {

constexpr int kDefaultPort = 8000;
constexpr int kLowestPort = 1;
constexpr int kHighestPort = 65535;

struct Destination
{
    QHostAddress host{QHostAddress::LocalHost};
    int port = kDefaultPort;
    std::string addressText = "localhost";
};

Destination FindDestination(const std::vector<networking::NetworkPath>* networks,
                            const QString& networkId)
{
    if (networks != nullptr) {
        for (const networking::NetworkPath& path : *networks) {
            if (QString::fromStdString(path.network_id) == networkId) {
                return {QHostAddress(QString::fromStdString(path.ip_address)), path.port,
                        path.ip_address};
            }
        }
    }
    std::cerr << "Unable to find network path. Was it deleted? Using default values of "
                 "localhost:8000\n";
    return {};
}

} // namespace

Osc::Osc(const std::vector<networking::NetworkPath>* networks)
    : Event(kOscType, 0)
    , m_networks(networks)
{
    if (m_networks != nullptr && !m_networks->empty()) {
        m_networkId = QString::fromStdString(m_networks->front().network_id);
    }
}

QString Osc::NetworkId() const
{
    const std::lock_guard lock(Mutex());
    return m_networkId;
}

void Osc::NetworkId(const QString& value)
{
    const std::lock_guard lock(Mutex());
    m_networkId = value;
}

QString Osc::Message() const
{
    const std::lock_guard lock(Mutex());
    return m_message;
}

void Osc::Message(const QString& value)
{
    const std::lock_guard lock(Mutex());
    m_message = value;
}

QString Osc::AutoName() const
{
    const QString message = Message();
    return message.isEmpty() ? QStringLiteral("Empty OSC Command") : message;
}

void Osc::Execute_()
{
    const Destination destination = FindDestination(m_networks, NetworkId());

    // One client per send; it lives until the event has reported completion.
    osc::OscUdpClient client;
    connect(&client, &osc::OscUdpClient::onError, &client, [](const QString& description) {
        std::cerr << "OSC send failed: " << description.toStdString() << '\n';
    });

    // A port outside the range would be truncated to 16 bits and reach some
    // other device: refuse it instead.
    if (destination.port < kLowestPort || destination.port > kHighestPort) {
        std::cerr << "OSC destination port " << destination.port
                  << " is outside 1..65535; the message was not sent.\n";
    } else if (destination.host.isNull()) {
        // The socket drops a datagram to a null address without a word.
        std::cerr << "OSC destination address \"" << destination.addressText
                  << "\" is not an IP address; the message was not sent.\n";
    } else {
        client.Send(Message(), destination.host, static_cast<quint16>(destination.port));
    }
    emit complete(this, false);
}

} // namespace tarv::automation
