#include "automation/eventgroup.h"
#include "automation/oscevent.h"

#include <iostream>
#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QSignalSpy>
#include <QTest>
#include <QUdpSocket>
#include <sstream>

using namespace tarv::automation;
using tarv::networking::NetworkPath;

namespace {

// A loopback receiver on a port picked by the system, stamping arrivals.
struct Receiver
{
    Receiver()
    {
        socket.bind(QHostAddress::LocalHost, 0);
        clock.start();
        QObject::connect(&socket, &QUdpSocket::readyRead, [this] {
            while (socket.hasPendingDatagrams()) {
                got.push_back({socket.receiveDatagram().data(), clock.elapsed()});
            }
        });
    }
    int Port() const { return socket.localPort(); }

    QUdpSocket socket;
    QElapsedTimer clock;
    std::vector<std::pair<QByteArray, qint64>> got;
};

std::shared_ptr<Osc> MakeOsc(const std::vector<NetworkPath>& networks, const QString& id,
                             const QString& message, unsigned offset = 0)
{
    auto osc = std::make_shared<Osc>(&networks);
    osc->NetworkId(id);
    osc->Message(message);
    osc->Offset(offset);
    return osc;
}

} // namespace

class TestOscEvent : public QObject
{
    Q_OBJECT

private slots:
    void cueSendsInOrderAndSpacing();
    void badDestinationsSendNothingButComplete();
};

void TestOscEvent::cueSendsInOrderAndSpacing()
{
    Receiver receiver;
    Receiver other;
    // The chosen path is the second one, found by its network id.
    const std::vector<NetworkPath> networks{{"", "NET1", "127.0.0.1", 0, other.Port()},
                                            {"", "NET2", "127.0.0.1", 0, receiver.Port()}};
    auto cue = std::make_shared<EventGroup>();
    cue->AddEvent(MakeOsc(networks, "NET2", "/b 2.5 x", 150));
    cue->AddEvent(MakeOsc(networks, "NET2", "/tarv/a 1"));
    EventGroup list;
    list.AddEvent(cue);

    const qint64 go = receiver.clock.elapsed();
    list.Go();
    QTRY_COMPARE(receiver.got.size(), 2U);
    QCOMPARE(receiver.got[0].first, QByteArray("/tarv/a\0,i\0\0\0\0\0\1", 16));
    QCOMPARE(receiver.got[1].first, QByteArray("/b\0\0,fs\0\x40\x20\0\0x\0\0\0", 16));
    // Measured from GO, not between arrivals: a late first datagram on a busy
    // machine must not make the spacing look short.
    const qint64 second = receiver.got[1].second - go;
    QVERIFY2(second >= 149 && second < 1150, qPrintable(QString::number(second)));
    QVERIFY(other.got.empty());
}

void TestOscEvent::badDestinationsSendNothingButComplete()
{
    Receiver receiver;
    const int port = receiver.Port();
    // Truncated to 16 bits, receiver port + 65536 would reach the receiver.
    const std::vector<NetworkPath> networks{{"", "WIDE", "127.0.0.1", 0, port + 65536},
                                            {"", "ZERO", "127.0.0.1", 0, 0},
                                            {"", "BADIP", "not an address", 0, port},
                                            {"", "GOOD", "127.0.0.1", 0, port}};
    // Too big for one datagram: the socket itself reports the failure.
    const QString oversized = QStringLiteral("/big \"%1\"").arg(QString(70000, 'a'));
    const QList<std::pair<QString, QString>> cases{
        {"WIDE", "is outside 1..65535"},
        {"ZERO", "is outside 1..65535"},
        {"BADIP", "\"not an address\" is not an IP address"},
        {"GOOD", "OSC Socket Error Occured ("}};

    for (const auto& [id, report] : cases) {
        std::ostringstream captured;
        std::streambuf* const original = std::cerr.rdbuf(captured.rdbuf());
        const auto osc = MakeOsc(networks, id, id == "GOOD" ? oversized : "/tarv/x");
        QSignalSpy done(osc.get(), &Event::complete);
        osc->Execute();
        const bool completed = done.wait(10000);
        std::cerr.rdbuf(original);
        QVERIFY(completed && !done.first().at(1).toBool());
        QVERIFY2(QString::fromStdString(captured.str()).contains(report), captured.str().c_str());
    }
    QTest::qWait(50);
    QVERIFY(receiver.got.empty());
}

QTEST_GUILESS_MAIN(TestOscEvent)
#include "tst_oscevent.moc"
