#include "app/automationmodel.h"

#include "app/typednumber.h"
#include "automation/event.h"
#include "automation/eventgroup.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace tarv::automation {

namespace {

const QHash<int, QByteArray>& RoleNameTable()
{
    static const QHash<int, QByteArray> names{
        {AutomationModel::NumberRole, "number"},
        {AutomationModel::StatusRole, "status"},
        {AutomationModel::NameRole, "name"},
        {AutomationModel::AutoNameRole, "autoName"},
        {AutomationModel::ActRole, "act"},
        {AutomationModel::SceneRole, "scene"},
        {AutomationModel::CueLineRole, "cueline"},
        {AutomationModel::OffsetRole, "offset"},
        {AutomationModel::DisableDeleteRole, "disableDelete"},
        {AutomationModel::TypeRole, "type"},
        {AutomationModel::CueObjectRole, "cueObject"},
    };
    return names;
}

std::optional<double> NumberOf(const QVariant& value)
{
    if (value.typeId() == QMetaType::QString) {
        return TypedNumber(value.toString());
    }
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (!ok || std::isnan(number)) {
        return std::nullopt;
    }
    return number;
}

// An offset typed by the operator: a number, cut to whole milliseconds and
// kept between 0 and the longest offset (an infinity too).
bool ToOffset(const QVariant& value, unsigned& offset)
{
    const std::optional<double> number = NumberOf(value);
    if (!number) {
        return false;
    }
    const double clamped = std::clamp(*number, 0.0, double(AutomationModel::MaxOffsetMs));
    offset = static_cast<unsigned>(clamped);
    return true;
}

} // namespace

AutomationModel::AutomationModel(EventGroup* group, QObject* parent)
    : QAbstractListModel(parent)
{
    if (group) {
        initEvents(*group);
        connect(group, &EventGroup::eventsUpdated, this, &AutomationModel::eventsUpdated);
    }
}

AutomationModel::~AutomationModel() = default;

int AutomationModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_events.size());
}

QHash<int, QByteArray> AutomationModel::roleNames() const
{
    return RoleNameTable();
}

const Event* AutomationModel::EventAt(const QModelIndex& index) const
{
    const int row = index.row();
    if (!index.isValid() || row < 0 || row >= rowCount()) {
        return nullptr;
    }
    return m_events[static_cast<std::size_t>(row)].get();
}

Event* AutomationModel::EventAt(const QModelIndex& index)
{
    return const_cast<Event*>(std::as_const(*this).EventAt(index));
}

QVariant AutomationModel::data(const QModelIndex& index, int role) const
{
    const Event* event = EventAt(index);
    if (!event) {
        return {};
    }
    switch (role) {
    case Qt::DisplayRole:
    case NumberRole:
        return event->Number();
    case StatusRole:
        return event->Status();
    case NameRole:
        return event->Name();
    case AutoNameRole:
        return event->AutoName();
    case ActRole:
        return event->Act();
    case SceneRole:
        return event->Scene();
    case CueLineRole:
        return event->CueLine();
    case OffsetRole:
        return event->Offset();
    case DisableDeleteRole:
        return event->DisableDelete();
    case TypeRole:
        return event->Type();
    case CueObjectRole:
        return QVariant::fromValue(const_cast<Event*>(event));
    default:
        return QStringLiteral("Invalid");
    }
}

bool AutomationModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    Event* event = EventAt(index);
    if (!event) {
        return false;
    }
    switch (role) {
    case NumberRole:
        event->Number(value.toString());
        break;
    case StatusRole:
        event->Status(value.toString());
        break;
    case NameRole:
        event->Name(value.toString());
        break;
    case ActRole:
        event->Act(value.toString());
        break;
    case SceneRole:
        event->Scene(value.toString());
        break;
    case CueLineRole:
        event->CueLine(value.toString());
        break;
    case DisableDeleteRole:
        event->DisableDelete(value.toBool());
        break;
    case OffsetRole: {
        // A value that is no number keeps the old offset; the change signal
        // still goes out so that an editor shows the offset that stands.
        unsigned offset = 0;
        if (ToOffset(value, offset)) {
            event->Offset(offset);
        }
        break;
    }
    default:
        return false;
    }
    emit dataChanged(index, index, {role});
    return true;
}

bool AutomationModel::removeRows(int row, int count, const QModelIndex& parent)
{
    const int size = rowCount();
    if (parent.isValid() || row < 0 || count <= 0 || row > size || count > size - row) {
        return false;
    }
    beginRemoveRows(QModelIndex(), row, row + count - 1);
    const auto first = m_events.begin() + row;
    m_events.erase(first, first + count);
    endRemoveRows();
    return true;
}

QVariant AutomationModel::dataStr(int index, QString role) const
{
    const QByteArray name = role.toUtf8();
    const auto& names = RoleNameTable();
    int found = Qt::DisplayRole;
    for (auto it = names.cbegin(); it != names.cend(); ++it) {
        if (it.value() == name) {
            found = it.key();
            break;
        }
    }
    return data(this->index(index, 0), found);
}

void AutomationModel::eventsUpdated(const EventGroup* group)
{
    if (!group) {
        return;
    }
    beginResetModel();
    initEvents(*group);
    endResetModel();
}

void AutomationModel::initEvents(const EventGroup& automation)
{
    m_events = automation.Events();
}

} // namespace tarv::automation
