#include "qt/dualroleitem.h"

#include <utility>

namespace tarv::qt {

DualRoleItem::DualRoleItem(QString first, QString second, int value)
    : m_first(std::move(first))
    , m_second(std::move(second))
    , m_value(value)
{}

QString DualRoleItem::first() const
{
    return m_first;
}

QString DualRoleItem::second() const
{
    return m_second;
}

} // namespace tarv::qt
