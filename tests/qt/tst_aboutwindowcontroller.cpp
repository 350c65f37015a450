#include "qt/aboutwindowcontroller.h"
#include "qt/acknowledgementswindowcontroller.h"

#include <memory>
#include <QFile>
#include <QPointer>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QStringDecoder>
#include <QtQml/QQmlExtensionPlugin>
#include <QtTest>

Q_IMPORT_QML_PLUGIN(com_quillonworks_tarv_uiPlugin)

using tarv::qt::AboutWindowController;
using tarv::qt::AcknowledgementsWindowController;

namespace {

const QString kAcknowledgements = QStringLiteral(":/text/acknowledgements.txt");

QByteArray ResourceBytes()
{
    QFile file(kAcknowledgements);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void FlushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

} // namespace

class TestAboutWindowController : public QObject
{
    Q_OBJECT

private slots:
    // Sections: the name alone, an empty line, the Debian packages, an empty
    // line, the licence texts; between two sections an empty line, 40
    // hyphens and an empty line. Each package is acknowledged once.
    void resourceHasItsLayout()
    {
        const QByteArray bytes = ResourceBytes();
        QVERIFY(bytes.size() > 10000);
        QVERIFY(!bytes.startsWith("\xEF\xBB\xBF") && !bytes.contains('\r'));
        QVERIFY(bytes.endsWith("\n") && !bytes.endsWith("\n\n"));
        QStringDecoder decoder(QStringDecoder::Utf8);
        const QString text = decoder.decode(bytes);
        QVERIFY(!decoder.hasError());

        const QString rule(40, u'-');
        const QString packagesLabel = QStringLiteral("Debian packages: ");
        QStringList names;
        QStringList packages;
        for (const QString& section :
             text.split(QStringLiteral("\n\n") + rule + QStringLiteral("\n\n"))) {
            const QStringList lines = section.split(u'\n');
            QVERIFY2(lines.size() > 4 && !lines[0].isEmpty() && lines[1].isEmpty() &&
                         lines[2].startsWith(packagesLabel) && lines[3].isEmpty() &&
                         !lines[4].isEmpty() && !lines.contains(rule),
                     qPrintable(lines[0]));
            names.append(lines[0]);
            packages += lines[2].mid(packagesLabel.size()).split(QStringLiteral(", "));
        }
        QCOMPARE(names.removeDuplicates(), 0);
        QCOMPARE(packages.removeDuplicates(), 0);
        QVERIFY(names.first().startsWith(QStringLiteral("Qt ")));
        for (const char* package : {"libqt6core6", "rapidjson-dev", "libsndfile1", "libpulse0"})
            QVERIFY2(packages.contains(QLatin1String(package)), package);
    }

    void acknowledgementsOpenOverTheMainWindowOnePerPress()
    {
        QQmlEngine engine;
        engine.addImportPath(QStringLiteral("qrc:/qt/qml"));
        QQmlComponent component(&engine);
        component.setData("import QtQuick\nWindow { width: 900; height: 700; visible: true }",
                          QUrl());
        const std::unique_ptr<QQuickWindow> mainWindow(
            qobject_cast<QQuickWindow*>(component.create()));
        QVERIFY(QTest::qWaitForWindowExposed(mainWindow.get()));

        auto about = std::make_unique<AboutWindowController>(
            &engine, mainWindow->contentItem(), QStringLiteral("1.6.0"),
            QStringLiteral("qrc:/images/cue_logo_long"), kAcknowledgements);
        QPointer<QObject> item = about->Window();
        QCOMPARE(item->property("version").toString(), QStringLiteral("1.6.0"));
        QVERIFY(QMetaObject::invokeMethod(item, "acknowledgementsClicked"));
        QPointer<QQuickWindow> first = item->findChild<QQuickWindow*>();
        QVERIFY(first && first->isVisible());
        QCOMPARE(first->transientParent(), mainWindow.get());
        QCOMPARE(first->modality(), Qt::ApplicationModal);
        QCOMPARE(first->property("acknowledgementText").toString(),
                 QString::fromUtf8(ResourceBytes()));

        // A second press after closing the first: one window, the second.
        first->close();
        QVERIFY(QMetaObject::invokeMethod(item, "acknowledgementsClicked"));
        FlushDeletes();
        QVERIFY(!first);
        const QList<QQuickWindow*> windows = item->findChildren<QQuickWindow*>();
        QCOMPARE(windows.size(), 1);
        QVERIFY(windows.first()->isVisible());

        // Everything goes with the About box.
        QPointer<QQuickWindow> second = windows.first();
        about.reset();
        FlushDeletes();
        QVERIFY(!second && !item);

        const AcknowledgementsWindowController missing(
            mainWindow->contentItem(), &engine,
            QStringLiteral("/nonexistent/acknowledgements.txt"));
        QCOMPARE(missing.Window()->property("acknowledgementText").toString(),
                 QStringLiteral("Error: Unable to Load Acknowledgements."));
    }
};

QTEST_MAIN(TestAboutWindowController)

#include "tst_aboutwindowcontroller.moc"
