#include "localfoldermodel.h"

#include <algorithm>
#include <memory>
#include <QDir>
#include <QFutureWatcher>
#include <QPromise>
#include <QThreadPool>

namespace tarv::ui {

namespace {

// Folders first, then by name regardless of letter case, and names equal
// but for case in a fixed order, so that two listings of one folder line up
// entry by entry.
bool ListedBefore(const FolderEntry& a, const FolderEntry& b)
{
    if (a.isDir != b.isDir) {
        return a.isDir;
    }
    const int byName = a.name.compare(b.name, Qt::CaseInsensitive);
    return byName != 0 ? byName < 0 : a.name < b.name;
}

bool ListsHiddenFiles(const QStringList& nameFilters)
{
    return !nameFilters.isEmpty() && !nameFilters.contains(QStringLiteral("*"));
}

} // namespace

LocalFolderModel::LocalFolderModel(QObject* parent)
    : QAbstractListModel(parent)
{
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &LocalFolderModel::Relist);
}

QUrl LocalFolderModel::folder() const
{
    return m_folder;
}

void LocalFolderModel::setFolder(const QUrl& folder)
{
    if (folder == m_folder) {
        return;
    }
    m_folder = folder;
    Restart();
    emit folderChanged();
}

QStringList LocalFolderModel::nameFilters() const
{
    return m_nameFilters;
}

void LocalFolderModel::setNameFilters(const QStringList& filters)
{
    if (filters == m_nameFilters) {
        return;
    }
    m_nameFilters = filters;
    Restart();
    emit nameFiltersChanged();
}

bool LocalFolderModel::showFiles() const
{
    return m_showFiles;
}

void LocalFolderModel::setShowFiles(bool show)
{
    if (show == m_showFiles) {
        return;
    }
    m_showFiles = show;
    Restart();
    emit showFilesChanged();
}

int LocalFolderModel::count() const
{
    return static_cast<int>(m_entries.size());
}

bool LocalFolderModel::loading() const
{
    return m_shown != CurrentRequest();
}

bool LocalFolderModel::isFolder(int index) const
{
    return index >= 0 && index < count() && m_entries[index].isDir;
}

QUrl LocalFolderModel::fileUrl(int index) const
{
    if (index < 0 || index >= count()) {
        return {};
    }
    return QUrl::fromLocalFile(QDir(m_shown->path).filePath(m_entries[index].name));
}

QString LocalFolderModel::fileName(int index) const
{
    return index >= 0 && index < count() ? m_entries[index].name : QString();
}

int LocalFolderModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : count();
}

QVariant LocalFolderModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const FolderEntry& entry = m_entries[index.row()];
    switch (role) {
    case FileNameRole:
        return entry.name;
    case FileUrlRole:
        return fileUrl(index.row());
    case FileIsDirRole:
        return entry.isDir;
    case FileSizeRole:
        return entry.size;
    case FileModifiedRole:
        return entry.modified;
    default:
        return {};
    }
}

QHash<int, QByteArray> LocalFolderModel::roleNames() const
{
    static const QHash<int, QByteArray> names{{FileNameRole, "fileName"},
                                              {FileUrlRole, "fileUrl"},
                                              {FileIsDirRole, "fileIsDir"},
                                              {FileSizeRole, "fileSize"},
                                              {FileModifiedRole, "fileModified"}};
    return names;
}

ListingRequest LocalFolderModel::CurrentRequest() const
{
    return {m_folder.isLocalFile() ? m_folder.toLocalFile() : QString(), m_nameFilters,
            m_showFiles};
}

LocalFolderModel::Listing LocalFolderModel::Read(const ListingRequest& request, quint64 generation)
{
    Listing listing{request, generation, {}, {}};
    if (request.path.isEmpty()) {
        return listing;
    }
    listing.folderModified = QFileInfo(request.path).lastModified();
    const QDir dir(request.path);
    QFileInfoList found = dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Unsorted);
    if (request.showFiles) {
        const QDir::Filters kinds =
            QDir::Files | (ListsHiddenFiles(request.nameFilters) ? QDir::Hidden : QDir::Filters());
        found += dir.entryInfoList(request.nameFilters, kinds, QDir::Unsorted);
    }
    listing.entries.reserve(static_cast<std::size_t>(found.size()));
    for (const QFileInfo& info : std::as_const(found)) {
        listing.entries.push_back(
            {info.fileName(), info.isDir(), info.isDir() ? 0 : info.size(), info.lastModified()});
    }
    std::sort(listing.entries.begin(), listing.entries.end(), ListedBefore);
    return listing;
}

