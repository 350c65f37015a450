#pragma once

#include <QString>

namespace tarv::qt {

// One row of a two-text list: a name-like first text, a detail-like second
// text and a free integer value. Subclasses compute the texts from their own
// fields.
class DualRoleItem
{
public:
    DualRoleItem() = default;
    DualRoleItem(QString first, QString second, int value = 0);
    virtual ~DualRoleItem() = default;

    DualRoleItem(const DualRoleItem&) = default;
    DualRoleItem& operator=(const DualRoleItem&) = default;

    virtual QString first() const;
    virtual QString second() const;

    void SetFirst(const QString& value) { m_first = value; }
    void SetSecond(const QString& value) { m_second = value; }
    int Value() const { return m_value; }
    void Value(int value) { m_value = value; }

private:
    QString m_first;
    QString m_second;
    int m_value = 0;
};

} // namespace tarv::qt
