// Quitting a program that plays, against the private PulseAudio server, over
// and over: the outputs are torn down while the sound server's replies and
// Qt Multimedia's exit handlers are under way, and no run may crash.

#include "privatepulseserver.h"

#include <QFileInfo>
#include <QProcess>
#include <QTest>

class TestSfxPlayerExit : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!tarv::testing::PrivatePulseServerRunning())
            QSKIP(tarv::testing::kNoPrivatePulseServer);
    }

    void startingAndQuittingNeverCrashes()
    {
        // Quit at times from before the device is up to while it plays; a
        // few runs at once keep the whole short.
        constexpr int kRuns = 200;
        constexpr int kAtOnce = 4;
        int started = 0;
        int finished = 0;
        QStringList failures;
        std::vector<std::unique_ptr<QProcess>> running;
        while (finished < kRuns) {
            while (started < kRuns && running.size() < kAtOnce) {
                auto probe = std::make_unique<QProcess>();
                probe->setProcessChannelMode(QProcess::ForwardedErrorChannel);
                probe->start(QStringLiteral(TARV_SFX_PROBE),
                             {"--play-at", "0", "--quit-at", QString::number(started % 8 * 25)});
                ++started;
                running.push_back(std::move(probe));
            }
            QProcess& oldest = *running.front();
            if (!oldest.waitForFinished(30000))
                oldest.kill();
            oldest.waitForFinished();
            if (oldest.exitStatus() != QProcess::NormalExit || oldest.exitCode() != 0)
                failures << QStringLiteral("run %1: %2, code %3")
                                .arg(finished)
                                .arg(oldest.exitStatus() == QProcess::CrashExit ? "crashed"
                                                                                : "exited")
                                .arg(oldest.exitCode());
            running.erase(running.begin());
            ++finished;
        }
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join(", ")));
    }
};

QTEST_GUILESS_MAIN(TestSfxPlayerExit)
#include "tst_sfxplayer_exit.moc"
