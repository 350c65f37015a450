// The player with no sound server at all: one report that playback is
// silent, and everything else (finished notices, stops, errors) on time.

#include "sfx/audioclip.h"
#include "sfx/clipcache.h"
#include "sfx/customaudioparameters.h"
#include "sfx/mixer.h"
#include "sfx/sfxdtobuilder.h"
#include "sfx/sfxmanifest.h"
#include "sfx/sfxplayer.h"
#include "sfx/sfxplayerconnectionmediator.h"
#include "sfx/sfxplayercontroller.h"
#include "sfx/sfxplayercontrollerimpl.h"
#include "sfx/silentclock.h"
#include "tests/support/fakesfxrepository.h"

#include <fcntl.h>
#include <map>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <stdexcept>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace tarv::audio;
using tarv::audio::sfx::SfxDto;

namespace {

// Milliseconds until the event's sfxFinished, or -1 when it does not come.
qint64 MillisecondsUntilFinished(const std::string& eventId, const QElapsedTimer& since,
                                 int timeout = 5000)
{
    // By its signature text, as the sound-effect manager connects to it.
    QSignalSpy finished(SfxPlayerController().GetPlayer(eventId), SIGNAL(sfxFinished(QString)));
    if (!finished.isValid() || !finished.wait(timeout))
        return -1;
    if (finished.first().first().toString() != QString::fromStdString(eventId))
        return -1;
    return since.elapsed();
}

} // namespace

