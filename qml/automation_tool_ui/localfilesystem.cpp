#include "localfilesystem.h"

#include <algorithm>
#include <filesystem>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <system_error>

namespace tarv::ui {

namespace {

const QString kCueSuffix = QStringLiteral(".tarvcue");

std::filesystem::path NativePath(const QString& path)
{
    const QByteArray encoded = QFile::encodeName(path);
    return std::filesystem::path(encoded.constData());
}

} // namespace

LocalFileSystem::Kind LocalFileSystem::kindOf(const QUrl& url) const
{
    if (!url.isLocalFile()) {
        return Missing;
    }
    const QFileInfo info(url.toLocalFile());
    if (!info.exists()) {
        return info.isSymLink() ? BrokenLink : Missing;
    }
    return info.isDir() ? Folder : info.isFile() ? File : Special;
}

QUrl LocalFileSystem::cueFileFor(const QUrl& folder, const QString& typed) const
{
    if (typed.isEmpty()) {
        return {};
    }
    QString path = QDir::cleanPath(
        QDir::isAbsolutePath(typed) ? typed : QDir(folder.toLocalFile()).filePath(typed));
    if (!path.endsWith(kCueSuffix, Qt::CaseInsensitive)) {
        path += kCueSuffix;
    }
    const QFileInfo info(path);
    if (info.exists() || info.isSymLink()) {
        return QUrl::fromLocalFile(path);
    }
    const QString wanted = info.fileName();
    const QStringList names = info.dir().entryList(QDir::Files | QDir::Hidden, QDir::Name);
    const auto sameShow = [&wanted](const QString& name) {
        return name.size() == wanted.size() &&
               name.chopped(kCueSuffix.size()) == wanted.chopped(kCueSuffix.size()) &&
               name.endsWith(kCueSuffix, Qt::CaseInsensitive);
    };
    const auto listed = std::find_if(names.cbegin(), names.cend(), sameShow);
    return QUrl::fromLocalFile(listed == names.cend() ? path : info.dir().filePath(*listed));
}

bool LocalFileSystem::nameFits(const QString& name) const
{
    return QFile::encodeName(name).size() <= kLongestName;
}

QString LocalFileSystem::makeFolder(const QUrl& parent, const QString& name) const
{
    if (name.trimmed().isEmpty()) {
        return tr("Type a name for the new folder.");
    }
    if (name.contains(QLatin1Char('/')) || name == QLatin1String(".") ||
        name == QLatin1String("..")) {
        return tr("\"%1\" cannot name a folder: a name holds no \"/\" and is not \".\" or \"..\".")
            .arg(name);
    }
    if (!nameFits(name)) {
        return tr("The name is too long: a folder name holds at most %1 bytes.").arg(kLongestName);
    }
    const QString path = parent.toLocalFile() + QLatin1Char('/') + name;
    switch (kindOf(QUrl::fromLocalFile(path))) {
    case Folder:
        return tr("A folder named \"%1\" exists already.").arg(name);
    case File:
    case Special:
    case BrokenLink:
        return tr("A file named \"%1\" exists already.").arg(name);
    case Missing:
        break;
    }
    std::error_code error;
    if (std::filesystem::create_directory(NativePath(path), error)) {
        return {};
    }
    if (!error) {
        return tr("A folder named \"%1\" exists already.").arg(name);
    }
    return tr("The folder \"%1\" could not be made: %2.")
        .arg(name, QString::fromLocal8Bit(error.message()));
}

} // namespace tarv::ui
