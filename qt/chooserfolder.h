#pragma once

#include <QList>
#include <QString>
#include <QUrl>

namespace tarv::qt {

// Where a file chooser that lives only as long as its window starts: where
// the operator last chose a file with it in this run, else the open show's
// folder, else the home folder; the first of these that still exists. Which
// one exists the chooser finds out away from the window: a look here could
// wait on a hung mount.
class ChooserFolder
{
public:
    // The open show's folder; empty for a show never saved.
    void SetShowFolder(const QString& folder);
    // The folders to open the chooser in, the first that exists (the home
    // folder when none does); never empty.
    QList<QUrl> Offer();
    // The chooser's folder as its window goes: any other than the one
    // offered is where a file was chosen.
    void Returned(const QUrl& folder);

private:
    QString m_showFolder;
    QUrl m_chosen;
    QUrl m_offered;
};

} // namespace tarv::qt
