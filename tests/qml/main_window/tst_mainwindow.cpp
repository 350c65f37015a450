#include "app/startup.h"

#include <memory>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QObject>
#include <QQmlApplicationEngine>
#include <QSettings>
#include <QStandardPaths>
#include <QtQml/QQmlContext>
#include <QtQml/QQmlEngine>
#include <QtQml/QQmlExtensionPlugin>
#include <QtQuickTest/quicktest.h>
#include <QtTest/QTest>
#include <QWindow>

Q_IMPORT_QML_PLUGIN(com_quillonworks_tarv_uiPlugin)
Q_IMPORT_QML_PLUGIN(com_quillonworks_automation_tool_uiPlugin)

// What the window tests need beyond Qt Quick Test: the settings file, the
// program's other top-level windows, and keys held down.
class TestSupport : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    Q_INVOKABLE QString settingsFile() const { return QSettings().fileName(); }

    Q_INVOKABLE QString readTextFile(const QString& path) const
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    // A folder that a test makes, then takes away, as an operator may
    // while the program runs.
    Q_INVOKABLE bool makeFolder(const QString& path) const { return QDir().mkpath(path); }
    Q_INVOKABLE bool removeFolder(const QString& path) const
    {
        return QDir(path).removeRecursively();
    }

    // The visible top-level window whose QML type is `typeName`, or null.
    Q_INVOKABLE QObject* visibleWindow(const QString& typeName) const
    {
        for (QWindow* window : QGuiApplication::topLevelWindows()) {
            const QString className = QString::fromLatin1(window->metaObject()->className());
            if (window->isVisible() && className.startsWith(typeName))
                return window;
        }
        return nullptr;
    }

    // A key held down: one press, then `repeats` auto-repeated presses, then
    // the release, as a keyboard sends them.
    Q_INVOKABLE void holdKey(QObject* target, int key, int repeats) const
    {
        auto* window = qobject_cast<QWindow*>(target);
        if (!window)
            return;
        QTest::simulateEvent(window, true, key, Qt::NoModifier, QString(), false);
        for (int i = 0; i < repeats; ++i)
            QTest::simulateEvent(window, true, key, Qt::NoModifier, QString(), true);
        QTest::simulateEvent(window, false, key, Qt::NoModifier, QString(), false);
    }
};

// No test here needs the OSC listener; switched off, it takes no port that
// another test or a running program may hold.
void DisableOscListener()
{
    const QString folder =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/tarv_cue";
    QDir().mkpath(folder);
    QFile file(folder + "/osc_settings.tarv");
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(R"({"version": "1.0", "oscEnabled": false, "oscListenPort": 55036})");
}

class Setup : public QObject
{
    Q_OBJECT

public:
    Setup()
    {
        // As the program does, before any settings object exists.
        QCoreApplication::setApplicationName(QStringLiteral("tst_mainwindow"));
        QCoreApplication::setOrganizationName(QStringLiteral("QuillonWorks"));
        QCoreApplication::setOrganizationDomain(QStringLiteral("quillonworks.com"));
        RegisterQmlTypes();
        DisableOscListener();
    }

public slots:
    void qmlEngineAvailable(QQmlEngine* engine)
    {
        // Qt 6.4 does not search the resource root for modules by itself.
        engine->addImportPath(QStringLiteral("qrc:/qt/qml"));
        // The controller makes its prompts on an application engine, as in
        // the program.
        m_appEngine = std::make_unique<QQmlApplicationEngine>();
        m_appEngine->addImportPath(QStringLiteral("qrc:/qt/qml"));
        engine->rootContext()->setContextProperty(QStringLiteral("qmlEngine"), m_appEngine.get());
        engine->rootContext()->setContextProperty(QStringLiteral("testSupport"),
                                                  new TestSupport(engine));
    }

    void cleanupTestCase() { m_appEngine.reset(); }

private:
    std::unique_ptr<QQmlApplicationEngine> m_appEngine;
};

QUICK_TEST_MAIN_WITH_SETUP(tst_mainwindow, Setup)

#include "tst_mainwindow.moc"
