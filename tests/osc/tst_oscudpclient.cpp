#include "osc/oscudpclient.h"
#include "osctesthelpers.h"

#include <cstring>
#include <QNetworkDatagram>
#include <QSignalSpy>
#include <QTest>
#include <QUdpSocket>

#ifdef TARV_HAVE_LIBLO
#include <lo/lo_lowlevel.h>
#endif

using namespace tarv::osc;
using namespace tarv::osc::test;

class TestOscUdpClient : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_receiver.close();
        QVERIFY(m_receiver.bind(QHostAddress::LocalHost, 0));
    }

    void libloDecodesWhatIsSent_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("expected"); // address, then tag:value per argument
        QTest::newRow("mixed") << "/tarv/show/A/fadeto -20 2.5 \"two words\" x"
                               << "/tarv/show/A/fadeto i:-20 f:2.5 s:two words s:x";
        QTest::newRow("no arguments") << "/tarv/sfx/sfx.1/play"
                                      << "/tarv/sfx/sfx.1/play";
        QTest::newRow("extremes") << "/\u00e9 -2147483648 3000000000 \"\""
                                  << "/\u00e9 i:-2147483648 f:3e+09 s:";
    }

    void libloDecodesWhatIsSent()
    {
#ifndef TARV_HAVE_LIBLO
        QSKIP("liblo (Debian package liblo-dev) was not found when this test was built");
#else
        QFETCH(QString, command);
        QFETCH(QString, expected);
        m_client.Send(command, QHostAddress::LocalHost, m_receiver.localPort());
        QTRY_VERIFY(m_receiver.hasPendingDatagrams());
        QByteArray datagram = m_receiver.receiveDatagram().data();

        int result = 0;
        const std::unique_ptr<std::remove_pointer_t<lo_message>, decltype(&lo_message_free)>
            message(lo_message_deserialise(datagram.data(), datagram.size(), &result),
                    &lo_message_free);
        QCOMPARE(result, 0);
        QString decoded = QString::fromUtf8(lo_get_path(datagram.data(), datagram.size()));
        const char* const types = lo_message_get_types(message.get());
        lo_arg** const argv = lo_message_get_argv(message.get());
        for (int i = 0; i < lo_message_get_argc(message.get()); ++i) {
            // liblo's lo_arg union claims 8-byte alignment but points into the
            // 4-byte aligned message, so its members are read as raw bytes.
            const auto* raw = reinterpret_cast<const char*>(argv[i]);
            std::int32_t integer = 0;
            float real = 0;
            QString value;
            if (types[i] == 'i') {
                std::memcpy(&integer, raw, sizeof integer);
                value = QString::number(integer);
            } else if (types[i] == 'f') {
                std::memcpy(&real, raw, sizeof real);
                value = QString::number(real);
            } else {
                value = QString::fromUtf8(raw);
            }
            decoded += QStringLiteral(" %1:%2").arg(QChar::fromLatin1(types[i]), value);
        }
        QCOMPARE(decoded, expected);
#endif
    }

    void reportsSocketErrors()
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

private:
    QUdpSocket m_receiver;
    OscUdpClient m_client;
};

QTEST_GUILESS_MAIN(TestOscUdpClient)
#include "tst_oscudpclient.moc"
