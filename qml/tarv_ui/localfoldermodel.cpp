#include "localfoldermodel.h"

#include <algorithm>
#include <QDir>

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

// Changes are read at most this often.
constexpr std::chrono::milliseconds kRelistDelay{250};

LocalFolderModel::LocalFolderModel(QObject* parent)
    : QAbstractListModel(parent)
{
    m_relistDelay.setSingleShot(true);
    m_relistDelay.setInterval(kRelistDelay);
    connect(&m_relistDelay, &QTimer::timeout, this, &LocalFolderModel::Relist);
    m_patience.setSingleShot(true);
    m_patience.setInterval(kFolderPatience);
    connect(&m_patience, &QTimer::timeout, this, [this] { SetNotAnswering(loading()); });
    m_wasLoading = loading();
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
    return m_active && m_shown != CurrentRequest();
}

bool LocalFolderModel::notAnswering() const
{
    return m_notAnswering;
}

bool LocalFolderModel::missing() const
{
    return m_missing;
}

bool LocalFolderModel::active() const
{
    return m_active;
}

void LocalFolderModel::setActive(bool active)
{
    if (active == m_active) {
        return;
    }
    m_active = active;
    Restart();
    emit activeChanged();
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

QString LocalFolderModel::listedPath() const
{
    return m_shown && !loading() ? m_shown->path : QString();
}

QStringList LocalFolderModel::namesLike(const QString& name) const
{
    QStringList names;
    // Each kind of entry lies in name order regardless of case.
    for (const bool isDir : {true, false}) {
        const FolderEntry wanted{name, isDir, 0, {}};
        const auto sameName = [](const FolderEntry& a, const FolderEntry& b) {
            return a.isDir != b.isDir ? a.isDir : a.name.compare(b.name, Qt::CaseInsensitive) < 0;
        };
        const auto [first, last] =
            std::equal_range(m_entries.cbegin(), m_entries.cend(), wanted, sameName);
        for (auto it = first; it != last; ++it) {
            names.append(it->name);
        }
    }
    return names;
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

LocalFolderModel::Listing LocalFolderModel::Read(const ListingRequest& request, quint64 generation,
                                                 bool watch)
{
    Listing listing{request, generation, false, {}, {}};
    if (request.path.isEmpty()) {
        return listing;
    }
    if (watch) {
        listing.watch = FolderWatch::Prepare(request.path);
    }
    if (!QFileInfo(request.path).isDir()) {
        listing.missing = true;
        return listing;
    }
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

// A reading no longer wanted is left to end on its own: nothing waits for it.
void LocalFolderModel::Restart()
{
    const int before = count();
    beginResetModel();
    m_entries.clear();
    m_shown.reset();
    endResetModel();
    if (count() != before) {
        emit countChanged();
    }
    m_watch.reset();
    m_relistDelay.stop();
    m_readingGeneration = 0;
    m_relistWanted = false;
    SetMissing(false);
    SetNotAnswering(false);
    m_patience.stop();
    if (m_active) {
        m_patience.start();
        StartListing(true);
    }
    UpdateLoading();
}

void LocalFolderModel::UpdateLoading()
{
    if (m_wasLoading != loading()) {
        m_wasLoading = loading();
        emit loadingChanged();
    }
}

void LocalFolderModel::Relist()
{
    if (!m_shown) {
        return;
    }
    if (m_readingGeneration != 0) {
        m_relistWanted = true;
        return;
    }
    StartListing(false);
}

void LocalFolderModel::StartListing(bool watch)
{
    m_relistWanted = false;
    m_readingGeneration = ++m_generation;
    const bool started = m_work.Run([request = CurrentRequest(), generation = m_generation,
                                     watch] { return Read(request, generation, watch); },
                                    [this](Listing listing) { ListingDone(std::move(listing)); });
    if (!started) {
        m_readingGeneration = 0;
    }
}

void LocalFolderModel::ListingDone(Listing listing)
{
    if (listing.generation == m_readingGeneration) {
        m_readingGeneration = 0;
    }
    if (!m_active || listing.request != CurrentRequest() ||
        listing.generation <= m_shownGeneration) {
        return;
    }
    m_shownGeneration = listing.generation;
    if (m_shown == listing.request) {
        SetMissing(listing.missing);
        Merge(listing.entries);
    } else {
        Show(std::move(listing));
    }
    if (m_relistWanted && m_readingGeneration == 0) {
        StartListing(false);
    }
}

// Every change made before the first signal, whose handlers may ask for
// another folder at once.
void LocalFolderModel::Show(Listing listing)
{
    if (listing.watch.IsValid()) {
        m_watch = std::make_unique<FolderWatch>(std::move(listing.watch), listing.request.path);
        connect(m_watch.get(), &FolderWatch::changed, this, [this] {
            if (!m_relistDelay.isActive()) {
                m_relistDelay.start();
            }
        });
    }
    m_patience.stop();
    const int before = count();
    beginResetModel();
    m_entries = std::move(listing.entries);
    m_shown = listing.request;
    endResetModel();
    const bool missingNow = listing.missing;
    const bool wasNotAnswering = m_notAnswering;
    m_notAnswering = false;
    const bool wasMissing = m_missing;
    m_missing = missingNow;
    if (count() != before) {
        emit countChanged();
    }
    if (wasNotAnswering) {
        emit notAnsweringChanged();
    }
    if (wasMissing != m_missing) {
        emit missingChanged();
    }
    UpdateLoading();
}

void LocalFolderModel::SetNotAnswering(bool notAnswering)
{
    if (notAnswering != m_notAnswering) {
        m_notAnswering = notAnswering;
        emit notAnsweringChanged();
    }
}

void LocalFolderModel::SetMissing(bool missing)
{
    if (missing != m_missing) {
        m_missing = missing;
        emit missingChanged();
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

} // namespace tarv::ui
