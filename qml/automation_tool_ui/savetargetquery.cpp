#include "savetargetquery.h"

#include "localfilesystem.h"

#include <QDir>

namespace tarv::ui {

namespace {

struct SaveTarget
{
    QUrl namedFolder;
    QUrl file;
    LocalPathQuery::Kind kind = LocalPathQuery::Missing;
};

// A typed name that is a folder's, as given or with the suffix, opens it.
SaveTarget FindSaveTarget(const QUrl& folder, const QString& typed)
{
    SaveTarget target;
    const QString asTyped = QDir::cleanPath(
        QDir::isAbsolutePath(typed) ? typed : QDir(folder.toLocalFile()).filePath(typed));
    target.file = LocalFileSystem::ResolveCueFile(folder, typed);
    for (const QString& path : {asTyped, target.file.toLocalFile()}) {
        if (LocalPathQuery::KindOf(path) == LocalPathQuery::Folder) {
            target.namedFolder = QUrl::fromLocalFile(path);
            return target;
        }
    }
    target.kind = LocalPathQuery::KindOf(target.file.toLocalFile());
    return target;
}

} // namespace

void SaveTargetQuery::resolve(const QUrl& folder, const QString& typed)
{
    Ask([folder, typed] { return FindSaveTarget(folder, typed); },
        [this, folder, typed](const SaveTarget& target) {
            emit resolved(folder, typed, target.namedFolder, target.file, target.kind);
        });
}

void SaveTargetQuery::makeFolder(const QUrl& parent, const QString& name)
{
    Ask([parent, name] { return LocalFileSystem::MakeFolder(parent, name); },
        [this, parent, name](const QString& refusal) { emit folderMade(parent, name, refusal); });
}

} // namespace tarv::ui
