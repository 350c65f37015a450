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
#include <stdexcept>

Q_IMPORT_QML_PLUGIN(com_quillonworks_tarv_uiPlugin)

using tarv::qt::AboutWindowController;
using tarv::qt::AcknowledgementsWindowController;

namespace {

const QString kAcknowledgements = QStringLiteral(":/text/acknowledgements.txt");

QByteArray ResourceBytes()
{
    QFile file(kAcknowledgements);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QList<QQuickWindow*> AcknowledgementsWindows(QObject* aboutItem)
{
    return aboutItem->findChildren<QQuickWindow*>();
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
    void init();
    void cleanup();
    void resourceHasItsLayout();
    void aboutBoxSitsInTheMainWindow();
    void acknowledgementsShowTheResourceOverTheMainWindow();
    void aSecondRequestReplacesTheWindow();
    void missingFileShowsTheFailureLine();
    void unbuildableBoxThrowsInsteadOfShowingNothing();

private:
    std::unique_ptr<AboutWindowController> MakeAbout(const QString& path = kAcknowledgements);

    std::unique_ptr<QQmlEngine> m_engine;
    std::unique_ptr<QQuickWindow> m_mainWindow;
};

void TestAboutWindowController::init()
{
    m_engine = std::make_unique<QQmlEngine>();
    m_engine->addImportPath(QStringLiteral("qrc:/qt/qml"));
    QQmlComponent component(m_engine.get());
    component.setData("import QtQuick\nWindow { width: 900; height: 700; visible: true }", QUrl());
    m_mainWindow.reset(qobject_cast<QQuickWindow*>(component.create()));
    QVERIFY(m_mainWindow);
    QVERIFY(QTest::qWaitForWindowExposed(m_mainWindow.get()));
}

void TestAboutWindowController::cleanup()
{
    FlushDeletes();
    m_mainWindow.reset();
    m_engine.reset();
}

std::unique_ptr<AboutWindowController> TestAboutWindowController::MakeAbout(const QString& path)
{
    return std::make_unique<AboutWindowController>(
        m_engine.get(), m_mainWindow->contentItem(), QStringLiteral("1.6.0"),
        QStringLiteral("qrc:/images/cue_logo_long"), path);
}

// Sections: the name alone, an empty line, the licence texts; between two
// sections an empty line, 40 hyphens and an empty line.
void TestAboutWindowController::resourceHasItsLayout()
{
    const QByteArray bytes = ResourceBytes();
    QVERIFY(bytes.size() > 10000);
    QVERIFY(!bytes.startsWith("\xEF\xBB\xBF"));
    QVERIFY(!bytes.contains('\r'));
    QVERIFY(bytes.endsWith("\n") && !bytes.endsWith("\n\n"));
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(bytes);
    QVERIFY(!decoder.hasError());

    const QString separator = QStringLiteral("\n\n") + QString(40, u'-') + QStringLiteral("\n\n");
    const QStringList sections = text.split(separator);
    QStringList names;
    for (const QString& section : sections) {
        const QStringList lines = section.split(u'\n');
        QVERIFY2(lines.size() > 2 && !lines[0].isEmpty() && lines[1].isEmpty() &&
                     !lines[2].isEmpty(),
                 qPrintable(lines[0]));
        QVERIFY2(!lines.contains(QString(40, u'-')), qPrintable(lines[0]));
        names.append(lines[0]);
    }
    const QStringList expected{
        QStringLiteral("Qt Base (Qt Core, Qt GUI, Qt Network, Qt D-Bus)"),
        QStringLiteral("Qt Declarative (Qt QML, Qt Quick, Qt Quick Controls, Layouts and Dialogs, "
                       "Qt Labs Settings and Platform)"),
        QStringLiteral("Qt State Machine"),
        QStringLiteral("Qt Multimedia"),
        QStringLiteral("Qt SVG"),
        QStringLiteral("Qt 5 Core Compatibility (Graphical Effects)"),
        QStringLiteral("RapidJSON"),
        QStringLiteral("libsndfile"),
        QStringLiteral("FLAC"),
        QStringLiteral("LAME"),
        QStringLiteral("mpg123"),
        QStringLiteral("Ogg"),
        QStringLiteral("Opus"),
        QStringLiteral("Vorbis"),
        QStringLiteral("libsoxr"),
        QStringLiteral("PulseAudio client library"),
        QStringLiteral("X11 client library (libX11)"),
    };
    QCOMPARE(names, expected);
}

void TestAboutWindowController::aboutBoxSitsInTheMainWindow()
{
    const auto about = MakeAbout();
    auto* const item = qobject_cast<QQuickItem*>(about->Window());
    QVERIFY(item);
    QCOMPARE(item->parentItem(), m_mainWindow->contentItem());
    QCOMPARE(item->property("version").toString(), QStringLiteral("1.6.0"));
    QCOMPARE(item->property("logoSource").toUrl(),
             QUrl(QStringLiteral("qrc:/images/cue_logo_long")));
    QCOMPARE(item->width(), m_mainWindow->contentItem()->width());
}

void TestAboutWindowController::acknowledgementsShowTheResourceOverTheMainWindow()
{
    auto about = MakeAbout();
    QObject* const item = about->Window();
    QVERIFY(QMetaObject::invokeMethod(item, "acknowledgementsClicked"));

    const QList<QQuickWindow*> windows = AcknowledgementsWindows(item);
    QCOMPARE(windows.size(), 1);
    QPointer<QQuickWindow> window = windows.first();
    QVERIFY(window->isVisible());
    QCOMPARE(window->transientParent(), m_mainWindow.get());
    QCOMPARE(window->modality(), Qt::ApplicationModal);
    QCOMPARE(window->property("acknowledgementText").toString(),
             QString::fromUtf8(ResourceBytes()));

    // The window goes with the About box.
    QPointer<QObject> guardedItem = item;
    about.reset();
    FlushDeletes();
    QVERIFY(!window);
    QVERIFY(!guardedItem);
}

void TestAboutWindowController::aSecondRequestReplacesTheWindow()
{
    const auto about = MakeAbout();
    QObject* const item = about->Window();
    QVERIFY(QMetaObject::invokeMethod(item, "acknowledgementsClicked"));
    QPointer<QQuickWindow> first = AcknowledgementsWindows(item).value(0);
    QVERIFY(first);
    first->close();
    QVERIFY(QMetaObject::invokeMethod(item, "acknowledgementsClicked"));
    FlushDeletes();

    QVERIFY(!first);
    const QList<QQuickWindow*> windows = AcknowledgementsWindows(item);
    QCOMPARE(windows.size(), 1);
    QVERIFY(windows.first()->isVisible());
}

void TestAboutWindowController::missingFileShowsTheFailureLine()
{
    const auto about = MakeAbout(QStringLiteral("/nonexistent/acknowledgements.txt"));
    const AcknowledgementsWindowController acknowledgements(
        about->Window(), m_engine.get(), QStringLiteral("/nonexistent/acknowledgements.txt"));
    QCOMPARE(acknowledgements.Window()->property("acknowledgementText").toString(),
             QStringLiteral("Error: Unable to Load Acknowledgements."));
}

// Without an engine nothing can be built; the caller must hear of it.
void TestAboutWindowController::unbuildableBoxThrowsInsteadOfShowingNothing()
{
    QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                             AboutWindowController(nullptr, m_mainWindow->contentItem(),
                                                   QStringLiteral("1.6.0"), QString(),
                                                   kAcknowledgements));
    QVERIFY(m_mainWindow->contentItem()->childItems().isEmpty());
}

QTEST_MAIN(TestAboutWindowController)

#include "tst_aboutwindowcontroller.moc"
