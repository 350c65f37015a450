#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QObject>
#include <QQmlContext>
#include <QTemporaryDir>
#include <QtQml/QQmlEngine>
#include <QtQml/QQmlExtensionPlugin>
#include <QtQuickTest/quicktest.h>
#include <QUrl>

Q_IMPORT_QML_PLUGIN(com_quillonworks_tarv_uiPlugin)
Q_IMPORT_QML_PLUGIN(com_quillonworks_automation_tool_uiPlugin)

// A folder for the save dialog to list: a subfolder, a cue file, and one
// whose suffix is in capitals.
class SaveFolderFixture : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QUrl folderUrl READ folderUrl CONSTANT)

public:
    SaveFolderFixture()
    {
        QDir(m_folder.path()).mkdir(QStringLiteral("Act 2"));
        for (const char* name : {"Existing.tarvcue", "Plain.TARVCUE"}) {
            QFile show(m_folder.filePath(QLatin1String(name)));
            if (!show.open(QIODevice::WriteOnly))
                qFatal("Cannot create the save folder fixture");
        }
    }

    QUrl folderUrl() const { return QUrl::fromLocalFile(m_folder.path()); }

private:
    QTemporaryDir m_folder;
};

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
        engine->rootContext()->setContextProperty(QStringLiteral("saveFolderFixture"),
                                                  &m_saveFolderFixture);
    }

private:
    SaveFolderFixture m_saveFolderFixture;
};

QUICK_TEST_MAIN_WITH_SETUP(tst_automation_tool_ui, Setup)

#include "tst_automation_tool_ui.moc"
