// Real sound from the manager's preview: played into a private PulseAudio
// server's null sink, whose monitor is recorded.

#include "monitorrecorder.h"
#include "privatepulseserver.h"
#include "qt/sfxmanagerwindowcontroller.h"
#include "sfx/sfxplayer.h"
#include "sfx/sfxplayercontrollerimpl.h"
#include "sfxtestbench.h"

#include <algorithm>
#include <QFileInfo>
#include <QQmlExtensionPlugin>
#include <QSignalSpy>

Q_IMPORT_QML_PLUGIN(com_quillonworks_tarv_uiPlugin)

using tarv::audio::SfxPlayer;
using tarv::audio::SfxPlayerController;
using tarv::audio::SfxPlayerControllerImpl;
using tarv::qt::SfxManagerWindowController;
using Bench = SfxTestBench;

namespace {

constexpr int kWindow = MonitorRecorder::kWindowMilliseconds;

// Milliseconds of the recording louder than `threshold`, and their median
// level.
std::pair<int, double> LoudPart(std::vector<double> levels, double threshold)
{
    std::vector<double> loud;
    std::copy_if(levels.begin(), levels.end(), std::back_inserter(loud),
                 [threshold](double level) { return level > threshold; });
    if (loud.empty())
        return {0, 0.0};
    std::nth_element(loud.begin(), loud.begin() + static_cast<std::ptrdiff_t>(loud.size() / 2),
                     loud.end());
    return {static_cast<int>(loud.size()) * kWindow, loud[loud.size() / 2]};
}

} // namespace

