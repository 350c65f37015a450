#include "localfilesystem.h"

#include "localpathquery.h"

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

// Of `names`, the one that is `wanted`, else the show of the same name whose
// suffix differs in letter case; empty without either.
QString SameShow(const QStringList& names, const QString& wanted)
{
    if (names.contains(wanted)) {
        return wanted;
    }
    const auto sameShow = [&wanted](const QString& name) {
        return name.size() == wanted.size() &&
               name.chopped(kCueSuffix.size()) == wanted.chopped(kCueSuffix.size()) &&
               name.endsWith(kCueSuffix, Qt::CaseInsensitive);
    };
    const auto listed = std::find_if(names.cbegin(), names.cend(), sameShow);
    return listed == names.cend() ? QString() : *listed;
}

} // namespace

QString LocalFileSystem::CuePath(const QUrl& folder, const QString& typed)
{
    QString path = QDir::cleanPath(
        QDir::isAbsolutePath(typed) ? typed : QDir(folder.toLocalFile()).filePath(typed));
    if (!path.endsWith(kCueSuffix, Qt::CaseInsensitive)) {
        path += kCueSuffix;
    }
    return path;
}

QUrl LocalFileSystem::cueFileFor(const QUrl& folder, const QString& typed,
                                 const LocalFolderModel* listing) const
{
    if (typed.isEmpty()) {
        return {};
    }
    const QString path = CuePath(folder, typed);
    const QFileInfo info(path);
    if (listing == nullptr || listing->listedPath().isEmpty() ||
        QDir::cleanPath(listing->listedPath()) != info.path()) {
        return QUrl::fromLocalFile(path);
    }
    const QString listed = SameShow(listing->namesLike(info.fileName()), info.fileName());
    return QUrl::fromLocalFile(listed.isEmpty() ? path : info.dir().filePath(listed));
}

QUrl LocalFileSystem::ResolveCueFile(const QUrl& folder, const QString& typed)
{
    if (typed.isEmpty()) {
        return {};
    }
    const QString path = CuePath(folder, typed);
    const QFileInfo info(path);
    if (info.exists() || info.isSymLink()) {
        return QUrl::fromLocalFile(path);
    }
    const QString listed =
        SameShow(info.dir().entryList(QDir::Files | QDir::Hidden, QDir::Name), info.fileName());
    return QUrl::fromLocalFile(listed.isEmpty() ? path : info.dir().filePath(listed));
}

bool LocalFileSystem::nameFits(const QString& name) const
{
    return NameFits(name);
}

QString LocalFileSystem::folderNameRefusal(const QString& name) const
{
    return FolderNameRefusal(name);
}

bool LocalFileSystem::NameFits(const QString& name)
{
    return QFile::encodeName(name).size() <= kLongestName;
}

QString LocalFileSystem::FolderNameRefusal(const QString& name)
{
    if (name.trimmed().isEmpty()) {
        return tr("Type a name for the new folder.");
    }
    if (name.contains(QLatin1Char('/')) || name == QLatin1String(".") ||
        name == QLatin1String("..")) {
        return tr("\"%1\" cannot name a folder: a name holds no \"/\" and is not \".\" or \"..\".")
            .arg(name);
    }
    if (!NameFits(name)) {
        return tr("The name is too long: a folder name holds at most %1 bytes.").arg(kLongestName);
    }
    return {};
}

QString LocalFileSystem::MakeFolder(const QUrl& parent, const QString& name)
{
    const QString refusal = FolderNameRefusal(name);
    if (!refusal.isEmpty()) {
        return refusal;
    }
    const QString path = parent.toLocalFile() + QLatin1Char('/') + name;
    switch (LocalPathQuery::KindOf(path)) {
    case LocalPathQuery::Folder:
        return tr("A folder named \"%1\" exists already.").arg(name);
    case LocalPathQuery::File:
    case LocalPathQuery::Special:
    case LocalPathQuery::BrokenLink:
        return tr("A file named \"%1\" exists already.").arg(name);
    case LocalPathQuery::Missing:
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
