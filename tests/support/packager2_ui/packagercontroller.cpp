#include "packagercontroller.h"

PackagerController::PackagerController(QObject* parent)
    : QObject(parent)
{}

QString PackagerController::versionString() const
{
    return QStringLiteral("0.0.0-test");
}

void PackagerController::package()
{
    ++m_packageCalls;
    emit callsChanged();
}

void PackagerController::packageSfx()
{
    ++m_packageSfxCalls;
    emit callsChanged();
}
