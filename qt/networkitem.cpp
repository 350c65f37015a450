#include "qt/networkitem.h"

namespace tarv::qt {

QString NetworkItem::first() const
{
    return m_name;
}

QString NetworkItem::second() const
{
    return m_ipAddress + QLatin1Char(':') + QString::number(m_port) + QStringLiteral(", ") +
           m_mode.toUpper();
}

} // namespace tarv::qt
