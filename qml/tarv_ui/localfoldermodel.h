#pragma once

#include "detachedwork.h"
#include "folderwatch.h"

#include <memory>
#include <optional>
#include <QAbstractListModel>
#include <QDateTime>
#include <QStringList>
#include <QTimer>
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
// The folder is read on a thread of its own (DetachedWork), so that a slow
// or hung mount, or a folder of many thousands of entries, never holds up
// the window or another folder's reading: while it is read the list is empty
// and `loading` is true; once it has taken a few seconds, `notAnswering` is
// true too. A folder that does not exist lists as `missing`. A reading that
// ends after another folder or filter was asked for is dropped. While
// `active`, the list follows changes to the folder, moving rows in and out
// in place, so that a view keeps its current entry; inactive, it reads and
// watches nothing and lists nothing.
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
    Q_PROPERTY(bool notAnswering READ notAnswering NOTIFY notAnsweringChanged)
    Q_PROPERTY(bool missing READ missing NOTIFY missingChanged)
    Q_PROPERTY(bool active READ active WRITE setActive NOTIFY activeChanged)

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
    bool notAnswering() const;
    bool missing() const;
    bool active() const;
    void setActive(bool active);

    Q_INVOKABLE bool isFolder(int index) const;
    Q_INVOKABLE QUrl fileUrl(int index) const;
    Q_INVOKABLE QString fileName(int index) const;
    // The folder whose entries are listed; empty until they are.
    QString listedPath() const;
    // The listed entries whose names equal `name` in any letter case.
    QStringList namesLike(const QString& name) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

signals:
    void folderChanged();
    void nameFiltersChanged();
    void showFilesChanged();
    void countChanged();
    void loadingChanged();
    void notAnsweringChanged();
    void missingChanged();
    void activeChanged();

private:
    struct Listing
    {
        ListingRequest request;
        quint64 generation = 0;
        bool missing = false;
        std::vector<FolderEntry> entries;
        // Made before the folder was read, so that no change is missed;
        // only the first listing of a request makes one.
        FolderWatch::Prepared watch;
    };

    static Listing Read(const ListingRequest& request, quint64 generation, bool watch);

    ListingRequest CurrentRequest() const;
    // Empties the list for a new folder or filter, then asks for its entries.
    void Restart();
    // Asks for the current folder's entries again.
    void Relist();
    void StartListing(bool watch);
    void ListingDone(Listing listing);
    void Show(Listing listing);
    void Merge(const std::vector<FolderEntry>& fresh);
    void SetNotAnswering(bool notAnswering);
    void SetMissing(bool missing);
    void UpdateLoading();

    QUrl m_folder;
    QStringList m_nameFilters;
    bool m_showFiles = true;
    bool m_active = true;
    // The request the entries belong to; empty until its first listing.
    std::optional<ListingRequest> m_shown;
    std::vector<FolderEntry> m_entries;
    bool m_missing = false;
    bool m_notAnswering = false;
    // As last told to the views.
    bool m_wasLoading = false;
    // Each request counts up, so that only a newer listing of the current
    // request replaces the shown one.
    quint64 m_generation = 0;
    quint64 m_shownGeneration = 0;
    // One listing of the shown request at a time (0: none): changes that
    // arrive meanwhile ask for one more once it ends.
    quint64 m_readingGeneration = 0;
    bool m_relistWanted = false;
    std::unique_ptr<FolderWatch> m_watch;
    // A busy folder changes all the time: its changes are read together.
    QTimer m_relistDelay;
    QTimer m_patience;
    // Last: it drops the readings' results before anything else goes.
    DetachedWork m_work{this};
};

} // namespace tarv::ui
