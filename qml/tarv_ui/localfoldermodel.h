#pragma once

#include <optional>
#include <QAbstractListModel>
#include <QDateTime>
#include <QFileSystemWatcher>
#include <QStringList>
#include <QtQml/qqmlregistration.h>
#include <QUrl>
#include <vector>

namespace tarv::ui {

// One entry of a listed folder, read once by the worker that listed it, so
// that showing it never touches the file system again.
struct FolderEntry
{
    QString name;
    bool isDir = false;
    qint64 size = 0;
    QDateTime modified;
};

// What one listing reads: a folder, with its filters.
struct ListingRequest
{
    QString path;
    QStringList nameFilters;
    bool showFiles = true;

    bool operator==(const ListingRequest&) const = default;
};

// The entries of one local folder for a chooser: its folders first, then the
// files that match the name filters, each group in name order regardless of
// letter case. The filters match in any letter case, so "*.tarvcue" lists
// "Show.TARVCUE". Hidden folders are left out; hidden files only when the
// filters name a kind of file, so that a show saved as ".hidden.tarvcue"
// can be found again.
//
// The folder is read on a worker thread, so that a slow or hung mount, or a
// folder of many thousands of entries, never holds up the window: while it
// is read the list is empty and `loading` is true. A listing that ends after
// another folder or filter was asked for is dropped. The list follows
// changes to the folder, moving rows in and out in place, so that a view
// keeps its current entry.
class LocalFolderModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QUrl folder READ folder WRITE setFolder NOTIFY folderChanged)
    Q_PROPERTY(
        QStringList nameFilters READ nameFilters WRITE setNameFilters NOTIFY nameFiltersChanged)
    Q_PROPERTY(bool showFiles READ showFiles WRITE setShowFiles NOTIFY showFilesChanged)
    Q_PROPERTY(int count READ count NOTIFY countChanged)
    Q_PROPERTY(bool loading READ loading NOTIFY loadingChanged)

public:
    enum Role
    {
        FileNameRole = Qt::UserRole + 1,
        FileUrlRole,
        FileIsDirRole,
        FileSizeRole,
        FileModifiedRole
    };

    explicit LocalFolderModel(QObject* parent = nullptr);

    QUrl folder() const;
    void setFolder(const QUrl& folder);
    QStringList nameFilters() const;
    void setNameFilters(const QStringList& filters);
    bool showFiles() const;
    void setShowFiles(bool show);
    int count() const;
    bool loading() const;

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
    void loadingChanged();

private:
    struct Listing
    {
        ListingRequest request;
        quint64 generation = 0;
        // The folder's own date before it was read: a later one, once it is
        // watched, tells of a change the listing may have missed.
        QDateTime folderModified;
        std::vector<FolderEntry> entries;
    };

    static Listing Read(const ListingRequest& request, quint64 generation);

    ListingRequest CurrentRequest() const;
    // Empties the list for a new folder or filter, then asks for its entries.
    void Restart();
    // Asks for the current folder's entries again.
    void Relist();
    void StartListing();
    void ListingDone(Listing listing);
    void Merge(const std::vector<FolderEntry>& fresh);
    void Watch(const Listing& listing);

    QUrl m_folder;
    QStringList m_nameFilters;
    bool m_showFiles = true;
    // The request the entries belong to; empty until its first listing.
    std::optional<ListingRequest> m_shown;
    std::vector<FolderEntry> m_entries;
    // Each request counts up, so that only a newer listing of the current
    // request replaces the shown one.
    quint64 m_generation = 0;
    quint64 m_shownGeneration = 0;
    // One listing of the current request at a time (0: none): changes that
    // arrive meanwhile ask for one more once it ends.
    quint64 m_readingGeneration = 0;
    bool m_relistWanted = false;
    QFileSystemWatcher m_watcher;
};

} // namespace tarv::ui
