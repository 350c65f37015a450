#include "qt/sfxinstancelistmodel.h"

#include <QtDebug>

namespace tarv::audio {

namespace {

QString Text(const std::string& value)
{
    return QString::fromStdString(value);
}

} // namespace

SfxInstanceListModel::SfxInstanceListModel(QObject* parent)
    : QAbstractListModel(parent)
{}

void SfxInstanceListModel::Add(const std::shared_ptr<sfx::SfxDto>& instance,
                               const std::string& displayName)
{
    if (!instance)
        return;
    const auto row = rowCount();
    beginInsertRows(QModelIndex(), row, row);
    m_rows.push_back(instance);
    m_ready.try_emplace(instance->effectPath(), false);
    m_displayNames.try_emplace(instance->effectId(), displayName);
    endInsertRows();
}

void SfxInstanceListModel::Clear()
{
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

int SfxInstanceListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

std::shared_ptr<sfx::SfxDto> SfxInstanceListModel::Instance(const QModelIndex& index) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= rowCount())
        return nullptr;
    return m_rows[static_cast<std::size_t>(index.row())].lock();
}

QVariant SfxInstanceListModel::Summary(const sfx::SfxDto& instance) const
{
    if (!instance.name().empty())
        return Text(instance.name());
    const auto found = m_displayNames.find(instance.effectId());
    return found == m_displayNames.end() ? QVariant() : QVariant(Text(found->second));
}

QVariant SfxInstanceListModel::IsReady(const sfx::SfxDto& instance) const
{
    const auto found = m_ready.find(instance.effectPath());
    return found == m_ready.end() ? QVariant() : QVariant(found->second);
}

QVariant SfxInstanceListModel::data(const QModelIndex& index, int role) const
{
    const auto instance = Instance(index);
    if (!instance)
        return {};
    switch (role) {
    case SummaryRole:
        return Summary(*instance);
    case NameRole:
        return Text(instance->name());
    case OutputPathRole:
        return Text(instance->outputPath());
    case EffectIdRole:
        return Text(instance->effectId());
    case EffectPathRole:
        return Text(instance->effectPath());
    case ActiveIntervalsRole:
        // Asked by a view, an exception would end the program: say so instead.
        qWarning("Sound effect intervals are not supported yet.");
        return {};
    case TypeRole:
        return QVariant::fromValue(instance->type());
    case EffectIdIndexRole:
        return instance->effectIdIndex();
    case RepeatsRole:
        return instance->repeats();
    case FadeInRole:
        return instance->fadeIn();
    case FadeOutRole:
        return instance->fadeOut();
    case VolumeRole:
        return instance->volume();
    case ReverbRole:
        return instance->reverb();
    case PanRole:
        return instance->pan();
    case EventIdRole:
        return Text(instance->eventId());
    case IsReadyRole:
        return IsReady(*instance);
    default:
        return {};
    }
}

bool SfxInstanceListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    const auto instance = Instance(index);
    if (role != IsReadyRole || !instance)
        return false;
    m_ready[instance->effectPath()] = value.toBool();
    emit dataChanged(index, index, {IsReadyRole});
    return true;
}

QHash<int, QByteArray> SfxInstanceListModel::roleNames() const
{
    static const QHash<int, QByteArray> names{
        {SummaryRole, "summary"},
        {NameRole, "name"},
        {OutputPathRole, "outputPath"},
        {EffectIdRole, "effectId"},
        {EffectPathRole, "effectPath"},
        {ActiveIntervalsRole, "activeIntervals"},
        {TypeRole, "type"},
        {EffectIdIndexRole, "effectIdIndex"},
        {RepeatsRole, "repeats"},
        {FadeInRole, "fadeIn"},
        {FadeOutRole, "fadeOut"},
        {VolumeRole, "volume"},
        {ReverbRole, "reverb"},
        {PanRole, "pan"},
        {EventIdRole, "eventId"},
        {IsReadyRole, "isReady"},
    };
    return names;
}

} // namespace tarv::audio
