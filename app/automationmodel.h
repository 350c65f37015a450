#pragma once

#include <memory>
#include <QAbstractListModel>
#include <QByteArray>
#include <QHash>
#include <QModelIndex>
#include <QString>
#include <QVariant>
#include <vector>

namespace tarv::automation {

class Event;
class EventGroup;

// The events of one group as a list model for QML: one row per event, the
// event's fields as named roles, and the event object itself ("cueObject") so
// that a row can follow its signals and cancel it. The rows are a snapshot of
// the group that keeps its events alive; every change of the group rebuilds
// the snapshot with a full reset. The group must outlive the model.
class AutomationModel : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Role
    {
        NumberRole = Qt::UserRole + 1,
        StatusRole,
        NameRole,
        AutoNameRole,
        ActRole,
        SceneRole,
        CueLineRole,
        OffsetRole,
        DisableDeleteRole,
        TypeRole,
        CueObjectRole,
    };

    // The longest offset an event may have, in milliseconds.
    static constexpr unsigned MaxOffsetMs = 7000;

    AutomationModel(EventGroup* group, QObject* parent);
    ~AutomationModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QHash<int, QByteArray> roleNames() const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // Takes rows out of the snapshot only; the group keeps its events until
    // its next change brings them back. A range that is not wholly inside the
    // snapshot changes nothing and returns false.
    Q_INVOKABLE bool removeRows(int row, int count,
                                const QModelIndex& parent = QModelIndex()) override;
    // data() by role name; a name that is no role reads the number.
    Q_INVOKABLE QVariant dataStr(int index, QString role) const;

private slots:
    void eventsUpdated(const tarv::automation::EventGroup* group);
    void initEvents(const tarv::automation::EventGroup& automation);

private:
    const Event* EventAt(const QModelIndex& index) const;
    Event* EventAt(const QModelIndex& index);

    std::vector<std::shared_ptr<Event>> m_events;
};

} // namespace tarv::automation
