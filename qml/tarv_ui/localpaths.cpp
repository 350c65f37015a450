#include "localpaths.h"

#include <QDir>
#include <QFileInfo>

namespace tarv::ui {

QUrl LocalPaths::urlOf(const QString& path) const
{
    return path.isEmpty() ? QUrl() : QUrl::fromLocalFile(QDir::cleanPath(path));
}

QString LocalPaths::pathOf(const QUrl& url) const
{
    return url.isLocalFile() ? url.toLocalFile() : QString();
}

QUrl LocalPaths::resolved(const QUrl& folder, const QString& relative) const
{
    if (QDir::isAbsolutePath(relative)) {
        return urlOf(relative);
    }
    return urlOf(QDir(pathOf(folder)).filePath(relative));
}

QUrl LocalPaths::parentOf(const QUrl& url) const
{
    return resolved(url, QStringLiteral(".."));
}

QUrl LocalPaths::firstExistingFolder(const QVariantList& candidates) const
{
    for (const QVariant& candidate : candidates) {
        const QString path = pathOf(candidate.toUrl());
        if (!path.isEmpty() && QFileInfo(path).isDir()) {
            return urlOf(path);
        }
    }
    return urlOf(QDir::homePath());
}

bool LocalPaths::isFolder(const QUrl& url) const
{
    const QString path = pathOf(url);
    return !path.isEmpty() && QFileInfo(path).isDir();
}

bool LocalPaths::isFile(const QUrl& url) const
{
    const QString path = pathOf(url);
    return !path.isEmpty() && QFileInfo(path).isFile();
}

QVariantList LocalPaths::foldersAlong(const QUrl& folder) const
{
    QVariantList folders;
    const QString path = pathOf(folder);
    if (!QDir::isAbsolutePath(path)) {
        return folders;
    }
    // By the path's text alone: a folder along it may be gone or unreadable.
    for (QString along = QDir::cleanPath(path);; along = QFileInfo(along).path()) {
        const bool root = along == QStringLiteral("/");
        folders.prepend(
            QVariantMap{{QStringLiteral("name"), root ? along : QFileInfo(along).fileName()},
                        {QStringLiteral("url"), urlOf(along)}});
        if (root) {
            return folders;
        }
    }
}

} // namespace tarv::ui
