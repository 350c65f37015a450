#pragma once

#include "localpathquery.h"

#include <QtQml/qqmlregistration.h>

namespace tarv::ui {

// The save dialog's looks at the file system, each away from the window
// (see LocalPathQuery): what a typed name saves to once Save is pressed, and
// the making of a new folder.
class SaveTargetQuery : public LocalPathQuery
{
    Q_OBJECT
    QML_ELEMENT

public:
    using LocalPathQuery::LocalPathQuery;

    // Finds what Save of `typed` in `folder` does; `resolved` follows with
    // the folder the name opens instead (empty unless it names one), the
    // cue file it writes and what that file is now.
    Q_INVOKABLE void resolve(const QUrl& folder, const QString& typed);
    // Makes the folder `name` in `parent`; `folderMade` follows, with why
    // it was not made (empty once it exists).
    Q_INVOKABLE void makeFolder(const QUrl& parent, const QString& name);

signals:
    void resolved(const QUrl& folder, const QString& typed, const QUrl& namedFolder,
                  const QUrl& file, tarv::ui::LocalPathQuery::Kind kind);
    void folderMade(const QUrl& parent, const QString& name, const QString& refusal);
};

} // namespace tarv::ui
