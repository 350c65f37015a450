#include "automation/eventgroup.h"

#include "automation/eventtypes.h"

#include <algorithm>
#include <iostream>
#include <utility>

namespace tarv::automation {

namespace {

bool IsDisabled(const Event& event)
{
    return event.Status() == kDisabledStatus;
}

} // namespace

EventGroup::EventGroup()
    : Event(kGroupType, 0)
{}

void EventGroup::ConnectChild(const Event& event)
{
    // Unique, so an entry removed and inserted again is not connected twice
    // (which would make one WAIT continue the list twice).
    connect(&event, &Event::complete, this, &EventGroup::onEventComplete, Qt::UniqueConnection);
    connect(&event, &Event::updated, this, &EventGroup::onEventUpdated, Qt::UniqueConnection);
}

void EventGroup::AddEvent(std::shared_ptr<Event> event)
{
    if (!event) {
        return;
    }
    const std::lock_guard lock(Mutex());
    ConnectChild(*event);
    m_events.push_back(std::move(event));
    emit eventsUpdated(this);
}

void EventGroup::InsertEvent(std::shared_ptr<Event> event, std::size_t index)
{
    if (!event) {
        return;
    }
    const std::lock_guard lock(Mutex());
    ConnectChild(*event);
    const std::size_t position = index > m_events.size() ? 0 : index;
    m_events.insert(m_events.begin() + static_cast<std::ptrdiff_t>(position), std::move(event));
    emit eventsUpdated(this);
    const std::size_t current = CurrentEventIndex();
    if (position <= current) {
        CurrentEventIndex(current + 1);
    }
}

void EventGroup::RemoveEvent(std::size_t index)
{
    const std::lock_guard lock(Mutex());
    if (index >= m_events.size()) {
        return;
    }
    if (m_events[index]->DisableDelete()) {
        m_events[index]->Status(kDisabledStatus);
        emit eventsUpdated(this);
        return;
    }

    // Keep the entry alive until the bookkeeping is done: receivers of
    // eventsUpdated may drop their own references to it.
    const std::shared_ptr<Event> removed = m_events[index];
    m_events.erase(m_events.begin() + static_cast<std::ptrdiff_t>(index));
    emit eventsUpdated(this);
    if (m_events.empty()) {
        return;
    }
    const std::size_t current = CurrentEventIndex();
    const std::size_t last = m_events.size() - 1;
    if (index < current) {
        CurrentEventIndex(current - 1);
    } else if (current >= last) {
        CurrentEventIndex(last);
    }
}

std::shared_ptr<Event> EventGroup::GetEvent(std::size_t index) const
{
    const std::lock_guard lock(Mutex());
    return index < m_events.size() ? m_events[index] : nullptr;
}

std::vector<std::shared_ptr<Event>> EventGroup::Events() const
{
    const std::lock_guard lock(Mutex());
    return m_events;
}

std::size_t EventGroup::CurrentEventIndex() const
{
    return static_cast<std::size_t>(m_currentIndex.load());
}

void EventGroup::CurrentEventIndex(std::size_t index)
{
    const std::lock_guard lock(Mutex());
    if (index >= m_events.size() || index == CurrentEventIndex()) {
        return;
    }
    m_currentIndex.store(index);
    emit currentEventIndexChanged(static_cast<int>(index));
}

bool EventGroup::AllSkippedAfter(std::size_t index) const
{
    const std::lock_guard lock(Mutex());
    if (index >= m_events.size()) {
        return true;
    }
    for (std::size_t i = index + 1; i < m_events.size(); ++i) {
        if (!IsDisabled(*m_events[i])) {
            return false;
        }
    }
    return true;
}

bool EventGroup::FireCurrentAndAdvance()
{
    if (m_events.empty()) {
        return false;
    }
    std::size_t current = CurrentEventIndex();
    if (current >= m_events.size()) {
        return false;
    }
    // Held for the call: receivers of its signals may edit the list.
    const std::shared_ptr<Event> fired = m_events[current];
    fired->Execute();

    current = CurrentEventIndex();
    std::size_t next = current + 1;
    while (next < m_events.size() && IsDisabled(*m_events[next])) {
        ++next;
    }
    if (next >= m_events.size()) {
        return false;
    }
    CurrentEventIndex(next);

    current = CurrentEventIndex();
    return current < m_events.size() && m_events[current]->Type() == kWaitType &&
           current + 1 < m_events.size() && !AllSkippedAfter(current);
}

void EventGroup::Go()
{
    const std::lock_guard lock(Mutex());
    // A WAIT fires together with the cue before it, and so does every WAIT
    // directly after it; a loop rather than recursion keeps a long run of
    // WAITs from a cue file off the stack.
    while (FireCurrentAndAdvance()) {
    }
}

void EventGroup::MoveCurrentUp()
{
    const std::lock_guard lock(Mutex());
    const std::size_t current = CurrentEventIndex();
    if (m_events.empty() || current == 0 || current >= m_events.size()) {
        return;
    }
    std::swap(m_events[current], m_events[current - 1]);
    emit eventsUpdated(this);
    CurrentEventIndex(current - 1);
}

void EventGroup::MoveCurrentDown()
{
    const std::lock_guard lock(Mutex());
    const std::size_t current = CurrentEventIndex();
    if (current + 1 >= m_events.size()) {
        return;
    }
    std::swap(m_events[current], m_events[current + 1]);
    emit eventsUpdated(this);
    CurrentEventIndex(current + 1);
}

void EventGroup::MoveUp(std::size_t index)
{
    const std::lock_guard lock(Mutex());
    if (index == 0 || index >= m_events.size()) {
        return;
    }
    std::swap(m_events[index], m_events[index - 1]);
    emit eventsUpdated(this);
}

void EventGroup::MoveDown(std::size_t index)
{
    const std::lock_guard lock(Mutex());
    // A view with no selection passes -1, which arrives as the largest index:
    // index + 1 would wrap to 0 and pass a plain bounds check.
    if (index >= m_events.size() || index + 1 >= m_events.size()) {
        return;
    }
    std::swap(m_events[index], m_events[index + 1]);
    emit eventsUpdated(this);
    CurrentEventIndex(index + 1);
}

void EventGroup::onEventComplete(const Event* event, bool cancelled)
{
    if (cancelled || event == nullptr || event->Type() != kWaitType) {
        return;
    }
    const std::lock_guard lock(Mutex());
    // A WAIT that was taken out of the list no longer moves it on.
    const bool listed = std::any_of(m_events.cbegin(), m_events.cend(),
                                    [event](const auto& entry) { return entry.get() == event; });
    if (!listed) {
        return;
    }
    // The WAIT has already moved the list on, so the entry now current is
    // the one it waited for, the show's last cue included.
    const std::size_t current = CurrentEventIndex();
    if (current >= m_events.size() || m_events[current].get() == event ||
        (IsDisabled(*m_events[current]) && AllSkippedAfter(current))) {
        return;
    }
    Go();
}

void EventGroup::onEventUpdated()
{
    emit eventsUpdated(this);
}

void EventGroup::Execute_()
{
    const std::lock_guard lock(Mutex());
    // A snapshot: the children's receivers run synchronously and may edit the
    // list while it is being walked.
    const std::vector<std::shared_ptr<Event>> children = m_events;
    m_running += static_cast<std::int32_t>(children.size());
    for (const auto& child : children) {
        connect(child.get(), &Event::complete, this, &EventGroup::subEventComplete,
                Qt::UniqueConnection);
        child->Execute();
    }
    if (children.empty()) {
        emit complete(this, false);
    }
}

void EventGroup::Cancel_()
{
    const std::lock_guard lock(Mutex());
    const std::vector<std::shared_ptr<Event>> children = m_events;
    for (const auto& child : children) {
        child->Cancel();
    }
}

void EventGroup::subEventComplete(const Event* /*event*/, bool cancelled)
{
    const std::lock_guard lock(Mutex());
    if (m_running >= 1) {
        --m_running;
    } else {
        std::cerr << "Executing Thread Count == 0 when coming subTask.\n";
    }
    if (m_running <= 0) {
        emit complete(this, cancelled);
    }
}

} // namespace tarv::automation
