#include "automation/event.h"

#include <algorithm>
#include <limits>
#include <QLoggingCategory>
#include <QPointer>
#include <QTimer>

Q_LOGGING_CATEGORY(lcEventTiming, "tarv.automation.timing")

namespace tarv::automation {

namespace {

// QTimer takes an int interval; a longer delay is clamped to the longest one
// it accepts (about 24.8 days) instead of wrapping into a negative interval,
// which Qt refuses and which would leave the event hanging for ever.
int TimerInterval(std::uint64_t delayMs)
{
    constexpr auto longest = static_cast<std::uint64_t>(std::numeric_limits<int>::max());
    return static_cast<int>(std::min(delayMs, longest));
}

} // namespace

Event::Event(const QString& type, unsigned offsetMs)
    : m_type(type)
    , m_offset(offsetMs)
{}

Event::~Event()
{
    // The timers are children and die with the event anyway; stopping them
    // first makes sure nothing pending can reach a half-destroyed event.
    const std::lock_guard lock(m_mutex);
    for (QTimer* timer : std::as_const(m_pending)) {
        timer->stop();
        timer->disconnect(this);
    }
    m_pending.clear();
}

void Event::ReadFields(const std::function<void(const CommonFields&)>& read) const
{
    const std::lock_guard lock(m_mutex);
    read({m_type, m_name, m_number, m_act, m_scene, m_status, m_cueLine, m_offset,
          m_disableDelete.load()});
}

QString Event::Type() const
{
    const std::lock_guard lock(m_mutex);
    return m_type;
}

QString Event::Name() const
{
    const std::lock_guard lock(m_mutex);
    return m_name;
}

void Event::Name(const QString& value)
{
    const std::lock_guard lock(m_mutex);
    m_name = value;
}

QString Event::Number() const
{
    const std::lock_guard lock(m_mutex);
    return m_number;
}

void Event::Number(const QString& value)
{
    const std::lock_guard lock(m_mutex);
    m_number = value;
}

QString Event::Act() const
{
    const std::lock_guard lock(m_mutex);
    return m_act;
}

void Event::Act(const QString& value)
{
    const std::lock_guard lock(m_mutex);
    m_act = value;
}

QString Event::Scene() const
{
    const std::lock_guard lock(m_mutex);
    return m_scene;
}

void Event::Scene(const QString& value)
{
    const std::lock_guard lock(m_mutex);
    m_scene = value;
}

QString Event::Status() const
{
    const std::lock_guard lock(m_mutex);
    return m_status;
}

void Event::Status(const QString& value)
{
    const std::lock_guard lock(m_mutex);
    m_status = value;
}

QString Event::CueLine() const
{
    const std::lock_guard lock(m_mutex);
    return m_cueLine;
}

void Event::CueLine(const QString& value)
{
    const std::lock_guard lock(m_mutex);
    m_cueLine = value;
}

unsigned Event::Offset() const
{
    const std::lock_guard lock(m_mutex);
    return m_offset;
}

void Event::Offset(unsigned value)
{
    const std::lock_guard lock(m_mutex);
    m_offset = value;
}

bool Event::DisableDelete() const
{
    return m_disableDelete.load();
}

void Event::DisableDelete(bool value)
{
    const std::lock_guard lock(m_mutex);
    m_disableDelete.store(value);
}

bool Event::Cancelled() const
{
    return m_cancelled.load();
}

QString Event::AutoName() const
{
    return {};
}

std::uint64_t Event::Delay() const
{
    const std::lock_guard lock(m_mutex);
    return Delay_();
}

std::uint64_t Event::Delay_() const
{
    return m_offset;
}

void Event::Cancel_() {}

void Event::Execute()
{
    const std::lock_guard lock(m_mutex);
    m_cancelled.store(false);
    emit waiting(static_cast<float>(static_cast<double>(Delay()) / 1000.0));

    QElapsedTimer sinceExecute;
    sinceExecute.start();
    emit firing();

    // Owned by the event: a timer still pending when the event is destroyed
    // goes with it and never fires.
    auto* timer = new QTimer(this);
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    timer->setInterval(TimerInterval(Delay()));
    connect(timer, &QTimer::timeout, this,
            [this, timer, sinceExecute] { onTimerExpired(timer, sinceExecute); });
    timer->start();
    m_pending.append(timer);
}

void Event::onTimerExpired(QTimer* timer, const QElapsedTimer& sinceExecute)
{
    qCDebug(lcEventTiming).nospace() << "Time Internal Elapsed: " << sinceExecute.elapsed();

    // A receiver of complete may drop the last reference to this event.
    const QPointer<Event> alive(this);
    if (Cancelled()) {
        emit complete(this, true);
    } else {
        Execute_();
    }
    if (alive.isNull()) {
        return;
    }

    const std::lock_guard lock(m_mutex);
    if (m_pending.removeOne(timer)) {
        // A long show fires the same entries many times; do not keep every
        // spent timer until the event goes.
        timer->deleteLater();
    }
}

void Event::Cancel()
{
    const std::lock_guard lock(m_mutex);
    for (QTimer* timer : std::as_const(m_pending)) {
        timer->stop();
        timer->deleteLater();
    }
    m_pending.clear();
    Cancel_();
    m_cancelled.store(true);
    emit complete(this, true);
}

} // namespace tarv::automation
