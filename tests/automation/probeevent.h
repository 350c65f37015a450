#pragma once

#include "event.h"

#include <memory>
#include <QElapsedTimer>
#include <vector>

// A concrete event that records when its action ran, so tests can see
// whether and when a firing reached Execute_. The record is shared so it
// outlives the event.
class ProbeEvent : public tarv::automation::Event
{
public:
    struct Record
    {
        QElapsedTimer clock;
        std::vector<qint64> actionTimesMs;
    };

    explicit ProbeEvent(unsigned offsetMs = 0,
                        std::shared_ptr<Record> record = std::make_shared<Record>())
        : Event(QStringLiteral("PROBE"), offsetMs)
        , m_record(std::move(record))
    {
        if (!m_record->clock.isValid()) {
            m_record->clock.start();
        }
    }

    int Runs() const { return m_runs; }
    const std::shared_ptr<Record>& Log() const { return m_record; }

protected:
    void Execute_() override
    {
        ++m_runs;
        m_record->actionTimesMs.push_back(m_record->clock.elapsed());
        emit complete(this, false);
    }

private:
    std::shared_ptr<Record> m_record;
    int m_runs = 0;
};
