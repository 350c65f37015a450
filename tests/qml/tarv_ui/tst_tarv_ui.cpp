#include <QDirIterator>
#include <QObject>
#include <QStringList>
#include <QtQml/QQmlContext>
#include <QtQml/QQmlEngine>
#include <QtQml/QQmlExtensionPlugin>
#include <QtQuickTest/quicktest.h>

Q_IMPORT_QML_PLUGIN(com_quillonworks_tarv_uiPlugin)

namespace {

// Every QML document of the module, as "qrc:" URLs, so the load test covers
// files as they are added without a hand-kept list.
QStringList moduleDocuments()
{
    QStringList urls;
    QDirIterator it(QStringLiteral(":/qt/qml/com/quillonworks/tarv_ui/qml"),
                    {QStringLiteral("*.qml")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        urls.append(QStringLiteral("qrc") + it.next());
    urls.sort();
    return urls;
}

} // namespace

class Setup : public QObject
{
    Q_OBJECT

public:
    Setup()
    {
        // Offscreen has no pointing device, so controls would ignore hover;
        // the colour tests need hover as on a desktop.
        qputenv("QT_QUICK_CONTROLS_HOVER_ENABLED", "1");
    }

public slots:
    void qmlEngineAvailable(QQmlEngine* engine)
    {
        // Qt 6.4 does not search the resource root for modules by itself.
        engine->addImportPath(QStringLiteral("qrc:/qt/qml"));
        engine->rootContext()->setContextProperty(QStringLiteral("tarvUiModuleDocuments"),
                                                  moduleDocuments());
    }
};

QUICK_TEST_MAIN_WITH_SETUP(tst_tarv_ui, Setup)

#include "tst_tarv_ui.moc"
