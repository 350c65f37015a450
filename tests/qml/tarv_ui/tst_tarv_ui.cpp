#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QObject>
#include <QStringList>
#include <QTemporaryDir>
#include <QtQml/QQmlContext>
#include <QtQml/QQmlEngine>
#include <QtQml/QQmlExtensionPlugin>
#include <QtQuickTest/quicktest.h>
#include <QUrl>

Q_IMPORT_QML_PLUGIN(com_quillonworks_tarv_uiPlugin)
Q_IMPORT_QML_PLUGIN(com_quillonworks_packager2_uiPlugin)

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

// A folder with one sub-folder and one sound file, for the chooser tests to
// pick from through the real dialogs. Names with spaces and "#" check that
// the chosen path survives the dialog's URL. Beside them, folders named as
// operators do, whose names a URL would misread, each with one sound file.
class ChooserFixture : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString folderPath READ folderPath CONSTANT)
    Q_PROPERTY(QUrl folderUrl READ folderUrl CONSTANT)
    Q_PROPERTY(QStringList oddFolderPaths READ oddFolderPaths CONSTANT)
    Q_PROPERTY(QList<QUrl> oddFolderUrls READ oddFolderUrls CONSTANT)
    Q_PROPERTY(QUrl oddParentUrl READ oddParentUrl CONSTANT)
    Q_PROPERTY(QUrl manyFolderUrl READ manyFolderUrl CONSTANT)
    Q_PROPERTY(QString manyFolderPath READ manyFolderPath CONSTANT)

public:
    ChooserFixture()
    {
        QDir(m_folder.path()).mkdir(QStringLiteral("Cues 1"));
        touch(m_folder.filePath(QStringLiteral("thunder #1.wav")));
        for (const QString& name : {QStringLiteral("Show #1"), QStringLiteral("Take ?2"),
                                    QStringLiteral("Cue %41"), QStringLiteral("B 100%")}) {
            QDir(m_odd.path()).mkdir(name);
            touch(m_odd.filePath(name + QStringLiteral("/rain.wav")));
            m_oddFolderPaths.append(m_odd.filePath(name));
        }
        // More sound files than the list shows at once, for its keys.
        for (int i = 0; i < 40; ++i)
            touch(m_many.filePath(QStringLiteral("cue %1.wav").arg(i, 2, 10, QLatin1Char('0'))));
        for (const QString& name : {QStringLiteral("thunder.wav"), QStringLiteral("tree.wav")})
            touch(m_many.filePath(name));
    }

    QString folderPath() const { return m_folder.path(); }
    QUrl folderUrl() const { return QUrl::fromLocalFile(m_folder.path()); }
    QStringList oddFolderPaths() const { return m_oddFolderPaths; }
    QUrl oddParentUrl() const { return QUrl::fromLocalFile(m_odd.path()); }
    QUrl manyFolderUrl() const { return QUrl::fromLocalFile(m_many.path()); }
    QString manyFolderPath() const { return m_many.path(); }
    QList<QUrl> oddFolderUrls() const
    {
        QList<QUrl> urls;
        for (const QString& path : m_oddFolderPaths)
            urls.append(QUrl::fromLocalFile(path));
        return urls;
    }

    // A folder of 20,000 sound files, alone in its parent, made once:
    // reading it takes a while.
    Q_INVOKABLE QUrl bigFolderUrl()
    {
        const QString big = m_big.filePath(QStringLiteral("big"));
        if (QDir().mkpath(big) && QDir(big).isEmpty()) {
            for (int i = 0; i < 20000; ++i)
                touch(big + QStringLiteral("/take %1.wav").arg(i, 5, 10, QLatin1Char('0')));
        }
        return QUrl::fromLocalFile(big);
    }

    // Makes an empty file, as another program saving beside the chooser.
    Q_INVOKABLE static void touch(const QString& path)
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            qFatal("Cannot create the chooser fixture");
    }

private:
    QTemporaryDir m_folder;
    QTemporaryDir m_odd;
    QTemporaryDir m_many;
    QTemporaryDir m_big;
    QStringList m_oddFolderPaths;
};

// Takes the addresses handed to the desktop for the "tarvtest" scheme, so a
// test sees what a link would open without starting a browser.
class UrlRecorder : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QList<QUrl> urls MEMBER m_urls NOTIFY urlsChanged)

public slots:
    void open(const QUrl& url)
    {
        m_urls.append(url);
        emit urlsChanged();
    }

signals:
    void urlsChanged();

private:
    QList<QUrl> m_urls;
};

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
    void applicationAvailable()
    {
        // Qt.labs.settings writes nothing under its categories without these.
        QCoreApplication::setOrganizationName(QStringLiteral("TARV Cue Tests"));
        QCoreApplication::setOrganizationDomain(QStringLiteral("tests.tarv.invalid"));
        QDesktopServices::setUrlHandler(QStringLiteral("tarvtest"), &m_urlRecorder, "open");
    }

    void qmlEngineAvailable(QQmlEngine* engine)
    {
        engine->rootContext()->setContextProperty(QStringLiteral("urlRecorder"), &m_urlRecorder);
        // Qt 6.4 does not search the resource root for modules by itself.
        engine->addImportPath(QStringLiteral("qrc:/qt/qml"));
        engine->rootContext()->setContextProperty(QStringLiteral("tarvUiModuleDocuments"),
                                                  moduleDocuments());
        engine->rootContext()->setContextProperty(QStringLiteral("chooserFixture"),
                                                  &m_chooserFixture);
    }

    void cleanupTestCase() { QDesktopServices::unsetUrlHandler(QStringLiteral("tarvtest")); }

private:
    ChooserFixture m_chooserFixture;
    UrlRecorder m_urlRecorder;
};

QUICK_TEST_MAIN_WITH_SETUP(tst_tarv_ui, Setup)

#include "tst_tarv_ui.moc"
