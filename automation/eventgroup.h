#pragma once

#include "automation/event.h"
#include "automation/tarv_automation_export.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace tarv::automation {

// An ordered list of shared events with a current index. As a cue it starts
// all of its events at once and completes when the last one has; as the cue
// list, GO fires the current entry and moves the index to the next entry that
// is not disabled, and a completed WAIT fires the entry after it.
class TARV_AUTOMATION_EXPORT EventGroup : public Event
{
    Q_OBJECT

public:
    EventGroup();

    void AddEvent(std::shared_ptr<Event> event);
    // An index past the end inserts at the front; the size appends.
    void InsertEvent(std::shared_ptr<Event> event, std::size_t index);
    void RemoveEvent(std::size_t index);
    std::shared_ptr<Event> GetEvent(std::size_t index) const;
    std::vector<std::shared_ptr<Event>> Events() const;

    std::size_t CurrentEventIndex() const;
    void CurrentEventIndex(std::size_t index);

    void Go();
    void MoveCurrentUp();
    void MoveCurrentDown();
    void MoveUp(std::size_t index);
    void MoveDown(std::size_t index);

    // True when every entry after position index is disabled, or none follows.
    bool AllSkippedAfter(std::size_t index) const;

signals:
    void currentEventIndexChanged(int index);
    void eventsUpdated(tarv::automation::EventGroup* group);

protected:
    void Execute_() override;
    void Cancel_() override;

private slots:
    void onEventComplete(const tarv::automation::Event* event, bool cancelled);
    void onEventUpdated();
    void subEventComplete(const tarv::automation::Event* event, bool cancelled);

private:
    void ConnectChild(const Event& event);
    // Fires the current entry and advances; returns whether the entry now
    // current is a WAIT that should fire together with it.
    bool FireCurrentAndAdvance();

    std::vector<std::shared_ptr<Event>> m_events;
    std::atomic<std::uint64_t> m_currentIndex{0};
    std::atomic<std::int32_t> m_running{0};
};

} // namespace tarv::automation
