#include "qt/networklistmodel.h"

#include <utility>

namespace tarv::qt {

NetworkListModel::NetworkListModel(const std::vector<networking::NetworkPath>& paths)
    : DualRoledListModel(nullptr)
{
    for (const auto& path : paths) {
        auto item = std::make_shared<NetworkItem>();
        item->Name(QString::fromStdString(path.name));
        item->IpAddress(QString::fromStdString(path.ip_address));
        item->NetworkId(QString::fromStdString(path.network_id));
        item->Port(path.port);
        item->Mode(path.mode != 0 ? QStringLiteral("tcp") : QStringLiteral("udp"));
        AddNetwork(std::move(item));
    }
}

std::shared_ptr<NetworkItem> NetworkListModel::Network(int row) const
{
    return std::dynamic_pointer_cast<NetworkItem>(Item(row));
}

QVariant NetworkListModel::data(const QModelIndex& index, int role) const
{
    if (role < NameRole || role > PortRole) {
        return DualRoledListModel::data(index, role);
    }
    const auto item = Contains(index) ? Network(index.row()) : nullptr;
    if (!item) {
        return {};
    }
    switch (role) {
    case NameRole:
        return item->Name();
    case IpAddressRole:
        return item->IpAddress();
    case NetworkIdRole:
        return item->NetworkId();
    case ModeRole:
        return item->Mode();
    default:
        return item->Port();
    }
}

bool NetworkListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role < NameRole || role > PortRole) {
        return DualRoledListModel::setData(index, value, role);
    }
    const auto item = Contains(index) ? Network(index.row()) : nullptr;
    if (!item) {
        return false;
    }
    switch (role) {
    case NameRole:
        item->Name(value.toString());
        break;
    case IpAddressRole:
        item->IpAddress(value.toString());
        break;
    case NetworkIdRole:
        item->NetworkId(value.toString());
        break;
    case ModeRole:
        item->Mode(value.toString());
        break;
    default:
        item->Port(value.toInt());
        break;
    }
    emit dataChanged(index, index, {role});
    return true;
}

QHash<int, QByteArray> NetworkListModel::roleNames() const
{
    QHash<int, QByteArray> names = DualRoledListModel::roleNames();
    names.insert(NameRole, "name");
    names.insert(IpAddressRole, "ipAddress");
    names.insert(NetworkIdRole, "networkId");
    names.insert(ModeRole, "mode");
    names.insert(PortRole, "port");
    return names;
}

void NetworkListModel::AddNetwork(std::shared_ptr<NetworkItem> item)
{
    AddItem(std::move(item));
}

void NetworkListModel::RefreshRow(int row)
{
    if (row < 0 || row >= rowCount()) {
        return;
    }
    const QModelIndex at = index(row, 0);
    emit dataChanged(at, at, {});
}

QString NetworkListModel::NextNetworkId(const QSet<QString>& alsoTaken) const
{
    const int rows = rowCount();
    for (long long n = rows;; ++n) {
        const QString candidate = QStringLiteral("NETWORK") + QString::number(n);
        bool taken = alsoTaken.contains(candidate);
        for (int row = 0; row < rows && !taken; ++row) {
            const auto item = Network(row);
            taken = item && item->NetworkId() == candidate;
        }
        if (!taken) {
            return candidate;
        }
    }
}

} // namespace tarv::qt
