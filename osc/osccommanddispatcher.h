#pragma once

#include "osc/osccommand.h"
#include "osc/oscmessage.h"
#include "osc/oscprocinterface.h"

#include <memory>
#include <vector>

namespace tarv::osc {

// Turns received OSC messages into calls on the handler. Every failure in a
// message's command is reported through the handler's OnProcessingError,
// never thrown.
class OscCommandDispatcher
{
public:
    // The handler may be empty; messages are then ignored.
    explicit OscCommandDispatcher(std::unique_ptr<OscProcInterface> handler);
    ~OscCommandDispatcher();
    OscCommandDispatcher(const OscCommandDispatcher&) = delete;
    OscCommandDispatcher& operator=(const OscCommandDispatcher&) = delete;

    void DispatchOscMessage(const OscMessage& message);

private:
    using Params = std::vector<std::unique_ptr<OscParam>>;

    void Dispatch(const OscMessage& message);
    void DispatchEventCommand(const OscCommand& command);
    void DispatchSfxCommand(const OscCommand& command);
    void DispatchSfxFadeCommand(const OscCommand& command, const Params& params);
    void ReportError(const std::string& error);

    std::unique_ptr<OscProcInterface> m_handler;
};

} // namespace tarv::osc
