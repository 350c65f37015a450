#pragma once

#include "automation/event.h"

#include <memory>
#include <QElapsedTimer>
#include <vector>

// A concrete event that counts its actions and logs their times on a clock
// that several probes (and the test) may share.
class ProbeEvent : public tarv::automation::Event
{
public:
    using Log = std::vector<qint64>;

    explicit ProbeEvent(unsigned offsetMs = 0, std::shared_ptr<Log> log = std::make_shared<Log>())
        : Event(QStringLiteral("PROBE"), offsetMs)
        , m_log(std::move(log))
    {}

    static QElapsedTimer& Clock()
    {
        static QElapsedTimer clock = [] {
            QElapsedTimer c;
            c.start();
            return c;
        }();
        return clock;
    }

    int runs = 0;

protected:
    void Execute_() override
    {
        ++runs;
        m_log->push_back(Clock().elapsed());
        emit complete(this, false);
    }

private:
    std::shared_ptr<Log> m_log;
};
