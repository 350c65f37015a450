#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
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
// whose suffix is in capitals. Beside it, folders named as operators do,
// whose names a URL would misread, each with a show in capitals, a hidden
// show and a link to a show not saved yet. And a folder of shows that a test
// adds one to while it is listed.
class SaveFolderFixture : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QUrl folderUrl READ folderUrl CONSTANT)
    Q_PROPERTY(QUrl oddParentUrl READ oddParentUrl CONSTANT)
    Q_PROPERTY(QStringList oddFolderPaths READ oddFolderPaths CONSTANT)
    Q_PROPERTY(QUrl changingFolderUrl READ changingFolderUrl CONSTANT)

public:
    SaveFolderFixture()
    {
        QDir(m_folder.path()).mkdir(QStringLiteral("Act 2"));
        for (const char* name : {"Existing.tarvcue", "Plain.TARVCUE"})
            touch(m_folder.filePath(QLatin1String(name)));
        for (const QString& name :
             {QStringLiteral("Show #1"), QStringLiteral("Take ?2"), QStringLiteral("Cue %41")}) {
            const QString folder = m_odd.filePath(name);
            QDir(m_odd.path()).mkdir(name);
            touch(folder + QStringLiteral("/Winter Tale.TARVCUE"));
            touch(folder + QStringLiteral("/.hidden.tarvcue"));
            QFile::link(QStringLiteral("Not yet.tarvcue"),
                        folder + QStringLiteral("/Lost.tarvcue"));
            m_oddFolderPaths.append(folder);
        }
        for (const char* name : {"Opening.tarvcue", "Tour.tarvcue"})
            touch(m_changing.filePath(QLatin1String(name)));
    }

    QUrl folderUrl() const { return QUrl::fromLocalFile(m_folder.path()); }
    QUrl oddParentUrl() const { return QUrl::fromLocalFile(m_odd.path()); }
    QStringList oddFolderPaths() const { return m_oddFolderPaths; }
    QUrl changingFolderUrl() const { return QUrl::fromLocalFile(m_changing.path()); }
    Q_INVOKABLE QUrl urlOf(const QString& path) const { return QUrl::fromLocalFile(path); }
    // What the tests look up themselves, as the dialog never does.
    Q_INVOKABLE bool exists(const QUrl& url) const { return QFileInfo::exists(url.toLocalFile()); }
    Q_INVOKABLE bool isFolder(const QUrl& url) const
    {
        return QFileInfo(url.toLocalFile()).isDir();
    }
    Q_INVOKABLE void addChangingShow(const QString& name) const
    {
        touch(m_changing.filePath(name));
    }

private:
    static void touch(const QString& path)
    {
        QFile show(path);
        if (!show.open(QIODevice::WriteOnly))
            qFatal("Cannot create the save folder fixture");
    }

    QTemporaryDir m_folder;
    QTemporaryDir m_odd;
    QTemporaryDir m_changing;
    QStringList m_oddFolderPaths;
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
