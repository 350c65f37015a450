#include "osc/oscmessageencoder.h"
#include "osc/oscserver.h"
#include "osc/qudpsocketwrapper.h"
#include "osctesthelpers.h"

#include <QNetworkDatagram>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

using namespace tarv::osc;
using namespace tarv::osc::test;

class TestOscServer : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void refusesPortsItCannotBind();
    void announcesOpeningAndClosing();
    void wrapperDrainsEveryPendingDatagram();
    void reportsUndecodableDatagramsOnStandardError();
    void survivesAFloodAndStillDispatches();
    void dispatchesWhatOscsendSends();
    void decodesWhatOscsendSends();

private:
    void Send(const QByteArray& datagram) { m_sender.writeDatagram(datagram, kHost, m_port); }
    std::unique_ptr<OscServer> StartServer();
    bool RunOscsend(const QStringList& arguments);
    QStringList Calls() const;

    const QHostAddress kHost{QHostAddress::LocalHost};
    std::shared_ptr<RecordingHandler::Log> m_log;
    QUdpSocket m_sender;
    quint16 m_port = 0;
};

void TestOscServer::init()
{
    m_log = std::make_shared<RecordingHandler::Log>();
    m_port = FreeUdpPort();
}

std::unique_ptr<OscServer> TestOscServer::StartServer()
{
    return std::make_unique<OscServer>(m_port, std::make_unique<RecordingHandler>(m_log), kHost);
}

QStringList TestOscServer::Calls() const
{
    QStringList calls;
    for (const std::string& call : *m_log) {
        calls << QString::fromStdString(call);
    }
    return calls;
}

bool TestOscServer::RunOscsend(const QStringList& arguments)
{
    QProcess oscsend;
    oscsend.start(QStringLiteral("oscsend"),
                  QStringList{kHost.toString(), QString::number(m_port)} + arguments);
    return oscsend.waitForFinished(10000) && oscsend.exitCode() == 0;
}

void TestOscServer::refusesPortsItCannotBind()
{
    QUdpSocket holder;
    QVERIFY(holder.bind(kHost, m_port, QAbstractSocket::DontShareAddress));
    for (const int port : {int(m_port), 0, -1, 70000}) {
        try {
            OscServer server(port, std::make_unique<RecordingHandler>(m_log), kHost);
            QFAIL(qPrintable(QStringLiteral("bound port %1").arg(port)));
        } catch (const std::runtime_error& e) {
            const QString prefix =
                QStringLiteral("Unable to bind to OSC server port %1: ").arg(port);
            QVERIFY2(QString::fromStdString(e.what()).startsWith(prefix), e.what());
        }
    }
}

void TestOscServer::announcesOpeningAndClosing()
{
    std::ostringstream out;
    std::streambuf* const previous = std::cout.rdbuf(out.rdbuf());
    StartServer().reset();
    std::cout.rdbuf(previous);
    QCOMPARE(
        out.str(),
        QStringLiteral("****Opening port %1\n****Closing port %1\n").arg(m_port).toStdString());
}

void TestOscServer::wrapperDrainsEveryPendingDatagram()
{
    QUdpSocketWrapper wrapper;
    QVERIFY(wrapper.bind(kHost, m_port));
    QSignalSpy spy(&wrapper, &QUdpSocketWrapper::datagramReceived);
    Send("first");
    Send(QByteArray());
    Send("third");
    QVERIFY(spy.wait());
    QCOMPARE(spy.count(), 3); // all from one readyRead, in arrival order
    QCOMPARE(spy[0][0].toByteArray(), "first");
    QCOMPARE(spy[1][0].toByteArray(), QByteArray());
    QCOMPARE(spy[2][0].toByteArray(), "third");
}

void TestOscServer::reportsUndecodableDatagramsOnStandardError()
{
    const auto server = StartServer();
    const CerrCapture capture;
    Send(QByteArray());
    Send(Bytes("#bundle\0\0\0\0\0\0\0\0\x01"));
    Send(EncodeOscMessage("/tarv/go"));
    QTRY_COMPARE(Calls(), (QStringList{"Notify", "Advance ,"}));
    QCOMPARE(capture.Text(), "OSC string is larger than buffer during read of null terminator.\n"
                             "OSC Bundle detected. OSC Bundles unsupported at this time.\n");
}

