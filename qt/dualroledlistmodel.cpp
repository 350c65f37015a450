#include "qt/dualroledlistmodel.h"

#include <utility>

namespace tarv::qt {

DualRoledListModel::DualRoledListModel(QObject* parent)
    : QAbstractListModel(parent)
{}

int DualRoledListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_items.size());
}

bool DualRoledListModel::Contains(const QModelIndex& index) const
{
    return index.isValid() && !index.parent().isValid() && index.row() >= 0 &&
           index.row() < m_items.size();
}

std::shared_ptr<DualRoleItem> DualRoledListModel::Item(int row) const
{
    return row >= 0 && row < m_items.size() ? m_items.at(row) : nullptr;
}

QVariant DualRoledListModel::data(const QModelIndex& index, int role) const
{
    if (!Contains(index)) {
        return {};
    }
    const auto& item = m_items.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case FirstRole:
        return item->first();
    case SecondRole:
        return item->second();
    case ValueRole:
        return item->Value();
    default:
        return {};
    }
}

bool DualRoledListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!Contains(index)) {
        return false;
    }
    const auto& item = m_items.at(index.row());
    switch (role) {
    case FirstRole:
        item->SetFirst(value.toString());
        break;
    case SecondRole:
        item->SetSecond(value.toString());
        break;
    case ValueRole:
        item->Value(value.toInt());
        break;
    default:
        return false;
    }
    emit dataChanged(index, index, {role});
    return true;
}

QHash<int, QByteArray> DualRoledListModel::roleNames() const
{
    static const QHash<int, QByteArray> names{
        {ValueRole, "value"},
        {FirstRole, "first"},
        {SecondRole, "second"},
    };
    return names;
}

bool DualRoledListModel::removeRows(int row, int count, const QModelIndex& parent)
{
    // Compared without forming row + count, which could overflow.
    if (parent.isValid() || row < 0 || count <= 0 || row >= m_items.size() ||
        count > m_items.size() - row) {
        return false;
    }
    beginRemoveRows(QModelIndex(), row, row + count - 1);
    m_items.remove(row, count);
    endRemoveRows();
    return true;
}

QVariant DualRoledListModel::dataStr(int index, const QString& role) const
{
    const QByteArray name = role.toUtf8();
    const QHash<int, QByteArray> names = roleNames();
    const int roleNumber = names.key(name, Qt::DisplayRole);
    return data(this->index(index, 0), roleNumber);
}

void DualRoledListModel::AddItem(std::shared_ptr<DualRoleItem> item)
{
    if (!item) {
        return;
    }
    const int row = rowCount();
    beginInsertRows(QModelIndex(), row, row);
    m_items.append(std::move(item));
    endInsertRows();
}

} // namespace tarv::qt
