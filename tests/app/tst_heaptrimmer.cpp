#include "app/heaptrimmer.h"

#include <memory>
#include <QFile>
#include <QSignalSpy>
#include <QtTest>
#include <QWindow>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

// Resident memory is read from /proc, and only glibc keeps an arena per
// thread; the address sanitizer's allocator keeps a heap of its own.
#if defined(Q_OS_LINUX) && defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__)
#define TARV_ARENAS_MEASURABLE 1
#endif

namespace {

#ifdef TARV_ARENAS_MEASURABLE
// The process's resident memory in MiB.
long ResidentMiB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLong() * 4096 / (1024 * 1024) : -1;
}

// What a window's render thread leaves behind: many buffers freed, and a few
// among them still in use, so that the freed memory lies between buffers in
// use and the thread's arena cannot simply shrink.
std::vector<std::unique_ptr<char[]>> AllocateAndFreeOnAThread(std::size_t megabytes)
{
    std::vector<std::unique_ptr<char[]>> kept;
    std::thread([&] {
        std::vector<std::unique_ptr<char[]>> blocks(megabytes * 256);
        for (auto& block : blocks) {
            block = std::make_unique<char[]>(4096);
            block[0] = 1; // touch it
        }
        for (std::size_t i = 0; i < blocks.size(); i += 64)
            kept.push_back(std::move(blocks[i]));
    }).join();
    return kept;
}
#endif

} // namespace

class TestHeapTrimmer : public QObject
{
    Q_OBJECT

private slots:
    void memoryAWindowsThreadFreedGoesBackOnceAWindowCloses()
    {
#ifndef TARV_ARENAS_MEASURABLE
        QSKIP("no per-thread arenas to measure with this C library or allocator");
#else
        HeapTrimmer trimmer(50ms);
        qApp->installEventFilter(&trimmer);
        QSignalSpy trimmed(&trimmer, &HeapTrimmer::trimmed);

        const long before = ResidentMiB();
        const auto kept = AllocateAndFreeOnAThread(96);
        const long retained = ResidentMiB() - before;
        if (retained < 64)
            QSKIP("the C library gave the freed memory back by itself");

        // A window that is only shown and moved changes nothing.
        QWindow window;
        window.resize(100, 100);
        window.show();
        QTest::qWait(200);
        QVERIFY(trimmed.isEmpty());

        window.close();
        QTRY_COMPARE_WITH_TIMEOUT(trimmed.size(), 1, 30000);
        QVERIFY2(ResidentMiB() - before < retained / 4,
                 qPrintable(QStringLiteral("%1 MiB of %2 MiB still held")
                                .arg(ResidentMiB() - before)
                                .arg(retained)));
        qApp->removeEventFilter(&trimmer);
#endif
    }
};

QTEST_MAIN(TestHeapTrimmer)

#include "tst_heaptrimmer.moc"
