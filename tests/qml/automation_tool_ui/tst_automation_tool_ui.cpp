#include <QCoreApplication>
#include <QObject>
#include <QtQml/QQmlEngine>
#include <QtQml/QQmlExtensionPlugin>
#include <QtQuickTest/quicktest.h>

Q_IMPORT_QML_PLUGIN(com_quillonworks_tarv_uiPlugin)
Q_IMPORT_QML_PLUGIN(com_quillonworks_automation_tool_uiPlugin)

class Setup : public QObject
{
    Q_OBJECT

public:
    Setup()
    {
        // Qt.labs.settings needs these before the first Settings object, or
        // it ignores categories.
        QCoreApplication::setOrganizationName(QStringLiteral("Quillon Works"));
        QCoreApplication::setOrganizationDomain(QStringLiteral("quillonworks.com"));
        // Offscreen has no pointing device, so controls would ignore hover.
        qputenv("QT_QUICK_CONTROLS_HOVER_ENABLED", "1");
    }

public slots:
    void qmlEngineAvailable(QQmlEngine* engine)
    {
        // Qt 6.4 does not search the resource root for modules by itself.
        engine->addImportPath(QStringLiteral("qrc:/qt/qml"));
    }
};

QUICK_TEST_MAIN_WITH_SETUP(tst_automation_tool_ui, Setup)

#include "tst_automation_tool_ui.moc"
