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

QVariantList LocalPaths::startFolders(const QVariantList& candidates) const
{
    QVariantList folders;
    const auto add = [&folders, this](const QString& path) {
        const QUrl url = urlOf(path);
        if (!path.isEmpty() && !folders.contains(url)) {
            folders.append(url);
        }
    };
    for (const QVariant& candidate : candidates) {
        add(pathOf(candidate.toUrl()));
    }
    add(QDir::homePath());
    return folders;
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
