#include "eventgroup.h"
#include "oscevent.h"

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

struct Received
{
    QByteArray bytes;
    qint64 atMs;
};

// A loopback receiver on a port picked by the system.
class Receiver
{
public:
    Receiver()
    {
        QVERIFY(m_socket.bind(QHostAddress::LocalHost, 0));
        m_clock.start();
        QObject::connect(&m_socket, &QUdpSocket::readyRead, [this] {
            while (m_socket.hasPendingDatagrams()) {
                m_datagrams.push_back({m_socket.receiveDatagram().data(), m_clock.elapsed()});
            }
        });
    }

    int Port() const { return m_socket.localPort(); }
    const std::vector<Received>& Datagrams() const { return m_datagrams; }

private:
    QUdpSocket m_socket;
    QElapsedTimer m_clock;
    std::vector<Received> m_datagrams;
};

NetworkPath Path(const std::string& id, const std::string& ip, int port)
{
    NetworkPath path;
    path.network_id = id;
    path.ip_address = ip;
    path.port = port;
    return path;
}

std::shared_ptr<Osc> MakeOsc(const std::vector<NetworkPath>* networks, const QString& id,
                             const QString& message, unsigned offset)
{
    auto osc = std::make_shared<Osc>(networks);
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
    const std::vector<NetworkPath> networks{Path("NET1", "127.0.0.1", other.Port()),
                                            Path("NET2", "127.0.0.1", receiver.Port())};
    auto cue = std::make_shared<EventGroup>();
    cue->AddEvent(MakeOsc(&networks, "NET2", "/b 2.5 x", 150));
    cue->AddEvent(MakeOsc(&networks, "NET2", "/tarv/a 1", 0));
    EventGroup list;
    list.AddEvent(cue);

    list.Go();
    QTRY_COMPARE(receiver.Datagrams().size(), 2U);
    const auto& got = receiver.Datagrams();
    QCOMPARE(got[0].bytes, QByteArray("/tarv/a\0,i\0\0\0\0\0\1", 16));
    QCOMPARE(got[1].bytes, QByteArray("/b\0\0,fs\0\x40\x20\0\0x\0\0\0", 16));
    const qint64 spacing = got[1].atMs - got[0].atMs;
    QVERIFY2(spacing >= 140 && spacing < 300, qPrintable(QString::number(spacing)));
    QVERIFY(other.Datagrams().empty());
}

void TestOscEvent::badDestinationsSendNothingButComplete()
{
    Receiver receiver;
    // Truncated to 16 bits, receiver port + 65536 would reach the receiver.
    const std::vector<NetworkPath> networks{Path("WIDE", "127.0.0.1", receiver.Port() + 65536),
                                            Path("ZERO", "127.0.0.1", 0),
                                            Path("BADIP", "not an address", receiver.Port()),
                                            Path("GOOD", "127.0.0.1", receiver.Port())};
    // Too big for one datagram: the socket itself reports the failure.
    const QString oversized = QStringLiteral("/big \"%1\"").arg(QString(70000, 'a'));
    const std::vector<std::pair<QString, QString>> cases{
        {"WIDE", "is outside 1..65535"},
        {"ZERO", "is outside 1..65535"},
        {"BADIP", "\"not an address\" is not an IP address"},
        {"GOOD", "OSC Socket Error Occured ("}};

    for (const auto& [id, report] : cases) {
        std::ostringstream captured;
        std::streambuf* const original = std::cerr.rdbuf(captured.rdbuf());
        const auto osc = MakeOsc(&networks, id, id == "GOOD" ? oversized : "/tarv/x", 0);
        QSignalSpy done(osc.get(), &Event::complete);
        osc->Execute();
        const bool completed = done.wait(1000);
        std::cerr.rdbuf(original);
        QVERIFY(completed);
        QCOMPARE(done.first().at(1).toBool(), false);
        QVERIFY2(QString::fromStdString(captured.str()).contains(report), captured.str().c_str());
    }
    QTest::qWait(50);
    QVERIFY(receiver.Datagrams().empty());
}

QTEST_GUILESS_MAIN(TestOscEvent)
#include "tst_oscevent.moc"
