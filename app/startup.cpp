#include "app/startup.h"

#include "app/automationcontroller.h"
#include "app/cueapplication.h"
#include "qt/dialogwindowcontroller.h"
#include "qt/qmlcontroller.h"

#include <cstdio>
#include <exception>
#include <memory>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QQmlApplicationEngine>
#include <QQmlExtensionPlugin>
#include <QtQml/qqml.h>
#include <QUrl>
#include <QVariantMap>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

Q_IMPORT_QML_PLUGIN(com_quillonworks_tarv_uiPlugin)
Q_IMPORT_QML_PLUGIN(com_quillonworks_automation_tool_uiPlugin)

namespace {

const QString kMainWindowUrl =
    QStringLiteral("qrc:/qt/qml/com/quillonworks/automation_tool_ui/qml/AutomationToolWindow.qml");

// Keeps the message window about a main window that failed to open alive
// for the rest of the run.
std::unique_ptr<tarv::qt::DialogWindowController>& FailureMessage()
{
    static std::unique_ptr<tarv::qt::DialogWindowController> holder;
    return holder;
}

} // namespace

void RegisterQmlTypes()
{
    qmlRegisterType<tarv::automation::AutomationController>("com.quillonworks.automation_tool_ui",
                                                            1, 0, "AutomationController");
}

void EnableWindowsConsole()
{
#ifdef Q_OS_WIN
    if (AllocConsole()) {
        FILE* stream = nullptr;
        freopen_s(&stream, "CONOUT$", "w", stdout);
        freopen_s(&stream, "CONOUT$", "w", stderr);
    }
#endif
}

QString StartupCueFile(const QCommandLineParser& parser)
{
    const QStringList arguments = parser.positionalArguments();
    if (arguments.isEmpty() || arguments.first().isEmpty()) {
        return {};
    }
    const QString& argument = arguments.first();
    const QUrl url(argument);
    const QString path = url.isLocalFile() ? url.toLocalFile() : argument;
    return QFileInfo(path).absoluteFilePath();
}

void OpenMainView(QQmlApplicationEngine* engine, CueApplication& app, const QString& startupCueFile)
{
    try {
        const QVariantMap initialProperties{{QStringLiteral("startupCueFile"), startupCueFile}};
        app.SetMainView(std::make_unique<tarv::qt::QmlController>(
            engine, QUrl(kMainWindowUrl), nullptr, true, initialProperties));
    } catch (const std::exception& e) {
        FailureMessage() = std::make_unique<tarv::qt::DialogWindowController>(
            e.what(), "Failed to Open Main View", tarv::qt::DialogWindowController::Error, nullptr,
            engine);
    }
}

void CloseMainView(CueApplication& app)
{
    app.SetMainView(nullptr);
    FailureMessage().reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
