#pragma once

#include "automation/tarv_automation_export.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>

class QTimer;

namespace tarv::automation {

// Base of every cue-list entry. Execute announces the entry (waiting, then
// firing), waits its delay on a single-shot precise timer and then performs
// the entry's action (Execute_), which ends with complete(this, false).
// Cancel stops every pending firing and reports complete(this, true).
//
// Fields are guarded by a recursive mutex: locked operations call each other
// and signal receivers run synchronously while the lock is held.
class TARV_AUTOMATION_EXPORT Event : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("QML.Element", "auto")

public:
    Event(const QString& type, unsigned offsetMs);
    ~Event() override;

    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    // The fields every entry has, as they are while the lock is held.
    struct CommonFields
    {
        const QString& type;
        const QString& name;
        const QString& number;
        const QString& act;
        const QString& scene;
        const QString& status;
        const QString& cueLine;
        unsigned offset;
        bool disableDelete;
    };

    // Calls `read` once with every common field, under the lock and without
    // copying them. A writer walking thousands of entries would otherwise pay
    // for a lock and a copy per field; the getters of subclasses that `read`
    // calls take the lock again cheaply, as the holder.
    void ReadFields(const std::function<void(const CommonFields&)>& read) const;

    QString Type() const;

    QString Name() const;
    void Name(const QString& value);
    QString Number() const;
    void Number(const QString& value);
    QString Act() const;
    void Act(const QString& value);
    QString Scene() const;
    void Scene(const QString& value);
    QString Status() const;
    void Status(const QString& value);
    QString CueLine() const;
    void CueLine(const QString& value);
    unsigned Offset() const;
    void Offset(unsigned value);
    // Read without the lock, so a view can ask while the event is busy.
    bool DisableDelete() const;
    void DisableDelete(bool value);
    bool Cancelled() const;

    // The text shown when the operator gave the entry no name.
    virtual QString AutoName() const;

    // Milliseconds from Execute to the action, under the lock. Computed in 64
    // bits: a wait time plus an offset can exceed 32 bits.
    virtual std::uint64_t Delay() const;

    Q_INVOKABLE void Execute();
    Q_INVOKABLE void Cancel();

signals:
    void firing();
    void complete(const tarv::automation::Event* event, bool cancelled);
    void waiting(float waitTimeSec);
    void updated();

protected:
    virtual void Execute_() = 0;
    virtual void Cancel_();
    virtual std::uint64_t Delay_() const;

    // For subclasses that guard their own fields with the same lock.
    std::recursive_mutex& Mutex() const { return m_mutex; }

private:
    void onTimerExpired(QTimer* timer, const QElapsedTimer& sinceExecute);

    const QString m_type;
    QString m_name;
    QString m_number;
    QString m_act;
    QString m_scene;
    QString m_status;
    QString m_cueLine;
    unsigned m_offset;
    std::atomic<bool> m_disableDelete{false};
    std::atomic<bool> m_cancelled{false};
    mutable std::recursive_mutex m_mutex;
    QList<QTimer*> m_pending;
};

} // namespace tarv::automation
