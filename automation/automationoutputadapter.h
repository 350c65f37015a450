#pragma once

#include "automation/cuefileversion.h"
#include "automation/tarv_automation_export.h"

#include <ostream>

namespace tarv::automation {

// Writes a whole document as a cue file of the given version.
class TARV_AUTOMATION_EXPORT AutomationOutputAdapter
{
public:
    virtual ~AutomationOutputAdapter();

    virtual void Write(std::ostream& out, CueFileVersion version) = 0;

protected:
    AutomationOutputAdapter() = default;
    AutomationOutputAdapter(const AutomationOutputAdapter&) = default;
    AutomationOutputAdapter& operator=(const AutomationOutputAdapter&) = default;
};

} // namespace tarv::automation
