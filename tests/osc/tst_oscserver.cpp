#include "osc/oscmessageencoder.h"
#include "osc/oscserver.h"
#include "osc/qudpsocketwrapper.h"
#include "osctesthelpers.h"

#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QUdpSocket>

using namespace tarv::osc;
using namespace tarv::osc::test;

class TestOscServer : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_log = std::make_shared<QStringList>();
        m_port = FreeUdpPort();
    }

    void refusesPortsItCannotBind()
    {
        QUdpSocket holder;
        QVERIFY(holder.bind(kHost, m_port, QAbstractSocket::DontShareAddress));
        for (const int port : {int(m_port), 0, -1, 70000}) {
            try {
                OscServer server(port, std::make_unique<RecordingHandler>(m_log), kHost);
                QFAIL(qPrintable(QStringLiteral("bound port %1").arg(port)));
            } catch (const std::runtime_error& e) {
                QVERIFY2(QString::fromUtf8(e.what()).startsWith(
                             QStringLiteral("Unable to bind to OSC server port %1: ").arg(port)),
                         e.what());
            }
        }
    }

    void wrapperDrainsEveryPendingDatagram()
    {
        QUdpSocketWrapper wrapper;
        QVERIFY(wrapper.bind(kHost, m_port));
        QSignalSpy spy(&wrapper, &QUdpSocketWrapper::datagramReceived);
        Send("first");
        Send(QByteArray());
        Send("third");
        QVERIFY(spy.wait());
        // All from one readyRead, in arrival order, each exactly as long as sent.
        QCOMPARE(spy.count(), 3);
        QCOMPARE(spy[0][0].toByteArray(), "first");
        QCOMPARE(spy[1][0].toByteArray(), QByteArray());
        QCOMPARE(spy[2][0].toByteArray(), "third");
    }

    void wrapperLetsTimersRunDuringAFlood()
    {
        QUdpSocketWrapper wrapper;
        QVERIFY(wrapper.bind(kHost, m_port));
        int received = 0;
        connect(&wrapper, &QUdpSocketWrapper::datagramReceived, this, [&] { ++received; });
        constexpr int kFlood = 100; // few enough for the socket buffer to keep all
        for (int i = 0; i < kFlood; ++i) {
            Send("noise");
        }
        // A timer that fires while the flood is being read sees part of it.
        bool sawPart = false;
        QTimer tick;
        connect(&tick, &QTimer::timeout, this,
                [&] { sawPart = sawPart || (received > 0 && received < kFlood); });
        tick.start(0);
        QTRY_COMPARE(received, kFlood);
        QVERIFY(sawPart);
    }

    void reportsUndecodableDatagramsOnStandardError()
    {
        const auto server = StartServer();
        const CerrCapture capture;
        Send(QByteArray());
        Send(Bytes("#bundle\0\0\0\0\0\0\0\0\x01"));
        Send(EncodeOscMessage("/tarv/go"));
        QTRY_COMPARE(*m_log, (QStringList{"Notify", "Advance ,"}));
        // The second within a second of the first waits its turn.
        QTRY_COMPARE(capture.Text(),
                     "OSC string is larger than buffer during read of null terminator.\n"
                     "OSC Bundle detected. OSC Bundles unsupported at this time.\n");
    }

    void keepsAPeersControlCharactersOffTheTerminal()
    {
        const auto server = StartServer();
        const CerrCapture capture;
        // Datagrams that do not decode and whose error quotes the peer's
        // bytes: an escape sequence that retitles a terminal, one that clears
        // it, and a newline that would forge a log line of its own.
        Send(Bytes("/\x1b]0;owned\x07\nFAKE\0"));
        QTRY_VERIFY_WITH_TIMEOUT(capture.Text().find("owned") != std::string::npos, 30000);
        Send(Bytes("/\x1b[2J\r\x9b!\0X\0\0"));
        QTRY_VERIFY_WITH_TIMEOUT(capture.Text().find("[2J") != std::string::npos, 30000);

        const std::string text = capture.Text();
        for (const char c : text) {
            QVERIFY2(c == '\n' || (static_cast<unsigned char>(c) >= 0x20 && c != 0x7f),
                     text.c_str());
        }
        QVERIFY2(text.find("/\\x1b]0;owned\\x07\\nFAKE") != std::string::npos, text.c_str());
        QVERIFY2(text.find("/\\x1b[2J\\r\\x9b!") != std::string::npos, text.c_str());
        QVERIFY2(text.find("\nFAKE") == std::string::npos, text.c_str());
    }

    void survivesAFloodAndStillDispatches()
    {
        const auto server = StartServer();
        const QList<QByteArray> kinds{
            EncodeOscMessage("/tarv/sfx/sfx.1/fadeto -6 2"),
            EncodeOscMessage("/tarv/cue/1/go"), // a command error
            Bytes("#bundle\0\0\0\0\0\0\0\0\x01\0\0\0\x08/a\0\0,\0\0\0"),
            EncodeOscMessage("/tarv/sfx/sfx.1/play \"unterminated").chopped(3),
        };
        QRandomGenerator random(7);
        QElapsedTimer clock;
        clock.start();
        std::string reported;
        {
            const CerrCapture capture; // tens of thousands of refusals
            for (int i = 0; i < 100000; ++i) {
                Send(i % 10 == 9 ? QByteArray(random.bounded(1, 600), char(random.bounded(256)))
                                 : kinds[i % kinds.size()]);
                if (i % 64 == 0) {
                    QCoreApplication::processEvents(); // let the server drain as a real peer would
                }
            }
            QTest::qWait(1500); // the count of the last second
            reported = capture.Text();
        }
        QVERIFY(m_log->size() > 1000);
        // Told as counts, at most a line a second, not a line each.
        const qsizetype lines =
            QString::fromStdString(reported).split(u'\n', Qt::SkipEmptyParts).size();
        const qint64 seconds = clock.elapsed() / 1000 + 1;
        QVERIFY2(lines <= seconds + 1,
                 qPrintable(QStringLiteral("%1 lines in %2 s: %3")
                                .arg(lines)
                                .arg(seconds)
                                .arg(QString::fromStdString(reported.substr(0, 2000)))));
        QVERIFY2(reported.find("more OSC refusals") != std::string::npos, reported.c_str());

        m_log->clear();
        Send(EncodeOscMessage("/tarv/show/A/go"));
        QTRY_VERIFY(!m_log->empty() && m_log->back() == "Advance A,");
    }

    void interoperatesWithOscsend()
    {
        if (QStandardPaths::findExecutable("oscsend").isEmpty()) {
            QSKIP("oscsend (Debian package liblo-tools) is not installed");
        }
        QUdpSocket receiver;
        QVERIFY(receiver.bind(kHost, 0));
        QVERIFY(RunOscsend(receiver.localPort(),
                           {"/x/y", "ifsi", "-123456", "0.125", "h\u00e9llo w", "7"}));
        QTRY_VERIFY(receiver.hasPendingDatagrams());
        std::size_t used = 0;
        const QByteArray datagram = receiver.receiveDatagram().data();
        QCOMPARE(Describe(Parse(datagram, &used)), "/x/y i:-123456 f:0.125000 s:h\u00e9llo w i:7");
        QCOMPARE(used, std::size_t(datagram.size()));

        const auto server = StartServer();
        QVERIFY(RunOscsend(m_port, {"/tarv/sfx/sfx.1/play"}));
        QVERIFY(RunOscsend(m_port, {"/tarv/sfx/sfx.1/fadeto", "ff", "-6.5", "2.0"}));
        QVERIFY(RunOscsend(m_port, {"/tarv/sfx/sfx.2/stop"}));
        QVERIFY(RunOscsend(m_port, {"/tarv/sfx/*/stop"}));
        QVERIFY(RunOscsend(m_port, {"/tarv/show/A/fadeto", "ii", "-20", "3"}));
        QVERIFY(RunOscsend(m_port, {"/tarv/volume", "s", "loud"}));
        QTRY_COMPARE(*m_log, (QStringList{"Notify", "PlaySfx ,sfx.1", "Notify",
                                          "FadeSfx ,sfx.1,0.501187,2000", "Notify",
                                          "StopSfx ,sfx.2", "Notify", "StopAllSfx ", "Notify",
                                          "FadeTo A,,3,0.1,0", "Notify", "Volume 1"}));
    }

private:
    void Send(const QByteArray& datagram) { m_sender.writeDatagram(datagram, kHost, m_port); }

    std::unique_ptr<OscServer> StartServer()
    {
        return std::make_unique<OscServer>(m_port, std::make_unique<RecordingHandler>(m_log),
                                           kHost);
    }

    bool RunOscsend(quint16 port, const QStringList& arguments) const
    {
        QProcess oscsend;
        oscsend.start("oscsend", QStringList{kHost.toString(), QString::number(port)} + arguments);
        return oscsend.waitForFinished(10000) && oscsend.exitCode() == 0;
    }

    const QHostAddress kHost{QHostAddress::LocalHost};
    std::shared_ptr<QStringList> m_log;
    QUdpSocket m_sender;
    quint16 m_port = 0;
};

QTEST_GUILESS_MAIN(TestOscServer)
#include "tst_oscserver.moc"
