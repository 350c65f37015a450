#include "automation/automationinputadapter.h"
#include "automation/automationoutputadapter.h"

namespace tarv::automation {

// Out of line, so each interface's virtual table lives in this library.
AutomationInputAdapter::~AutomationInputAdapter() = default;
AutomationOutputAdapter::~AutomationOutputAdapter() = default;

} // namespace tarv::automation
