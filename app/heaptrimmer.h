#pragma once

#include <chrono>
#include <QObject>
#include <QTimer>

class QCoreApplication;

// Gives the heap's free pages back to the system a moment after a window
// closes. Every Qt Quick window renders on a thread of its own, and the C
// library gives such a thread a heap arena of its own: what a window's
// renderer frees stays in that arena, so over a long session each new
// combination of open windows holds on to tens of megabytes more. Where the
// C library is not glibc, Trim does nothing.
class HeapTrimmer : public QObject
{
    Q_OBJECT

public:
    // Watches every window of the application.
    static void Install(QCoreApplication& app);

    explicit HeapTrimmer(std::chrono::milliseconds delay, QObject* parent = nullptr);

    static void Trim();

    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    void trimmed();

private:
    QTimer m_timer;
};
