#include "automation/automation.h"
#include "automation/tarvcuefilesfxrepository.h"
#include "sfx/sfxdtobuilder.h"

#include <atomic>
#include <QTest>
#include <sstream>
#include <thread>

using namespace tarv::automation;
using tarv::audio::sfx::SfxDto;

namespace {

void Connect(TarvCueFileSfxRepository& repository, Automation& show)
{
    using R = TarvCueFileSfxRepository;
    using A = Automation;
    QObject::connect(&repository, &R::saveSoundEffect, &show, &A::onSaveSoundEffectRequested);
    QObject::connect(&repository, &R::getSoundEffects, &show, &A::onGetSoundEffectsRequested);
    QObject::connect(&repository, &R::getSoundEffectById, &show, &A::onGetSoundEffectByIdRequested);
    QObject::connect(&repository, &R::updateSoundEffect, &show, &A::onUpdateSoundEffectRequested);
    QObject::connect(&repository, &R::deleteSoundEffect, &show, &A::onRemoveSoundEffectRequested);
    QObject::connect(&repository, &R::nextEventId, &show, &A::onNextSoundEffectEventIdRequested);
    QObject::connect(&repository, &R::previewEventId, &show,
                     &A::onPreviewSoundEffectEventIdRequested);
}

SfxDto Effect(const std::string& eventId, const std::string& name)
{
    return SfxDto::builder().eventId(eventId).name(name).effectId("fx").build();
}

// A document holding the effects "sfx.1" ("one") and "sfx.2" ("two").
std::unique_ptr<Automation> ShowWithEffects()
{
    const std::string effect = R"("pan": 0.5, "volume": 1, "reverb": 0, "repeats": 0, "fade_in": 0,
        "fade_out": 0, "output_path": "", "effect_path": "", "effect_id": "fx", "type": 1)";
    std::istringstream in(R"({"version": "1.0", "main": {}, "sound_effects": [
        {"name": "one", "event_id": "sfx.1", )" +
                          effect + R"(},
        {"name": "two", "event_id": "sfx.2", )" +
                          effect + "}]}");
    auto show = std::make_unique<Automation>();
    show->Open(in);
    return show;
}

// Runs `call` on a thread of its own while this thread keeps the event loop
// going, as the player's threads do with the GUI thread.
template <typename Call>
void OnWorkerThread(Call call)
{
    std::atomic<bool> done{false};
    std::thread worker([&] {
        call();
        done = true;
    });
    // The worker's waits are bounded, so joining after a timeout cannot hang.
    const bool finished = QTest::qWaitFor([&] { return done.load(); }, 15000);
    worker.join();
    QVERIFY(finished);
}

template <typename Call>
bool ThrowsRuntimeError(Call call)
{
    try {
        call();
    } catch (const std::runtime_error&) {
        return true;
    }
    return false;
}

} // namespace

class TestCueFileSfxRepository : public QObject
{
    Q_OBJECT

private slots:
    void answersTheGuiAndAWorkerThread();
    void unansweredCallsThrow();
};

void TestCueFileSfxRepository::answersTheGuiAndAWorkerThread()
{
    const auto show = ShowWithEffects();
    TarvCueFileSfxRepository repository;
    Connect(repository, *show);
    // Called on the GUI thread itself, each call is answered at once.
    QCOMPARE(repository.GenerateEventId(), "sfx.3");
    QVERIFY(!repository.GetById(std::string("sfx.99")).has_value());
    QVERIFY_THROWS_EXCEPTION(std::bad_any_cast, repository.GetById("sfx.1"));

    std::vector<SfxDto> all;
    std::optional<SfxDto> second;
    std::string generated;
    std::string preview;
    OnWorkerThread([&] {
        second = repository.GetById(std::string("sfx.2"));
        generated = repository.GenerateEventId();
        preview = repository.PreviewEventId();
        repository.Update(std::string("sfx.1"), Effect("sfx.1", "renamed"));
        repository.Delete(std::string("sfx.2"));
        repository.Save(Effect("", "saved"));
        // Waiting calls run after the calls before them: this sees them all.
        all = repository.Get();
    });
    QCOMPARE(second.value(), Effect("sfx.2", "two"));
    QCOMPARE(generated, "sfx.4");
    QCOMPARE(preview, "sfx.5");
    QCOMPARE(all.size(), std::size_t{2});
    QCOMPARE(all[0], Effect("sfx.1", "renamed"));
    QCOMPARE(all[1], Effect("sfx.5", "saved"));
    QVERIFY(all == show->SoundEffects());
}

void TestCueFileSfxRepository::unansweredCallsThrow()
{
    // No document connected: the request reaches nobody.
    {
        TarvCueFileSfxRepository repository;
        QVERIFY(ThrowsRuntimeError([&] { repository.Get(); }));
        bool threw = false;
        OnWorkerThread([&] { threw = ThrowsRuntimeError([&] { repository.GenerateEventId(); }); });
        QVERIFY(threw);
    }

    // The document is replaced while a worker waits for it.
    {
        auto show = ShowWithEffects();
        TarvCueFileSfxRepository repository;
        Connect(repository, *show);
        std::atomic<bool> asked{false};
        QObject::connect(
            &repository, &TarvCueFileSfxRepository::getSoundEffects, &repository,
            [&] { asked = true; }, Qt::DirectConnection);
        bool threw = false;
        std::thread worker([&] { threw = ThrowsRuntimeError([&] { repository.Get(); }); });
        while (!asked) {
            std::this_thread::yield();
        }
        show.reset();
        worker.join();
        QVERIFY(threw);
    }

    // The GUI thread never gets to the request in time.
    {
        const auto show = ShowWithEffects();
        TarvCueFileSfxRepository repository(std::chrono::milliseconds(200));
        Connect(repository, *show);
        bool threw = false;
        std::thread worker(
            [&] { threw = ThrowsRuntimeError([&] { repository.PreviewEventId(); }); });
        worker.join();
        QVERIFY(threw);
        QCoreApplication::processEvents();
    }
}

QTEST_GUILESS_MAIN(TestCueFileSfxRepository)
#include "tst_cuefilesfxrepository.moc"
