#include "qt/chooserfolder.h"

#include <QDir>
#include <QFileInfo>

namespace tarv::qt {

void ChooserFolder::SetShowFolder(const QString& folder)
{
    m_showFolder = folder;
}

QUrl ChooserFolder::Offer()
{
    const QString chosen = m_chosen.toLocalFile();
    for (const QString& folder : {chosen, m_showFolder, QDir::homePath()}) {
        if (!folder.isEmpty() && QFileInfo(folder).isDir()) {
            m_offered = QUrl::fromLocalFile(folder);
            break;
        }
    }
    return m_offered;
}

void ChooserFolder::Returned(const QUrl& folder)
{
    if (!folder.isEmpty() && folder != m_offered) {
        m_chosen = folder;
    }
}

} // namespace tarv::qt
