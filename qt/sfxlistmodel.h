#pragma once

#include <QAbstractListModel>
#include <QList>
#include <QPair>
#include <QString>

// The installed sound effects (sources) as rows of display name and effect id,
// for the manager's source list and the editors' source combo boxes.
class SfxListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Role
    {
        SfxIdRole = Qt::UserRole + 1,
        DisplayNameRole,
    };

    explicit SfxListModel(QObject* parent = nullptr);

    void Append(const QString& displayName, const QString& effectId);
    void Clear();
    // (display name, effect id) of a row; empty texts outside the list.
    QPair<QString, QString> Row(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

private:
    QList<QPair<QString, QString>> m_rows;
};
