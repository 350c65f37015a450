#pragma once

#include "qt/dualroleitem.h"

#include <memory>
#include <QAbstractListModel>
#include <QList>

namespace tarv::qt {

// A list model of two-text rows that QML reads by role name: "value",
// "first" and "second". Subclasses add roles of their own.
class DualRoledListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Roles
    {
        ValueRole = Qt::UserRole + 1,
        FirstRole,
        SecondRole,
    };

    explicit DualRoledListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QHash<int, QByteArray> roleNames() const override;

    // A range that does not lie wholly inside the list removes nothing and
    // returns false: the OSC manager asks with row -1 when nothing is selected.
    Q_INVOKABLE bool removeRows(int row, int count,
                                const QModelIndex& parent = QModelIndex()) override;
    // The value of the role named `role` at `index`; an unknown name reads the
    // display role, a row outside the list gives an invalid value.
    Q_INVOKABLE QVariant dataStr(int index, const QString& role) const;

    void AddItem(std::shared_ptr<DualRoleItem> item);

protected:
    // The item at `row`, or null outside the list.
    std::shared_ptr<DualRoleItem> Item(int row) const;
    bool Contains(const QModelIndex& index) const;

private:
    QList<std::shared_ptr<DualRoleItem>> m_items;
};

} // namespace tarv::qt
