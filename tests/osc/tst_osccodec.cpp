#include "osc/oscencoding.h"
#include "osc/oscfloat32.h"
#include "osc/oscint32.h"
#include "osc/oscstring.h"
#include "osctesthelpers.h"

#include <cstdio>
#include <QTest>

using namespace tarv::osc;
using namespace tarv::osc::test;

class TestOscCodec : public QObject
{
    Q_OBJECT

private slots:
    void parsesArguments();
    void rejectsMalformedDatagrams_data();
    void rejectsMalformedDatagrams();
    void convertsArguments();
    void readsBackWhatIsEncoded();
    void mapsTypeTags();
};

void TestOscCodec::parsesArguments()
{
    std::size_t consumed = 0;
    OscMessage bare = Parse(Bytes("/a\0\0"), &consumed);
    QCOMPARE(bare.address, "/a");
    QVERIFY(bare.params.empty());
    QCOMPARE(consumed, 4u);

    // Trailing bytes are not part of the message and do not count.
    OscMessage message =
        Parse(Bytes("/a\0\0,ifs\0\0\0\0\xFF\xFF\xFF\xFE\x3F\x80\0\0abcd\0\0\0\0junk"), &consumed);
    QCOMPARE(consumed, 28u);
    QCOMPARE(message.params.size(), 3u);
    QCOMPARE(message.params[0]->Type(), OscType::Int32);
    QCOMPARE(message.params[0]->ToInt32(), -2);
    QCOMPARE(message.params[1]->ToFloat32(), 1.0f);
    QCOMPARE(message.params[2]->ToString(), "abcd");

    QVERIFY(Parse(Bytes("/a\0\0,\0\0\0")).params.empty());
    QVERIFY(Parse(Bytes("/a\0\0xyz\0")).params.empty()); // no comma: no arguments
    QCOMPARE(Parse(Bytes("#bundles\0\0\0\0")).address, "#bundles");
}

void TestOscCodec::rejectsMalformedDatagrams_data()
{
    QTest::addColumn<QByteArray>("datagram");
    QTest::addColumn<QString>("error");
    QTest::newRow("empty") << QByteArray()
                           << "OSC string is larger than buffer during read of null terminator.";
    QTest::newRow("unterminated") << Bytes("/abc")
                                  << "OSC string is larger than buffer during read of null "
                                     "terminator.";
    QTest::newRow("short pad") << Bytes("/abc\0\0\0")
                               << "The OSC string /abc is larger than buffer while zero padding.";
    QTest::newRow("bad pad") << Bytes("/a\0\0,s\0\0xy\0z")
                             << "The OSC string xy does not contain proper pad to extend the "
                                "string to a multiple of 4.";
    QTest::newRow("bundle") << Bytes("#bundle\0\0\0\0\0\0\0\0\x01")
                            << "OSC Bundle detected. OSC Bundles unsupported at this time.";
    QTest::newRow("blob") << Bytes("/a\0\0,ib\0\0\0\0\x01") << "Unsupported or unknown OSC Type.";
    QTest::newRow("unknown tag") << Bytes("/a\0\0,T\0\0") << "Unsupported or unknown OSC Type.";
    QTest::newRow("short int") << Bytes("/a\0\0,i\0\0\0\x01")
                               << "Cannot read OSC Param of type int32 in less than four bytes.";
    QTest::newRow("short float")
        << Bytes("/a\0\0,f\0\0\x3F\x80\0")
        << "Cannot read OSC Param of type float32 in less than four bytes.";
    QTest::newRow("missing string") << Bytes("/a\0\0,s\0\0")
                                    << "OSC string is larger than buffer during read of null "
                                       "terminator.";
}

void TestOscCodec::rejectsMalformedDatagrams()
{
    QFETCH(QByteArray, datagram);
    QFETCH(QString, error);
    try {
        Parse(datagram);
        QFAIL("parsed a malformed datagram");
    } catch (const std::runtime_error& e) {
        QCOMPARE(QString::fromStdString(e.what()), error);
    }
}

void TestOscCodec::convertsArguments()
{
    const OscInt32 integer(-2);
    QCOMPARE(integer.ToString(), "-2");
    QCOMPARE(integer.ToFloat32(), -2.0f);

    const OscFloat32 real(0.25f);
    QCOMPARE(real.ToString(), "0.250000");
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, real.ToInt32());

    // The widest "%f" text of a float is 46 digits and six decimals.
    const OscFloat32 huge(3.4e38f);
    char expected[64];
    std::snprintf(expected, sizeof expected, "%f", static_cast<double>(3.4e38f));
    QCOMPARE(huge.ToString(), std::string(expected));
    QCOMPARE(OscFloat32(-std::numeric_limits<float>::max()).ToString().size(), 47u);

    const OscString text("x");
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, text.ToInt32());
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, text.ToFloat32());
}

void TestOscCodec::readsBackWhatIsEncoded()
{
    // The byte-exact forms are checked through the text command encoder; here,
    // what the encoders write, the readers read back.
    for (const float value : {0.0f, -1.5f, 3.4e38f, std::numeric_limits<float>::denorm_min()}) {
        std::size_t used = 0;
        QCOMPARE(OscFloat32(EncodeFloat32(value).data(), 4, used).Value(), value);
    }
    std::size_t used = 0;
    const std::vector<std::uint8_t> text = EncodeOscString("hello");
    QCOMPARE(OscString(text.data(), text.size(), used).Value(), "hello");
    QCOMPARE(used, 8u);
}

void TestOscCodec::mapsTypeTags()
{
    const std::vector<OscType> all{OscType::Int32, OscType::Float32, OscType::String,
                                   OscType::Blob};
    QCOMPARE(MakeTypeTagString(all), ",ifsb");
    QCOMPARE(ParseTypeTags(",ifsb"), all);
    QCOMPARE(TagToOscType('x'), OscType::Unknown);
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, OscTypeToTag(OscType::Unknown));
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, ParseTypeTags("ifs"));
}

QTEST_GUILESS_MAIN(TestOscCodec)
#include "tst_osccodec.moc"
