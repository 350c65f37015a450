#include "qt/qmlmodule.h"

#include <memory>
#include <QDirIterator>
#include <QFileInfo>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QTest>
#include <QtQml/QQmlExtensionPlugin>
#include <QWindow>
#include <stdexcept>

Q_IMPORT_QML_PLUGIN(com_quillonworks_tarv_uiPlugin)
Q_IMPORT_QML_PLUGIN(com_quillonworks_automation_tool_uiPlugin)

using tarv::qt::LoadFromModule;
using tarv::qt::ModuleDocumentUrl;

class TestQmlModule : public QObject
{
    Q_OBJECT

private slots:
    // Every document in a module's resource folder is found by its type name,
    // wherever it lies, without the loader knowing the folders.
    void everyDocumentResolves_data()
    {
        QTest::addColumn<QString>("module");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QUrl>("expected");
        bool subfolderSeen = false;
        for (const QString& module : {QStringLiteral("com.quillonworks.tarv_ui"),
                                      QStringLiteral("com.quillonworks.automation_tool_ui")}) {
            const QString root = QStringLiteral(":/qt/qml/") + QString(module).replace(u'.', u'/');
            QDirIterator it(root + QStringLiteral("/qml"), {QStringLiteral("*.qml")}, QDir::Files,
                            QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString path = it.next();
                subfolderSeen |= QFileInfo(path).path() != root + QStringLiteral("/qml");
                const QString type = QFileInfo(path).completeBaseName();
                QTest::addRow("%s", qPrintable(type))
                    << module << type << QUrl(QStringLiteral("qrc") + path);
            }
        }
        QVERIFY(subfolderSeen);
    }

    void everyDocumentResolves()
    {
        QFETCH(QString, module);
        QFETCH(QString, type);
        QFETCH(QUrl, expected);
        QCOMPARE(ModuleDocumentUrl(module, type), expected);
    }

    void unknownNamesAreReportedClearly_data()
    {
        QTest::addColumn<QString>("module");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("expectedMessage");
        QTest::newRow("type") << "com.quillonworks.automation_tool_ui"
                              << "NoSuchWindow"
                              << "QML module \"com.quillonworks.automation_tool_ui\" has no type "
                                 "\"NoSuchWindow\"";
        QTest::newRow("file name is not a type") << "com.quillonworks.tarv_ui"
                                                 << "qml/FlatButton.qml"
                                                 << "has no type";
        QTest::newRow("module") << "com.quillonworks.nothing"
                                << "FlatButton"
                                << "QML module \"com.quillonworks.nothing\" is not part of this "
                                   "program";
    }

    void unknownNamesAreReportedClearly()
    {
        QFETCH(QString, module);
        QFETCH(QString, type);
        QFETCH(QString, expectedMessage);
        QQmlEngine engine;
        QQmlComponent component(&engine);
        try {
            LoadFromModule(component, module, type);
            QFAIL("no error");
        } catch (const std::runtime_error& e) {
            QVERIFY2(QString::fromUtf8(e.what()).contains(expectedMessage), e.what());
        }
        QCOMPARE(component.status(), QQmlComponent::Null);
    }

    void dialogTitleIsNotTheCaption_data()
    {
        QTest::addColumn<QString>("module");
        QTest::addColumn<QString>("type");
        QTest::newRow("prompt") << "com.quillonworks.automation_tool_ui"
                                << "FlatInputWindow";
        QTest::newRow("message") << "com.quillonworks.automation_tool_ui"
                                 << "FlatDialogWindow";
        QTest::newRow("library message") << "com.quillonworks.tarv_ui"
                                         << "FlatDialogWindow";
    }

    // The loaded windows take their title as the bold line inside; the
    // window caption stays untouched.
    void dialogTitleIsNotTheCaption()
    {
        QFETCH(QString, module);
        QFETCH(QString, type);
        QQmlEngine engine;
        engine.addImportPath(QStringLiteral("qrc:/qt/qml"));
        QQmlComponent component(&engine);
        LoadFromModule(component, module, type);
        const std::unique_ptr<QObject> window(component.createWithInitialProperties(
            {{QStringLiteral("title"), QStringLiteral("Unsaved")}}));
        QVERIFY2(qobject_cast<QWindow*>(window.get()), qPrintable(component.errorString()));
        QCOMPARE(window->property("title").toString(), QStringLiteral("Unsaved"));
        QCOMPARE(qobject_cast<QWindow*>(window.get())->title(), QString());
    }
};

QTEST_MAIN(TestQmlModule)

#include "tst_qmlmodule.moc"
