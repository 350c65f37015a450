#pragma once

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>
#include <QUrl>

namespace tarv::ui {

// What the save dialog may know of the local file system beyond its folder
// list: what a typed path names, whether a name fits the file system, and the
// making of a folder, each with a reason an operator can act on.
class LocalFileSystem : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    enum Kind
    {
        Missing,
        Folder,
        File,
        Special,
        // A link to nothing: a save through it makes the file it names.
        BrokenLink
    };
    Q_ENUM(Kind)

    // The longest name, in bytes of the file system's encoding, that a
    // folder entry can hold.
    static constexpr int kLongestName = 255;

    using QObject::QObject;

    Q_INVOKABLE tarv::ui::LocalFileSystem::Kind kindOf(const QUrl& url) const;
    // The cue file that `typed` names in `folder`: below it unless absolute,
    // with the ".tarvcue" suffix unless it has one in any letter case. Where
    // no such entry exists but the folder holds a show of that name whose
    // suffix differs in letter case, that show is the one meant.
    Q_INVOKABLE QUrl cueFileFor(const QUrl& folder, const QString& typed) const;
    Q_INVOKABLE bool nameFits(const QString& name) const;
    // Makes the folder `name` inside `parent`: an empty text once it exists,
    // else why it was not made.
    Q_INVOKABLE QString makeFolder(const QUrl& parent, const QString& name) const;
};

} // namespace tarv::ui
