// A whole program around the shared player, for the tests that need a
// process of their own: one that is stopped with a signal, started with its
// own PulseAudio settings, or started and quit many times.
//
//   sfx_probe [--play-at <ms>]... [--loops <count>] [--quit-at <ms>]
//             [--output <name>] [--repeats <count>]
//             [--fade-at <ms>:<level>:<fade ms>]...
//
// Plays the 2 s tone "sfx.tone" (and <count> repeats of it) at each time
// given (milliseconds after the player was created), on the output named by
// --output (default: the default output), fades it to <level> of its volume
// over <fade ms> at each --fade-at, starts <count> quiet voices of the tone
// that loop until the end, and quits at --quit-at (default 1000). Prints one
// line
// per happening, each with the time in milliseconds since the player was
// created (the clock keeps counting while the process is stopped):
//   ready <ms> <buffer ms>      the default output is up (0: silent)
//   played <ms>
//   finished <ms>
//   report <ms> <type> <message>
//   quitting <ms>

#include "sfx/sfxplayer.h"
#include "sfx/sfxplayerconnectionmediator.h"
#include "sfx/sfxplayercontroller.h"
#include "sfx/sfxplayercontrollerimpl.h"
#include "tests/support/fakesfxrepository.h"

#include <cstdio>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <QTimer>
#include <string>

using namespace tarv::audio;

namespace {

void Print(const QElapsedTimer& clock, const QString& what)
{
    std::printf("%s\n", qPrintable(QStringLiteral("%1 %2").arg(what).arg(clock.elapsed())));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QList<int> playAt;
    int loops = 0;
    int quitAt = 1000;
    int repeats = 0;
    QList<QStringList> fades;
    std::string output;
    const QStringList arguments = app.arguments();
    for (qsizetype i = 1; i + 1 < arguments.size(); i += 2) {
        if (arguments[i] == QLatin1String("--play-at"))
            playAt.append(arguments[i + 1].toInt());
        else if (arguments[i] == QLatin1String("--loops"))
            loops = arguments[i + 1].toInt();
        else if (arguments[i] == QLatin1String("--quit-at"))
            quitAt = arguments[i + 1].toInt();
        else if (arguments[i] == QLatin1String("--output"))
            output = arguments[i + 1].toStdString();
        else if (arguments[i] == QLatin1String("--repeats"))
            repeats = arguments[i + 1].toInt();
        else if (arguments[i] == QLatin1String("--fade-at"))
            fades.append(arguments[i + 1].split(QLatin1Char(':')));
    }

    QElapsedTimer clock;
    clock.start();
    auto repository = std::make_unique<FakeSfxRepository>();
    repository->Add(FakeSfxRepository::SfxDto::builder()
                        .name("sfx.tone")
                        .eventId("sfx.tone")
                        .effectId("tone.1k")
                        .volume(0.5F)
                        .pan(0.5F)
                        .outputPath(output)
                        .repeats(repeats)
                        .type(tarv::audio::SfxType::SoundEffect)
                        .build());
    // Together at about the level of the single tone.
    repository->Add("sfx.loop", "tone.1k", loops > 0 ? 0.5F / static_cast<float>(loops) : 0.0F, -1,
                    0);
    std::unique_ptr<SfxRepository> handed = std::move(repository);
    SfxPlayerController player(handed);

    QObject::connect(SfxPlayerConnectionMediator::instance(),
                     &SfxPlayerConnectionMediator::soundEffectError, &app,
                     [&clock](const QString& type, const QString& message) {
                         std::printf("report %lld %s %s\n", clock.elapsed(), qPrintable(type),
                                     qPrintable(message));
                         std::fflush(stdout);
                     });
    QObject::connect(player.GetPlayer("sfx.tone"), &SfxPlayer::sfxFinished, &app,
                     [&clock] { Print(clock, QStringLiteral("finished")); });
    QTimer ready;
    ready.setInterval(5);
    QObject::connect(&ready, &QTimer::timeout, &app, [&] {
        SfxPlayerControllerImpl* engine = SfxPlayerControllerImpl::instance();
        if (!engine->IsSilent() && engine->OutputBufferMilliseconds() <= 0.0)
            return;
        ready.stop();
        std::printf("ready %lld %.1f\n", clock.elapsed(), engine->OutputBufferMilliseconds());
        std::fflush(stdout);
    });
    ready.start();
    for (const int at : playAt) {
        QTimer::singleShot(at, Qt::PreciseTimer, &app, [&] {
            player.play("sfx.tone");
            Print(clock, QStringLiteral("played"));
        });
    }
    for (const QStringList& fade : fades) {
        if (fade.size() != 3)
            continue;
        QTimer::singleShot(fade[0].toInt(), Qt::PreciseTimer, &app, [&player, fade] {
            player.FadeTo("sfx.tone", fade[1].toFloat(), fade[2].toFloat());
        });
    }
    for (int i = 0; i < loops; ++i)
        player.play("sfx.loop");
    QTimer::singleShot(quitAt, Qt::PreciseTimer, &app, [&] {
        Print(clock, QStringLiteral("quitting"));
        QCoreApplication::quit();
    });
    return app.exec();
}
