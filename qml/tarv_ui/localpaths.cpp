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

} // namespace tarv::ui