void LocalFolderModel::Restart()
{
    // Shown entries belonged to the request of their day: the one before.
    const bool wasLoading = !m_shown.has_value();
    const int before = count();
    beginResetModel();
    m_entries.clear();
    m_shown.reset();
    endResetModel();
    if (count() != before) {
        emit countChanged();
    }
    if (!m_watcher.directories().isEmpty()) {
        m_watcher.removePaths(m_watcher.directories());
    }
    StartListing();
    if (wasLoading != loading()) {
        emit loadingChanged();
    }
}

void LocalFolderModel::Relist()
{
    if (m_readingGeneration != 0) {
        m_relistWanted = true;
        return;
    }
    StartListing();
}

void LocalFolderModel::StartListing()
{
    m_relistWanted = false;
    m_readingGeneration = ++m_generation;
    auto promise = std::make_shared<QPromise<Listing>>();
    auto* watcher = new QFutureWatcher<Listing>(this);
    connect(watcher, &QFutureWatcher<Listing>::finished, this, [this, watcher] {
        watcher->deleteLater();
        if (watcher->future().resultCount() > 0) {
            ListingDone(watcher->future().takeResult());
        }
    });
    watcher->setFuture(promise->future());
    promise->start();
    QThreadPool::globalInstance()->start(
        [promise, request = CurrentRequest(), generation = m_generation] {
            promise->addResult(Read(request, generation));
            promise->finish();
        });
}

void LocalFolderModel::ListingDone(Listing listing)
{
    if (listing.generation == m_readingGeneration) {
        m_readingGeneration = 0;
    }
    if (listing.request != CurrentRequest() || listing.generation <= m_shownGeneration) {
        return;
    }
    m_shownGeneration = listing.generation;
    if (m_shown == listing.request) {
        Merge(listing.entries);
    } else {
        // Every change made before the first signal, whose handlers may ask
        // for another folder at once.
        Watch(listing);
        const int before = count();
        beginResetModel();
        m_entries = std::move(listing.entries);
        m_shown = listing.request;
        endResetModel();
        if (count() != before) {
            emit countChanged();
        }
        emit loadingChanged();
    }
    if (m_relistWanted && m_readingGeneration == 0) {
        StartListing();
    }
}

void LocalFolderModel::Merge(const std::vector<FolderEntry>& fresh)
{
    const int before = count();
    auto row = m_entries.begin();
    auto next = fresh.cbegin();
    const auto rowOf = [this](auto it) { return static_cast<int>(it - m_entries.begin()); };
    while (row != m_entries.end() || next != fresh.cend()) {
        const auto gone = [&next, &fresh](const FolderEntry& entry) {
            return next == fresh.cend() || ListedBefore(entry, *next);
        };
        if (row != m_entries.end() && gone(*row)) {
            const auto end = std::find_if_not(row, m_entries.end(), gone);
            beginRemoveRows({}, rowOf(row), rowOf(end) - 1);
            row = m_entries.erase(row, end);
            endRemoveRows();
        } else if (row == m_entries.end() || ListedBefore(*next, *row)) {
            const auto end = row == m_entries.end()
                                 ? fresh.cend()
                                 : std::find_if_not(next, fresh.cend(), [&row](const auto& entry) {
                                       return ListedBefore(entry, *row);
                                   });
            const int first = rowOf(row);
            beginInsertRows({}, first, first + static_cast<int>(end - next) - 1);
            row = m_entries.insert(row, next, end) + (end - next);
            endInsertRows();
            next = end;
        } else {
            if (row->size != next->size || row->modified != next->modified) {
                *row = *next;
                const QModelIndex changed = index(rowOf(row));
                emit dataChanged(changed, changed, {FileSizeRole, FileModifiedRole});
            }
            ++row;
            ++next;
        }
    }
    if (count() != before) {
        emit countChanged();
    }
}

// Watched only once read: adding a watch looks the folder up on this thread,
// which a hung mount would hold up.
void LocalFolderModel::Watch(const Listing& listing)
{
    const QString& path = listing.request.path;
    if (path.isEmpty() || !m_watcher.addPath(path)) {
        return;
    }
    if (QFileInfo(path).lastModified() != listing.folderModified) {
        Relist();
    }
}

} // namespace tarv::ui