class TestSfxPlayerSilent : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        auto repository = std::make_unique<FakeSfxRepository>();
        m_repository = repository.get();
        repository->Add("sfx.1", "tone.a440", 1.0F, 0, 0);   // 1 s
        repository->Add("sfx.2", "beep.short", 1.0F, 2, 0);  // 3 x 0.25 s
        repository->Add("sfx.3", "tone.1k", 1.0F, -1, 1000); // loops, 1 s fade-out
        repository->Add("sfx.4", "not.installed", 1.0F, 0, 0);
        std::unique_ptr<SfxRepository> handed = std::move(repository);
        SfxPlayerController player(handed);
        QVERIFY(!handed);
        m_errors = std::make_unique<QSignalSpy>(SfxPlayerConnectionMediator::instance(),
                                                &SfxPlayerConnectionMediator::soundEffectError);

        // The output is opened at once, but a program that has not played
        // yet does not greet the operator with its silence.
        QTRY_VERIFY(SfxPlayerControllerImpl::instance()->IsSilent());
        QTest::qWait(200);
        QCOMPARE(m_errors->count(), 0);
    }

    void finishedArrivesAfterTheFileAgainstTheSilentClock()
    {
        // One second once, and a quarter second three times.
        for (const auto& [id, low, high] : {std::tuple{"sfx.1", 950, 2000}, {"sfx.2", 700, 1750}}) {
            QElapsedTimer clock;
            clock.start();
            SfxPlayerController().play(id);
            const qint64 after = MillisecondsUntilFinished(id, clock);
            QVERIFY2(after >= low && after <= high,
                     qPrintable(QStringLiteral("%1: %2").arg(id).arg(after)));
        }

        QVERIFY(SfxPlayerControllerImpl::instance()->IsSilent());
        QCOMPARE(m_errors->count(), 1); // the missing device, once
        QCOMPARE(m_errors->first().at(0).toString(), QStringLiteral("WARNING"));
        m_errors->clear();
    }

    void stopFadesOutAndPanicCutsAtOnce()
    {
        SfxPlayerController player;
        QVERIFY(!player.IsPlaying("sfx.3"));
        player.play("sfx.3");
        QVERIFY(player.IsPlaying("sfx.3")); // from the play on, its file loading or not
        QSignalSpy finished(player.GetPlayer("sfx.3"), &SfxPlayer::sfxFinished);
        QVERIFY(!finished.wait(400)); // a loop keeps going
        QVERIFY(player.IsPlaying("sfx.3"));
        QElapsedTimer clock;
        clock.start();
        player.stop("sfx.3");                // the event id, not a panic
        QVERIFY(!player.IsPlaying("sfx.3")); // fading out, on its way to silence
        const qint64 faded = MillisecondsUntilFinished("sfx.3", clock);
        QVERIFY2(faded >= 950 && faded <= 2000, qPrintable(QString::number(faded)));

        player.play("sfx.3");
        QTest::qWait(200);
        clock.start();
        player.stop(true);
        QVERIFY(!player.IsPlaying("sfx.3"));
        const qint64 cut = MillisecondsUntilFinished("sfx.3", clock);
        QVERIFY2(cut >= 0 && cut <= 600, qPrintable(QString::number(cut)));

        // Stop-all right after a play ends it too.
        player.play("sfx.3");
        player.stop();
        QVERIFY(MillisecondsUntilFinished("sfx.3", clock, 3000) >= 0);
        QCOMPARE(m_errors->count(), 0);
    }

    void problemsAreReportedOnceEachAndNeverThrownFromPlaysOfIds()
    {
        SfxPlayerController player;
        const auto missing =
            CustomAudioParameters::builder().name("Gone").file("/nonexistent/gone.wav").build();
        player.play(missing);
        QTRY_COMPARE(m_errors->count(), 1);
        QCOMPARE(m_errors->at(0).at(0).toString(), QStringLiteral("ERROR"));
        QCOMPARE(m_errors->at(0).at(2).toString(), QStringLiteral("/nonexistent/gone.wav"));

        QElapsedTimer clock;
        clock.start();
        for (const char* id : {"sfx.99", "sfx.4"}) {
            player.play(id);
            QVERIFY2(MillisecondsUntilFinished(id, clock) >= 0, id);
        }
        QTest::qWait(100);
        QCOMPARE(m_errors->count(), 3);
        QCOMPARE(m_errors->at(1).at(2).toString(), QStringLiteral("sfx.99"));

        // Two plays waiting for the same missing file: one report, one notice.
        m_repository->Add(SfxDto::builder()
                              .eventId("sfx.5")
                              .effectId("own.file")
                              .effectPath("/nonexistent/own.wav")
                              .build());
        QSignalSpy finished(player.GetPlayer("sfx.5"), &SfxPlayer::sfxFinished);
        player.play("sfx.5");
        player.play("sfx.5");
        QVERIFY(finished.wait(10000));
        QTest::qWait(100);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(m_errors->count(), 4);
        m_repository->Delete(std::string("sfx.5"));

        QVERIFY_THROWS_EXCEPTION(
            std::invalid_argument,
            player.play(CustomAudioParameters::builder().name("Empty").build()));

        // An output that cannot be looked up while no server runs: only the
        // server's loss was told, and the effect keeps its time.
        m_errors->clear();
        m_repository->Add(SfxDto::builder()
                              .eventId("sfx.6")
                              .effectId("beep.short")
                              .outputPath("Booth Speakers")
                              .build());
        for (int play = 0; play < 2; ++play) {
            clock.start();
            player.play("sfx.6");
            QVERIFY(MillisecondsUntilFinished("sfx.6", clock) >= 200);
        }
        QCOMPARE(m_errors->count(), 0);
        m_repository->Delete(std::string("sfx.6"));
        m_errors->clear();
    }

    void mediatorAnswersWithTheRepositoryAndAnnouncesLoadedFiles()
    {
        auto* mediator = SfxPlayerConnectionMediator::instance();
        std::promise<SfxRepository*> promise;
        auto future = promise.get_future();
        mediator->onActiveSfxRepositoryRequested(&promise);
        QCOMPARE(future.get(), static_cast<SfxRepository*>(m_repository));
        mediator->onActiveSfxRepositoryRequested(&promise); // answered twice: ignored

        const QString bell =
            QString::fromStdString(tarv::sfx::SfxManifest().path("chime.bell").value());
        QSignalSpy ready(mediator, &SfxPlayerConnectionMediator::onSfxIsReady);
        mediator->preloadCustomAudio(bell);
        QVERIFY(ready.wait(10000));
        QCOMPARE(ready.first().first().toString(), bell);

        ready.clear();
        mediator->onSoundEffectsChanged(); // every instance's file
        QTRY_COMPARE(ready.count(), 3);
        QCOMPARE(m_errors->count(), 0);
    }

    void callsFromAnotherThreadRunOnThePlayersThread()
    {
        SfxPlayer* fromWorker = nullptr;
        std::promise<SfxRepository*> promise;
        auto answer = promise.get_future();
        std::thread worker([&] {
            SfxPlayerController player;
            fromWorker = player.GetPlayer("sfx.2");
            player.play("sfx.2");
            SfxPlayerConnectionMediator::instance()->onActiveSfxRepositoryRequested(&promise);
        });
        worker.join();
        QCOMPARE(fromWorker, SfxPlayerController().GetPlayer("sfx.2"));
        QCOMPARE(fromWorker->thread(), thread());
        QSignalSpy finished(fromWorker, &SfxPlayer::sfxFinished);
        QVERIFY(finished.wait(15000));
        QCOMPARE(answer.get(), static_cast<SfxRepository*>(m_repository));
        QCOMPARE(m_errors->count(), 0);
    }

    void stormOfPlaysFinishesEachOnceAndAPanicStillStopsThem()
    {
        // More plays than the mixer has voices, queued from another thread
        // in one batch, then a panic; each effect lasts two seconds.
        constexpr int kPlays = 2600;
        SfxPlayerController player;
        QSignalSpy ready(SfxPlayerConnectionMediator::instance(),
                         &SfxPlayerConnectionMediator::onSfxIsReady);
        player.PreloadFile(tarv::sfx::SfxManifest().path("tone.1k").value());
        QVERIFY(ready.wait(10000));
        std::map<std::string, int> finished;
        const QObject counting; // ends the counting connections with the test
        std::vector<std::string> ids;
        for (int i = 0; i < kPlays; ++i) {
            ids.push_back("storm." + std::to_string(i));
            m_repository->Add(ids.back(), "tone.1k", 1.0F, 0, 0);
            connect(player.GetPlayer(ids.back()), &SfxPlayer::sfxFinished, &counting,
                    [&finished, id = ids.back()] { ++finished[id]; });
        }
        std::thread worker([&ids] {
            SfxPlayerController fromWorker;
            for (const std::string& id : ids)
                fromWorker.play(id);
            fromWorker.stop(true);
        });
        worker.join();
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), std::size_t{kPlays}, 30000);
        QTest::qWait(200);
        QVERIFY(std::ranges::all_of(finished, [](const auto& f) { return f.second == 1; }));
        QVERIFY2(m_errors->count() <= 2, qPrintable(QString::number(m_errors->count())));

        QElapsedTimer clock;
        clock.start();
        player.play(ids.front());
        const qint64 after = MillisecondsUntilFinished(ids.front(), clock);
        QVERIFY2(after >= 1900 && after <= 3000, qPrintable(QString::number(after)));
        for (const std::string& id : ids)
            m_repository->Delete(id);
        m_errors->clear();
    }

    void playsBeyondTheVoicesOrTheQueueAreReportedForWhatStoppedThem()
    {
        // Played in one go on the player's thread, so nobody reads the end
        // notices meanwhile: the mixer stops taking starts, and its command
        // queue fills up behind the voices that are all busy.
        constexpr int kPlays = 4000;
        SfxPlayerController player;
        QSignalSpy ready(SfxPlayerConnectionMediator::instance(),
                         &SfxPlayerConnectionMediator::onSfxIsReady);
        const std::string tone = tarv::sfx::SfxManifest().path("tone.1k").value();
        player.PreloadFile(tone);
        QVERIFY(ready.wait(10000));
        m_errors->clear();
        const auto toneOnce = CustomAudioParameters::builder()
                                  .name("Tone")
                                  .file(QString::fromStdString(tone))
                                  .build();
        for (int i = 0; i < kPlays; ++i)
            player.play(toneOnce);

        // Each play that did not sound is counted once, under its cause; the
        // counts come at most once a second.
        int noVoice = 0;
        int queueFull = 0;
        QStringList others;
        const auto tally = [&] {
            noVoice = queueFull = 0;
            others.clear();
            const QRegularExpression count(QStringLiteral(": (\\d+) sound effects"));
            for (const QList<QVariant>& error : std::as_const(*m_errors)) {
                const QString message = error.at(1).toString();
                const auto match = count.match(message);
                const int n = match.hasMatch() ? match.captured(1).toInt() : 1;
                if (message.startsWith(QStringLiteral("Too many sounds are playing")))
                    noVoice += n;
                else if (message.startsWith(QStringLiteral("Too many sound commands at once")))
                    queueFull += n;
                else
                    others.append(message);
            }
            return noVoice + queueFull >= kPlays - static_cast<int>(Mixer::kMaxVoices);
        };
        (void)QTest::qWaitFor(tally, 30000);
        QTest::qWait(1500); // a report more would come within a second
        tally();
        QVERIFY2(others.isEmpty(), qPrintable(others.join('\n')));
        player.stop(true);
        QTest::qWait(100);
        m_errors->clear();
        QVERIFY2(queueFull > 0, qPrintable(QString::number(queueFull)));
        QCOMPARE(noVoice + queueFull, kPlays - static_cast<int>(Mixer::kMaxVoices));
    }

    // Files whose reading never ends (a network share that stopped
    // answering; here FIFOs that no one writes) hold up no other file, and
    // the cache goes without waiting for them.
    void hungFileReadsHoldUpNoOtherClipNorTheEnd()
    {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        std::vector<std::string> hung;
        for (int i = 0; i < 6; ++i) {
            hung.push_back(folder.filePath(QStringLiteral("hung-%1.wav").arg(i)).toStdString());
            QCOMPARE(::mkfifo(hung.back().c_str(), 0600), 0);
        }
        // Whatever the outcome, the readings are let go in the end: each FIFO
        // opened for writing and closed, which ends its reader's wait.
        const auto release = qScopeGuard([&hung] {
            for (const std::string& path : hung) {
                const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0)
                    ::close(fd);
            }
        });
        const tarv::sfx::SfxManifest manifest;
        const std::string tone = manifest.path("tone.1k").value();
        QElapsedTimer clock;
        clock.start();
        qint64 ended = -1;
        {
            ClipCache cache;
            QSignalSpy ready(&cache, &ClipCache::clipReady);
            for (const std::string& path : hung)
                cache.Load(path);
            cache.Load(tone);
            QVERIFY2(ready.wait(5000), "a file waited behind the hung ones");
            QCOMPARE(ready.first().first().toString(), QString::fromStdString(tone));
            qInfo("the file came after %lld ms", clock.elapsed());
            clock.restart();
        }
        ended = clock.elapsed();
        qInfo("the cache went %lld ms after it was let go", ended);
        QVERIFY2(ended < 1000, qPrintable(QString::number(ended)));
    }

    void clipCacheFreesLeastRecentlyUsedClipsThatNothingPlays()
    {
        const tarv::sfx::SfxManifest manifest;
        const std::string tone = manifest.path("tone.1k").value();    // 768000 bytes
        const std::string beep = manifest.path("beep.short").value(); // 96000 bytes
        const std::string a440 = manifest.path("tone.a440").value();  // 384000 bytes
        ClipCache cache;
        QSignalSpy ready(&cache, &ClipCache::clipReady);
        for (const std::string& path : {tone, beep, a440})
            cache.Load(path);
        QTRY_COMPARE(ready.count(), 3);
        for (const std::string& path : {beep, tone, a440}) // the beep is the oldest use
            QVERIFY(cache.Find(path));

        cache.SetBudget(768000 + 384000);
        cache.Trim({});
        QVERIFY(!cache.Find(beep));
        QVERIFY(cache.Find(tone) && cache.Find(a440));

        cache.SetBudget(1);
        cache.Trim({tone}); // playing: kept over budget
        QVERIFY(cache.Find(tone));
        QVERIFY(!cache.Find(a440));
        QCOMPARE(cache.Bytes(), std::size_t{768000});
    }

    void silentClockKeepsTimeForWeeks()
    {
        // Crossing 2^64 / 48000 ns (106.75 hours), and twice that, when a
        // product of nanoseconds and the rate no longer fits in 64 bits.
        constexpr std::int64_t kWrap = 384307168202282; // ns
        for (const std::int64_t at : {std::int64_t{0}, kWrap - 50000000, 2 * kWrap - 50000000}) {
            Mixer mixer;
            std::int64_t now = 5;
            SilentClock clock(mixer, [&now] { return now; });
            clock.Start();
            now += at;
            clock.Tick();
            const AudioClip clip("tenth", std::vector<float>(9600, 0.5F)); // 100 ms
            MixerCommand start;
            start.kind = MixerCommand::Kind::Start;
            start.voice = 1;
            start.clip = &clip;
            mixer.Submit(start);
            const std::uint64_t from = mixer.FramesRendered();
            for (int tick = 0; tick < 30; ++tick) {
                now += 5000000 + 1;
                clock.Tick();
            }
            QCOMPARE(mixer.FramesRendered() - from, std::uint64_t{7200});
            const auto ended = mixer.TakeEnded();
            QVERIFY2(ended && ended->endFrame - from == 4800, qPrintable(QString::number(at)));
        }
    }

    void silentClockMovesOnOverAllTheTimeItWasHeldUp()
    {
        // A second's clip looping on, and the same clip repeated so that it
        // ends within the hold-up: at the frame rendering would end it.
        const AudioClip second("second", std::vector<float>(2 * 48000, 0.5F));
        for (const int heldUp : {6, 12, 86400}) {
            Mixer mixer;
            std::int64_t now = 0;
            SilentClock clock(mixer, [&now] { return now; });
            clock.Start();
            for (const int repeats : {-1, heldUp - 2}) {
                MixerCommand start;
                start.kind = MixerCommand::Kind::Start;
                start.voice = repeats < 0 ? 1 : 2;
                start.clip = &second;
                start.settings.repeats = repeats;
                QVERIFY(mixer.Submit(start));
            }
            now += 1000000000;
            clock.Tick();
            now += std::int64_t{heldUp} * 1000000000;
            clock.Tick();
            QCOMPARE(mixer.FramesRendered(), std::uint64_t{48000} * (heldUp + 1));
            const auto ended = mixer.TakeEnded();
            QVERIFY2(ended && ended->voice == 2 &&
                         ended->endFrame == std::uint64_t{48000} * (heldUp - 1),
                     qPrintable(QString::number(heldUp)));
            QVERIFY(!mixer.TakeEnded());
        }
    }

private:
    FakeSfxRepository* m_repository = nullptr;
    std::unique_ptr<QSignalSpy> m_errors;
};

QTEST_GUILESS_MAIN(TestSfxPlayerSilent)
#include "tst_sfxplayer_silent.moc"
