#pragma once

#include "app/automationcontroller.h"
#include "osc/oscsettings.h"
#include "tests/support/freeudpport.h"

#include <memory>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QString>

namespace tarv::testing {

// Points the controller's OSC settings at `port` (or removes the settings
// file when `port` is 0), so tests do not fight over the default port.
inline void UseListenPort(int port)
{
    const QString path = QString::fromStdString(osc::OscSettingsFilePath());
    QFile::remove(path);
    if (port != 0) {
        osc::SaveOscSettings(osc::OscSettings(true, port), path.toStdString());
    }
}

// A controller with its queued start done: the state machine runs and
// errors raised while it was built have been reported to `errors`.
struct StartedController
{
    explicit StartedController(QObject* parent = nullptr)
        : controller(std::make_unique<automation::AutomationController>(parent))
        , errors(controller.get(), &automation::AutomationController::error)
    {
        QCoreApplication::processEvents();
    }

    automation::AutomationController& operator*() const { return *controller; }
    automation::AutomationController* operator->() const { return controller.get(); }

    std::unique_ptr<automation::AutomationController> controller;
    QSignalSpy errors;
};

inline QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace tarv::testing