class TestSfxPreviewPulse : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!tarv::testing::PrivatePulseServerRunning())
            QSKIP(tarv::testing::kNoPrivatePulseServer);
        m_bench = std::make_unique<Bench>(QList<Bench::Effect>{
            {"tone.1k", "Test Tone", "sound", "tone-1k.wav"},
            {"beep.short", "Beep", "sound", "beep-short.wav"},
        });
        m_bench->Open({Bench::Instance("sfx.1", "tone.1k", "Tone", -1, 0.5F),
                       Bench::Instance("sfx.2", "beep.short", "Warm Up", 0, 0.0F)});

        // Open the device before anything is measured.
        SfxPlayerController player;
        QSignalSpy warm(player.GetPlayer("sfx.2"), &SfxPlayer::sfxFinished);
        player.play("sfx.2");
        QVERIFY(warm.wait(5000));
        QVERIFY2(!SfxPlayerControllerImpl::instance()->IsSilent(),
                 "the player fell back to the silent clock");
    }

    void cleanupTestCase() { m_bench.reset(); }

    // The row's button starts the preview at the instance's level (-6 dB of a
    // -6 dBFS tone) and stops it again.
    void previewIsHeardAtItsLevelUntilStopped()
    {
        SfxManagerWindowController manager(&m_bench->engine, m_bench->repository);
        manager.ShowWindow();
        QObject* window = manager.Window();
        QVERIFY(window != nullptr);
        QQuickItem* button = Bench::Find(Bench::Row(window, "instanceList", 0), "playButton");
        QVERIFY(button != nullptr);
        QTRY_VERIFY(Bench::Row(window, "instanceList", 0)->property("isReady").toBool());

        MonitorRecorder recorder(QStringLiteral("tarv_test"));
        QVERIFY(recorder.Start());
        QTest::qWait(300);
        QSignalSpy finished(SfxPlayerController().GetPlayer("sfx.1"), &SfxPlayer::sfxFinished);
        Bench::Click(button);
        QCOMPARE(window->property("playing").toStringList(), QStringList{"sfx.1"});
        QTest::qWait(1000);
        Bench::Click(button);
        QCOMPARE(window->property("playing").toStringList(), QStringList());
        QVERIFY(finished.count() == 1 || finished.wait(5000));
        QTest::qWait(500);
        recorder.Stop();

        const auto levels = recorder.Levels();
        const auto [length, level] = LoudPart(levels, 0.02);
        qInfo("preview sounded %d ms at RMS %.4f", length, level);
        QVERIFY2(std::abs(level - 0.25 / std::sqrt(2.0)) < 0.02,
                 qPrintable(QString::number(level)));
        QVERIFY2(length >= 700 && length <= 1600, qPrintable(QString::number(length)));
        const double tail = *std::max_element(levels.end() - 300 / kWindow, levels.end());
        QVERIFY2(tail < 0.001, qPrintable(QString::number(tail)));
    }

    // The show is playing the instance when the operator previews it: the
    // preview is that sound, not a second copy on top of it (+6 dB), and
    // stopping the preview stops it.
    void previewOfAnInstanceThatPlaysIsTheSameSound()
    {
        SfxManagerWindowController manager(&m_bench->engine, m_bench->repository);
        manager.ShowWindow();
        QObject* window = manager.Window();
        QVERIFY(window != nullptr);
        QTRY_VERIFY(Bench::Row(window, "instanceList", 0)->property("isReady").toBool());
        QQuickItem* button = Bench::Find(Bench::Row(window, "instanceList", 0), "playButton");
        QVERIFY(button != nullptr);

        MonitorRecorder recorder(QStringLiteral("tarv_test"));
        QVERIFY(recorder.Start());
        QTest::qWait(300);
        SfxPlayerController show;
        QSignalSpy finished(show.GetPlayer("sfx.1"), &SfxPlayer::sfxFinished);
        show.play("sfx.1");
        QTest::qWait(700);
        Bench::Click(button);
        QCOMPARE(window->property("playing").toStringList(), QStringList{"sfx.1"});
        QTest::qWait(1000);
        Bench::Click(button);
        QVERIFY(finished.count() == 1 || finished.wait(5000));
        QTest::qWait(500);
        recorder.Stop();

        const auto levels = recorder.Levels();
        const auto [length, level] = LoudPart(levels, 0.02);
        const double loudest = *std::max_element(levels.begin(), levels.end());
        qInfo("the instance sounded %d ms at RMS %.4f, at most %.4f", length, level, loudest);
        QVERIFY2(std::abs(level - 0.25 / std::sqrt(2.0)) < 0.02,
                 qPrintable(QString::number(level)));
        QVERIFY2(loudest < 0.25 / std::sqrt(2.0) * 1.2, qPrintable(QString::number(loudest)));
        QVERIFY2(length >= 1400 && length <= 2300, qPrintable(QString::number(length)));
        const double tail = *std::max_element(levels.end() - 300 / kWindow, levels.end());
        QVERIFY2(tail < 0.001, qPrintable(QString::number(tail)));
    }

    // The show has faded the looping instance down to -80 dB and it plays
    // on: its preview is heard at the instance's own level all the same, the
    // show's fades do not reach it, and stopping it leaves the show's sound
    // where the show put it.
    void previewOfAnInstanceTheShowFadedDownIsHeardAtItsLevel()
    {
        SfxManagerWindowController manager(&m_bench->engine, m_bench->repository);
        manager.ShowWindow();
        QObject* window = manager.Window();
        QVERIFY(window != nullptr);
        QTRY_VERIFY(Bench::Row(window, "instanceList", 0)->property("isReady").toBool());
        QQuickItem* button = Bench::Find(Bench::Row(window, "instanceList", 0), "playButton");
        QVERIFY(button != nullptr);

        SfxPlayerController show;
        QSignalSpy finished(show.GetPlayer("sfx.1"), &SfxPlayer::sfxFinished);
        show.play("sfx.1");
        QTest::qWait(300);
        show.FadeTo("sfx.1", 0.0001F, 0.0F);
        MonitorRecorder recorder(QStringLiteral("tarv_test"));
        QVERIFY(recorder.Start());
        QTest::qWait(300);
        Bench::Click(button);
        QCOMPARE(window->property("playing").toStringList(), QStringList{"sfx.1"});
        QTest::qWait(500);
        show.FadeTo("sfx.1", 0.0001F, 0.0F);
        QTest::qWait(500);
        Bench::Click(button);
        QCOMPARE(window->property("playing").toStringList(), QStringList());
        QTest::qWait(500);
        recorder.Stop();
        QVERIFY(show.IsPlaying("sfx.1"));
        QCOMPARE(finished.count(), 1); // the preview's end, for its row
        show.stop("sfx.1");
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 2, 5000);

        const auto levels = recorder.Levels();
        const auto [length, level] = LoudPart(levels, 0.02);
        qInfo("the preview sounded %d ms at RMS %.4f", length, level);
        QVERIFY2(std::abs(level - 0.25 / std::sqrt(2.0)) < 0.02,
                 qPrintable(QString::number(level)));
        QVERIFY2(length >= 700 && length <= 1600, qPrintable(QString::number(length)));
        const double tail = *std::max_element(levels.end() - 300 / kWindow, levels.end());
        QVERIFY2(tail < 0.001, qPrintable(QString::number(tail)));
    }

private:
    std::unique_ptr<Bench> m_bench;
};

QTEST_MAIN(TestSfxPreviewPulse)
#include "tst_sfxpreview_pulse.moc"
