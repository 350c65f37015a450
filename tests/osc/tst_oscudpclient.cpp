#include "osc/oscudpclient.h"
#include "osctesthelpers.h"

#include <cstring>
#include <QNetworkDatagram>
#include <QSignalSpy>
#include <QTest>

#ifdef TARV_HAVE_LIBLO
#include <lo/lo_lowlevel.h>
#endif

using namespace tarv::osc;
using namespace tarv::osc::test;

class TestOscUdpClient : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void libloDecodesWhatIsSent_data();
    void libloDecodesWhatIsSent();
    void reportsSocketErrors();

private:
    QByteArray SendAndReceive(const QString& command);

    QUdpSocket m_receiver;
    OscUdpClient m_client;
};

void TestOscUdpClient::init()
{
    m_receiver.close();
    QVERIFY(m_receiver.bind(QHostAddress::LocalHost, 0));
}

QByteArray TestOscUdpClient::SendAndReceive(const QString& command)
{
    m_client.Send(command, QHostAddress::LocalHost, m_receiver.localPort());
    if (!QTest::qWaitFor([this] { return m_receiver.hasPendingDatagrams(); })) {
        return {};
    }
    return m_receiver.receiveDatagram().data();
}

void TestOscUdpClient::libloDecodesWhatIsSent_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("types");
    QTest::addColumn<QStringList>("values");
    QTest::newRow("mixed") << "/tarv/show/A/fadeto -20 2.5 \"two words\" x"
                           << "/tarv/show/A/fadeto"
                           << "ifss" << QStringList{"-20", "2.5", "two words", "x"};
    QTest::newRow("no arguments") << "/tarv/sfx/sfx.1/play"
                                  << "/tarv/sfx/sfx.1/play"
                                  << "" << QStringList{};
    QTest::newRow("extremes") << "/\u00e9 -2147483648 3000000000 \"\""
                              << "/\u00e9"
                              << "ifs" << QStringList{"-2147483648", "3e+09", ""};
}

void TestOscUdpClient::libloDecodesWhatIsSent()
{
#ifndef TARV_HAVE_LIBLO
    QSKIP("liblo (Debian package liblo-dev) was not found when this test was built");
#else
    QFETCH(QString, command);
    QFETCH(QString, address);
    QFETCH(QString, types);
    QFETCH(QStringList, values);

    QByteArray datagram = SendAndReceive(command);
    QVERIFY(!datagram.isEmpty());
    QCOMPARE(QString::fromUtf8(lo_get_path(datagram.data(), datagram.size())), address);
    int result = 0;
    const std::unique_ptr<std::remove_pointer_t<lo_message>, decltype(&lo_message_free)> message(
        lo_message_deserialise(datagram.data(), datagram.size(), &result), &lo_message_free);
    QCOMPARE(result, 0);
    QCOMPARE(QString::fromLatin1(lo_message_get_types(message.get())), types);

    // liblo's lo_arg union claims 8-byte alignment but points into the 4-byte
    // aligned message, so its members are read as raw bytes.
    lo_arg** const argv = lo_message_get_argv(message.get());
    QStringList decoded;
    for (int i = 0; i < lo_message_get_argc(message.get()); ++i) {
        const auto* raw = reinterpret_cast<const char*>(argv[i]);
        std::int32_t integer = 0;
        float real = 0;
        switch (types[i].toLatin1()) {
        case 'i':
            std::memcpy(&integer, raw, sizeof integer);
            decoded << QString::number(integer);
            break;
        case 'f':
            std::memcpy(&real, raw, sizeof real);
            decoded << QString::number(real);
            break;
        default:
            decoded << QString::fromUtf8(raw);
        }
    }
    QCOMPARE(decoded, values);
#endif
}

void TestOscUdpClient::reportsSocketErrors()
{
    QSignalSpy spy(&m_client, &OscUdpClient::onError);
    // Larger than any UDP datagram can be.
    m_client.Send(QString(70000, u'a'), QHostAddress::LocalHost, m_receiver.localPort());
    QTRY_COMPARE(spy.count(), 1);
    const QString error = spy[0][0].toString();
    QVERIFY2(error.startsWith(QStringLiteral("OSC Socket Error Occured (%1): ")
                                  .arg(int(QAbstractSocket::DatagramTooLargeError))),
             qPrintable(error));
}

QTEST_GUILESS_MAIN(TestOscUdpClient)
#include "tst_oscudpclient.moc"
