#pragma once

#include "automation/tarv_automation_export.h"

#include <istream>

namespace tarv::automation {

// Reads a whole cue file into a new, empty document.
class TARV_AUTOMATION_EXPORT AutomationInputAdapter
{
public:
    virtual ~AutomationInputAdapter();

    virtual void Read(std::istream& in) = 0;

protected:
    AutomationInputAdapter() = default;
    AutomationInputAdapter(const AutomationInputAdapter&) = default;
    AutomationInputAdapter& operator=(const AutomationInputAdapter&) = default;
};

} // namespace tarv::automation
