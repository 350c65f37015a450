#pragma once

#include "automation/networkpath.h"
#include "qt/dualroledlistmodel.h"
#include "qt/networkitem.h"

#include <memory>
#include <QSet>
#include <QString>
#include <vector>

namespace tarv::qt {

// The network destinations of a cue list as the OSC dialogs show and edit
// them: a working copy, read back by the OSC manager when it is confirmed.
class NetworkListModel : public DualRoledListModel
{
public:
    enum NetworkRoles
    {
        NameRole = SecondRole + 1,
        IpAddressRole,
        NetworkIdRole,
        ModeRole,
        PortRole,
    };

    explicit NetworkListModel(const std::vector<networking::NetworkPath>& paths);

    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QHash<int, QByteArray> roleNames() const override;

    void AddNetwork(std::shared_ptr<NetworkItem> item);
    // The destination at `row`, or null outside the list.
    std::shared_ptr<NetworkItem> Network(int row) const;
    // Tells the views that every role of `row` may have changed.
    void RefreshRow(int row);
    // "NETWORK<n>" for the first n, from the row count up, that no row uses
    // and that is not among `alsoTaken`.
    QString NextNetworkId(const QSet<QString>& alsoTaken = {}) const;
};

} // namespace tarv::qt
