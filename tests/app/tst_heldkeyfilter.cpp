// A held key's repeats, as X11 sends them (a release and a press with one
// time stamp), never reach the program as fresh presses of Space or Escape,
// nor of Backspace outside text fields; real presses and other keys pass.
// Presses of Space queued while a load or a save held the window are
// dropped, later ones pass.

#include "app/heldkeyfilter.h"
#include "app/queuedkeyfilter.h"

#include <QTest>
#include <xcb/xcb.h>

namespace {

constexpr std::uint8_t kSpace = 65;
constexpr std::uint8_t kLetter = 38;
constexpr std::uint8_t kBackspace = 22;

struct Key
{
    bool press;
    std::uint8_t keycode;
    std::uint32_t time;
};

} // namespace

class TestHeldKeyFilter : public QObject
{
    Q_OBJECT

private slots:
    void dropsOnlyRepeatedPresses_data()
    {
        QTest::addColumn<QList<Key>>("keys");
        QTest::addColumn<QList<bool>>("dropped");
        QTest::addColumn<bool>("editingText");
        const Key press{true, kSpace, 100}, release{false, kSpace, 400};
        QTest::newRow("held: the repeat's press") << QList<Key>{press, release, {true, kSpace, 400}}
                                                  << QList<bool>{false, false, true} << false;
        QTest::newRow("released and pressed again")
            << QList<Key>{press, release, {true, kSpace, 520}} << QList<bool>{false, false, false}
            << false;
        QTest::newRow("another key between")
            << QList<Key>{release, {true, kLetter, 400}, {true, kSpace, 400}}
            << QList<bool>{false, false, false} << false;
        QTest::newRow("a key not guarded")
            << QList<Key>{{false, kLetter, 400}, {true, kLetter, 400}} << QList<bool>{false, false}
            << false;
        QTest::newRow("held Backspace, no text field")
            << QList<Key>{{false, kBackspace, 400}, {true, kBackspace, 400}}
            << QList<bool>{false, true} << false;
        QTest::newRow("held Backspace in a text field")
            << QList<Key>{{false, kBackspace, 400}, {true, kBackspace, 400}}
            << QList<bool>{false, false} << true;
        QTest::newRow("held Space in a text field")
            << QList<Key>{{false, kSpace, 400}, {true, kSpace, 400}} << QList<bool>{false, true}
            << true;
    }

    void dropsOnlyRepeatedPresses()
    {
        QFETCH(QList<Key>, keys);
        QFETCH(QList<bool>, dropped);
        QFETCH(bool, editingText);
        HeldKeyFilter filter({kSpace}, {kBackspace}, [editingText] { return editingText; });
        for (qsizetype i = 0; i < keys.size(); ++i) {
            xcb_key_press_event_t event{};
            event.response_type = keys[i].press ? XCB_KEY_PRESS : XCB_KEY_RELEASE;
            event.detail = keys[i].keycode;
            event.time = keys[i].time;
            QCOMPARE(filter.nativeEventFilter("xcb_generic_event_t", &event, nullptr), dropped[i]);
        }
        xcb_key_press_event_t other{};
        QVERIFY(!filter.nativeEventFilter("windows_generic_MSG", &other, nullptr));
    }

    // Events carry the low 16 bits of the request count, so the queue may
    // cross the wrap from 65535 to 0.
    void dropsSpacePressesQueuedBeforeTheMark_data()
    {
        QTest::addColumn<int>("mark");
        QTest::newRow("mid-range") << 1000;
        QTest::newRow("across the wrap") << 2;
    }

    void dropsSpacePressesQueuedBeforeTheMark()
    {
        QFETCH(int, mark);
        QueuedKeyFilter filter(kSpace);
        const auto offer = [&filter](std::uint8_t kind, std::uint8_t keycode, int sequence) {
            xcb_key_press_event_t event{};
            event.response_type = kind;
            event.detail = keycode;
            event.sequence = static_cast<std::uint16_t>(sequence);
            return filter.nativeEventFilter("xcb_generic_event_t", &event, nullptr);
        };
        QVERIFY(!offer(XCB_KEY_PRESS, kSpace, mark - 5));

        filter.DropPressesBefore(static_cast<std::uint16_t>(mark));
        QVERIFY(offer(XCB_KEY_PRESS, kSpace, mark - 5));
        QVERIFY(!offer(XCB_KEY_RELEASE, kSpace, mark - 5));
        QVERIFY(!offer(XCB_KEY_PRESS, kLetter, mark - 4));
        QVERIFY(offer(XCB_KEY_PRESS, kSpace, mark - 1));
        // The first event made after the mark ends the dropping.
        QVERIFY(!offer(XCB_EXPOSE, 0, mark));
        QVERIFY(!offer(XCB_KEY_PRESS, kSpace, mark));
        QVERIFY(!offer(XCB_KEY_PRESS, kSpace, mark - 1));
    }
};

QTEST_GUILESS_MAIN(TestHeldKeyFilter)
#include "tst_heldkeyfilter.moc"
