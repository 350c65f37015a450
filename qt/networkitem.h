#pragma once

#include "qt/dualroleitem.h"

#include <QString>

namespace tarv::qt {

// One network destination as the OSC dialogs list it: the name first, then
// "address:port, MODE".
class NetworkItem : public DualRoleItem
{
public:
    QString first() const override;
    QString second() const override;

    int Port() const { return m_port; }
    void Port(int value) { m_port = value; }
    QString Name() const { return m_name; }
    void Name(const QString& value) { m_name = value; }
    QString IpAddress() const { return m_ipAddress; }
    void IpAddress(const QString& value) { m_ipAddress = value; }
    QString NetworkId() const { return m_networkId; }
    void NetworkId(const QString& value) { m_networkId = value; }
    // "udp" or "tcp".
    QString Mode() const { return m_mode; }
    void Mode(const QString& value) { m_mode = value; }

private:
    int m_port = 8001;
    QString m_name = QStringLiteral("Network Destination");
    QString m_ipAddress = QStringLiteral("127.0.0.1");
    QString m_networkId;
    QString m_mode = QStringLiteral("udp");
};

} // namespace tarv::qt
