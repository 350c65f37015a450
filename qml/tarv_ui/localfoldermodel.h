#pragma once

#include <QAbstractListModel>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QList>
#include <QStringList>
#include <QtQml/qqmlregistration.h>
#include <QUrl>

namespace tarv::ui {

// The entries of one local folder for a chooser: its folders first, then the
// files that match the name filters, each group in name order regardless of
// letter case. The filters match in any letter case, so "*.tarvcue" lists
// "Show.TARVCUE". Hidden folders are left out; hidden files only when the
// filters name a kind of file, so that a show saved as ".hidden.tarvcue"
// can be found again. The list follows changes to the folder.
class LocalFolderModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QUrl folder READ folder WRITE setFolder NOTIFY folderChanged)
    Q_PROPERTY(
        QStringList nameFilters READ nameFilters WRITE setNameFilters NOTIFY nameFiltersChanged)
    Q_PROPERTY(bool showFiles READ showFiles WRITE setShowFiles NOTIFY showFilesChanged)
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    enum Role
    {
        FileNameRole = Qt::UserRole + 1,
        FileUrlRole,
        FileIsDirRole
    };

    explicit LocalFolderModel(QObject* parent = nullptr);

    QUrl folder() const;
    void setFolder(const QUrl& folder);
    QStringList nameFilters() const;
    void setNameFilters(const QStringList& filters);
    bool showFiles() const;
    void setShowFiles(bool show);
    int count() const;

    Q_INVOKABLE bool isFolder(int index) const;
    Q_INVOKABLE QUrl fileUrl(int index) const;
    Q_INVOKABLE QString fileName(int index) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

signals:
    void folderChanged();
    void nameFiltersChanged();
    void showFilesChanged();
    void countChanged();

private:
    void Reload();
    QList<QFileInfo> Listing() const;
    bool ListsHiddenFiles() const;

    QUrl m_folder;
    QStringList m_nameFilters;
    bool m_showFiles = true;
    QList<QFileInfo> m_entries;
    QFileSystemWatcher m_watcher;
};

} // namespace tarv::ui