void TestOscServer::survivesAFloodAndStillDispatches()
{
    const auto server = StartServer();
    const QList<QByteArray> kinds{
        EncodeOscMessage("/tarv/sfx/sfx.1/fadeto -6 2"),
        EncodeOscMessage("/tarv/cue/1/go"), // a command error
        Bytes("#bundle\0\0\0\0\0\0\0\0\x01\0\0\0\x08/a\0\0,\0\0\0"),
        EncodeOscMessage("/tarv/sfx/sfx.1/play \"unterminated").chopped(3),
    };
    QRandomGenerator random(7);
    {
        const CerrCapture capture; // tens of thousands of error lines
        for (int i = 0; i < 100000; ++i) {
            QByteArray datagram = kinds[i % kinds.size()];
            if (i % 10 == 9) {
                datagram = QByteArray(random.bounded(1, 600), char(random.bounded(256)));
            }
            Send(datagram);
            if (i % 64 == 0) {
                QCoreApplication::processEvents(); // let the server drain as a real peer would
            }
        }
        QTest::qWait(50);
    }
    QVERIFY(m_log->size() > 1000);

    m_log->clear();
    Send(EncodeOscMessage("/tarv/show/A/go"));
    QTRY_VERIFY(!m_log->empty() && m_log->back() == "Advance A,");
}

void TestOscServer::dispatchesWhatOscsendSends()
{
    if (QStandardPaths::findExecutable("oscsend").isEmpty()) {
        QSKIP("oscsend (Debian package liblo-tools) is not installed");
    }
    const auto server = StartServer();
    QVERIFY(RunOscsend({"/tarv/sfx/sfx.1/play"}));
    QVERIFY(RunOscsend({"/tarv/sfx/sfx.1/fadeto", "ff", "-6.5", "2.0"}));
    QVERIFY(RunOscsend({"/tarv/sfx/sfx.2/stop"}));
    QVERIFY(RunOscsend({"/tarv/sfx/*/stop"}));
    QVERIFY(RunOscsend({"/tarv/show/A/fadeto", "ii", "-20", "3"}));
    QVERIFY(RunOscsend({"/tarv/volume", "s", "loud"}));
    QTRY_COMPARE(Calls(),
                 (QStringList{"Notify", "PlaySfx ,sfx.1", "Notify", "FadeSfx ,sfx.1,0.501187,2000",
                              "Notify", "StopSfx ,sfx.2", "Notify", "StopAllSfx ", "Notify",
                              "FadeTo A,,3,0.1,0", "Notify", "Volume 1"}));
}

void TestOscServer::decodesWhatOscsendSends()
{
    if (QStandardPaths::findExecutable("oscsend").isEmpty()) {
        QSKIP("oscsend (Debian package liblo-tools) is not installed");
    }
    QUdpSocket receiver;
    QVERIFY(receiver.bind(kHost, m_port));
    QVERIFY(RunOscsend({"/x/y", "ifsi", "-123456", "0.125", "h\u00e9llo w", "7"}));
    QTRY_VERIFY(receiver.hasPendingDatagrams());
    const QByteArray datagram = receiver.receiveDatagram().data();

    std::size_t consumed = 0;
    const OscMessage message = Parse(datagram, &consumed);
    QCOMPARE(consumed, std::size_t(datagram.size()));
    QCOMPARE(message.address, "/x/y");
    QCOMPARE(message.params.size(), 4u);
    QCOMPARE(message.params[0]->ToInt32(), -123456);
    QCOMPARE(message.params[1]->ToFloat32(), 0.125f);
    QCOMPARE(message.params[2]->ToString(), "h\u00e9llo w");
    QCOMPARE(message.params[3]->ToInt32(), 7);
}

QTEST_GUILESS_MAIN(TestOscServer)
#include "tst_oscserver.moc"
