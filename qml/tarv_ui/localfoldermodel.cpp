#include "localfoldermodel.h"

#include <algorithm>
#include <QDir>

namespace tarv::ui {

LocalFolderModel::LocalFolderModel(QObject* parent)
    : QAbstractListModel(parent)
{
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &LocalFolderModel::Reload);
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
    if (!m_watcher.directories().isEmpty()) {
        m_watcher.removePaths(m_watcher.directories());
    }
    m_folder = folder;
    const QString path = m_folder.isLocalFile() ? m_folder.toLocalFile() : QString();
    if (!path.isEmpty() && QFileInfo(path).isDir()) {
        m_watcher.addPath(path);
    }
    Reload();
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
    Reload();
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
    Reload();
    emit showFilesChanged();
}

int LocalFolderModel::count() const
{
    return static_cast<int>(m_entries.size());
}

bool LocalFolderModel::isFolder(int index) const
{
    return index >= 0 && index < count() && m_entries.at(index).isDir();
}

QUrl LocalFolderModel::fileUrl(int index) const
{
    if (index < 0 || index >= count()) {
        return {};
    }
    return QUrl::fromLocalFile(m_entries.at(index).absoluteFilePath());
}

QString LocalFolderModel::fileName(int index) const
{
    return index >= 0 && index < count() ? m_entries.at(index).fileName() : QString();
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
    switch (role) {
    case FileNameRole:
        return fileName(index.row());
    case FileUrlRole:
        return fileUrl(index.row());
    case FileIsDirRole:
        return isFolder(index.row());
    default:
        return {};
    }
}

QHash<int, QByteArray> LocalFolderModel::roleNames() const
{
    static const QHash<int, QByteArray> names{
        {FileNameRole, "fileName"}, {FileUrlRole, "fileUrl"}, {FileIsDirRole, "fileIsDir"}};
    return names;
}

bool LocalFolderModel::ListsHiddenFiles() const
{
    return !m_nameFilters.isEmpty() && !m_nameFilters.contains(QStringLiteral("*"));
}

QList<QFileInfo> LocalFolderModel::Listing() const
{
    if (!m_folder.isLocalFile()) {
        return {};
    }
    const QDir dir(m_folder.toLocalFile());
    constexpr QDir::SortFlags kOrder = QDir::Name | QDir::IgnoreCase;
    QList<QFileInfo> entries = dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, kOrder);
    if (m_showFiles) {
        const QDir::Filters kinds =
            QDir::Files | (ListsHiddenFiles() ? QDir::Hidden : QDir::Filters());
        entries += dir.entryInfoList(m_nameFilters, kinds, kOrder);
    }
    return entries;
}

void LocalFolderModel::Reload()
{
    QList<QFileInfo> entries = Listing();
    const auto sameNames = [&entries, this] {
        return std::equal(entries.cbegin(), entries.cend(), m_entries.cbegin(), m_entries.cend(),
                          [](const QFileInfo& a, const QFileInfo& b) {
                              return a.absoluteFilePath() == b.absoluteFilePath() &&
                                     a.isDir() == b.isDir();
                          });
    };
    if (sameNames()) {
        return;
    }
    const int before = count();
    beginResetModel();
    m_entries = std::move(entries);
    endResetModel();
    if (count() != before) {
        emit countChanged();
    }
}

} // namespace tarv::ui
