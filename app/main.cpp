#include "app/cueapplication.h"
#include "app/heaptrimmer.h"
#include "app/heldkeyfilter.h"
#include "app/queuedkeyfilter.h"
#include "app/rendererchoice.h"
#include "app/startup.h"

#include <memory>
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QQmlApplicationEngine>
#include <QQmlContext>

int main(int argc, char** argv)
{
    qputenv("QT_QUICK_CONTROLS_STYLE", "Basic");
    CueApplication app(argc, argv);
    RendererChoice::Choose();
    HeldKeyFilter::InstallOnX11();
    QueuedKeyFilter::InstallOnX11();
    HeapTrimmer::Install(app);
    // Before any settings object: the window's stored column widths are
    // filed under these names.
    QCoreApplication::setApplicationName(QStringLiteral("TARV|Cue"));
    QCoreApplication::setOrganizationName(QStringLiteral("QuillonWorks"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("quillonworks.com"));

    QCommandLineParser parser;
    const QCommandLineOption console(QStringList{QStringLiteral("c"), QStringLiteral("console")},
                                     QStringLiteral("Enable Windows console"));
    parser.addOption(console);
    parser.process(app);
    if (parser.isSet(console)) {
        EnableWindowsConsole();
    }

    RegisterQmlTypes();
    auto engine = std::make_unique<QQmlApplicationEngine>();
    engine->addImportPath(QStringLiteral("qrc:/qt/qml"));
    QObject::connect(
        engine.get(), &QQmlApplicationEngine::objectCreationFailed, &app,
        [] { QCoreApplication::exit(-1); }, Qt::QueuedConnection);
    engine->rootContext()->setContextProperty(QStringLiteral("qmlEngine"), engine.get());

    OpenMainView(engine.get(), app, StartupCueFile(parser));
    const int result = app.exec();

    CloseMainView(app);
    engine.reset();
    return result;
}
