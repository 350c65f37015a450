#pragma once

#include "localfoldermodel.h"

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>
#include <QUrl>

namespace tarv::ui {

// What the save dialog may know of a name beyond its folder list, from the
// text and the list alone: the cue file a typed name means, whether a name
// fits the file system, and why a folder name cannot be made. What needs a
// look at the file system runs away from the window (SaveTargetQuery).
class LocalFileSystem : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    // The longest name, in bytes of the file system's encoding, that a
    // folder entry can hold.
    static constexpr int kLongestName = 255;

    using QObject::QObject;

    // The cue file that `typed` names in `folder`: below it unless absolute,
    // with the ".tarvcue" suffix unless it has one in any letter case. Where
    // the listed folder holds no entry of that name but a show of that name
    // whose suffix differs in letter case, that show is the one meant.
    Q_INVOKABLE QUrl cueFileFor(const QUrl& folder, const QString& typed,
                                const tarv::ui::LocalFolderModel* listing = nullptr) const;
    Q_INVOKABLE bool nameFits(const QString& name) const;
    // Why `name` cannot name a new folder, from the name alone; empty when
    // it can.
    Q_INVOKABLE QString folderNameRefusal(const QString& name) const;

    // The cue file that `typed` names in `folder`, as cueFileFor, with the
    // folder itself looked at rather than a listing.
    static QUrl ResolveCueFile(const QUrl& folder, const QString& typed);
    // Makes the folder `name` inside `parent`: an empty text once it exists,
    // else why it was not made.
    static QString MakeFolder(const QUrl& parent, const QString& name);

private:
    static bool NameFits(const QString& name);
    static QString FolderNameRefusal(const QString& name);
    static QString CuePath(const QUrl& folder, const QString& typed);
};

} // namespace tarv::ui
