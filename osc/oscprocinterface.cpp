#include "osc/oscprocinterface.h"

#include "osc/oscrefusals.h"

namespace tarv::osc {

OscProcInterface::~OscProcInterface() = default;

void OscProcInterface::OnStop(const std::string&, const std::string&) {}
void OscProcInterface::OnPlay(const std::string&, const std::string&) {}
void OscProcInterface::OnFadeOut(const std::string&, const std::string&, float) {}
void OscProcInterface::OnFadeTo(const std::string&, const std::string&, float, float, bool) {}
void OscProcInterface::OnVolume(float) {}
void OscProcInterface::OnAdvance(const std::string&, const std::string&) {}
void OscProcInterface::OnPause(const std::string&, const std::string&) {}
void OscProcInterface::OnAdvanceEvent(const std::string&, const std::string&, const std::string&) {}
void OscProcInterface::OnPlaySfx(const std::string&, const std::string&) {}
void OscProcInterface::OnStopSfx(const std::string&, const std::string&) {}
void OscProcInterface::OnStopAllSfx(const std::string&) {}
void OscProcInterface::OnNotify() {}
void OscProcInterface::OnFadeSfx(const std::string&, const std::string&, double, float) {}

void OscProcInterface::OnProcessingError(const std::string& error, const std::string& context)
{
    ReportRefusal(EscapeForTerminal(context) + ": " + EscapeForTerminal(error) + "\n");
}

} // namespace tarv::osc
