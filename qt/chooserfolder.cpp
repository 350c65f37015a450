#include "qt/chooserfolder.h"

#include <QDir>

namespace tarv::qt {

void ChooserFolder::SetShowFolder(const QString& folder)
{
    m_showFolder = folder;
}

QList<QUrl> ChooserFolder::Offer()
{
    QList<QUrl> offered;
    for (const QString& folder : {m_chosen.toLocalFile(), m_showFolder, QDir::homePath()}) {
        const QUrl url = QUrl::fromLocalFile(folder);
        if (!folder.isEmpty() && !offered.contains(url)) {
            offered.append(url);
        }
    }
    m_offered = offered.first();
    return offered;
}

void ChooserFolder::Returned(const QUrl& folder)
{
    if (!folder.isEmpty() && folder != m_offered) {
        m_chosen = folder;
    }
}

} // namespace tarv::qt
