#include "automation/waitevent.h"

#include "automation/eventtypes.h"

#include <mutex>

namespace tarv::automation {

Wait::Wait(unsigned waitTimeMs)
    : Event(kWaitType, 0)
    , m_waitTime(waitTimeMs)
{
    UpdateName();
    Status(kContinueStatus);
    Number(QString());
}

unsigned Wait::WaitTime() const
{
    const std::lock_guard lock(Mutex());
    return m_waitTime;
}

void Wait::WaitTime(unsigned value)
{
    const std::lock_guard lock(Mutex());
    m_waitTime = value;
}

void Wait::UpdateName()
{
    const std::lock_guard lock(Mutex());
    const QString seconds = QString::number(m_waitTime / 1000.0, 'g', 6);
    const QString unit =
        m_waitTime == 1000 ? QStringLiteral(" second") : QStringLiteral(" seconds");
    Name(QStringLiteral("Wait for ") + seconds + unit + QStringLiteral(" then execute next!"));
}

void Wait::Execute_()
{
    emit complete(this, false);
}

std::uint64_t Wait::Delay_() const
{
    return std::uint64_t{m_waitTime} + Offset();
}

} // namespace tarv::automation
