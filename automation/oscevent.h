#pragma once

#include "automation/event.h"
#include "automation/networkpath.h"

#include <vector>

namespace tarv::automation {

// Sends one OSC message, given as a one-line text command, to one of the
// document's network destinations.
class Osc : public Event
{
public:
    // The list is the document's own (not owned); it stays valid while paths
    // are added.
    explicit Osc(const std::vector<networking::NetworkPath>* networks);

    QString NetworkId() const;
    void NetworkId(const QString& value);
    QString Message() const;
    void Message(const QString& value);

    QString AutoName() const override;

protected:
    void Execute_() override;

private:
    const std::vector<networking::NetworkPath>* m_networks;
    QString m_networkId;
    QString m_message;
};

} // namespace tarv::automation
