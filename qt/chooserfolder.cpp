#include "qt/chooserfolder.h"

#include <QDir>

namespace tarv::qt {

void ChooserFolder::SetShowFolder(const QString& folder)
{
    m_showFolder = folder;
}

QUrl ChooserFolder::Offer()
{
    if (!m_chosen.isEmpty()) {
        m_offered = m_chosen;
    } else {
        m_offered = QUrl::fromLocalFile(m_showFolder.isEmpty() ? QDir::homePath() : m_showFolder);
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
