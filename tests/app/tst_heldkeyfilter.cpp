// A held key's repeats, as X11 sends them (a release and a press with one
// time stamp), never reach the program as fresh presses of Space or Escape,
// nor of Backspace outside text fields; real presses and other keys pass.

#include "app/heldkeyfilter.h"

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
};

QTEST_GUILESS_MAIN(TestHeldKeyFilter)
#include "tst_heldkeyfilter.moc"
