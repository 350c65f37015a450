#include "qt/sfxlistmodel.h"

SfxListModel::SfxListModel(QObject* parent)
    : QAbstractListModel(parent)
{}

void SfxListModel::Append(const QString& displayName, const QString& effectId)
{
    const auto row = static_cast<int>(m_rows.size());
    beginInsertRows(QModelIndex(), row, row);
    m_rows.append({displayName, effectId});
    endInsertRows();
}

void SfxListModel::Clear()
{
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

QPair<QString, QString> SfxListModel::Row(int row) const
{
    if (row < 0 || row >= m_rows.size())
        return {};
    return m_rows.at(row);
}

int SfxListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

QVariant SfxListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const auto& [displayName, effectId] = m_rows.at(index.row());
    switch (role) {
    case SfxIdRole:
        return effectId;
    case DisplayNameRole:
    case Qt::DisplayRole:
        return displayName;
    default:
        return {};
    }
}

QHash<int, QByteArray> SfxListModel::roleNames() const
{
    static const QHash<int, QByteArray> names{
        {Qt::DisplayRole, "display"},
        {SfxIdRole, "sfxid"},
        {DisplayNameRole, "displayname"},
    };
    return names;
}
