#pragma once

#include "automation/event.h"

#include <cstdint>

namespace tarv::automation {

// Holds the cue list for a time; its completion lets the list fire the entry
// after it by itself.
class Wait : public Event
{
public:
    explicit Wait(unsigned waitTimeMs);

    unsigned WaitTime() const;
    void WaitTime(unsigned value);

    // Names the wait after its time; run again after the time changes.
    void UpdateName();

protected:
    void Execute_() override;
    std::uint64_t Delay_() const override;

private:
    unsigned m_waitTime;
};

} // namespace tarv::automation
