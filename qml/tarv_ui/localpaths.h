#pragma once

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>
#include <QUrl>
#include <QVariantList>

namespace tarv::ui {

// Turns local paths into file URLs and back for the choosers, with Qt's own
// conversions only: a folder or file name may hold "#", "?" or "%41", which
// text joined into a URL would read as a fragment, a query or an escape.
// Each works on the text alone: nothing here looks at the file system, which
// a slow or hung mount would make the window wait for (LocalPathQuery does).
class LocalPaths : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    using QObject::QObject;

    Q_INVOKABLE QUrl urlOf(const QString& path) const;
    // The local path of a file URL; empty for any other URL.
    Q_INVOKABLE QString pathOf(const QUrl& url) const;
    // `relative` taken from the folder `folder`, or on its own when it is
    // absolute, with "." and ".." resolved.
    Q_INVOKABLE QUrl resolved(const QUrl& folder, const QString& relative) const;
    Q_INVOKABLE QUrl parentOf(const QUrl& url) const;
    // The folders to try for a chooser's start, in order: the local ones of
    // `candidates`, each once, then the home folder.
    Q_INVOKABLE QVariantList startFolders(const QVariantList& candidates) const;
    // The folders from the root down to `folder`, each as {name, url}.
    Q_INVOKABLE QVariantList foldersAlong(const QUrl& folder) const;
};

} // namespace tarv::ui
