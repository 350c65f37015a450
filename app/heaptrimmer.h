#pragma once

#include <chrono>
#include <QObject>
#include <QThreadPool>
#include <QTimer>

class QCoreApplication;

// Gives the heap's free pages back to the system a moment after a window
// closes. Where Qt Quick windows render on threads of their own, the C
// library gives each such thread a heap arena of its own: what a window's
// renderer frees stays in that arena, so over a long session each new
// combination of open windows holds on to tens of megabytes more. Where the
// C library is not glibc, Trim does nothing. The trim runs on a thread of
// its own: giving back a few hundred megabytes takes tens of milliseconds,
// which GO must not wait for.
class HeapTrimmer : public QObject
{
    Q_OBJECT

public:
    // Watches every window of the application.
    static void Install(QCoreApplication& app);

    explicit HeapTrimmer(std::chrono::milliseconds delay, QObject* parent = nullptr);
    ~HeapTrimmer() override;

    HeapTrimmer(const HeapTrimmer&) = delete;
    HeapTrimmer& operator=(const HeapTrimmer&) = delete;

    static void Trim();

    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    // After each trim, in this object's thread.
    void trimmed();

private:
    QTimer m_timer;
    QThreadPool m_worker;
};
