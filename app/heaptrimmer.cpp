#include "app/heaptrimmer.h"

#include <QCoreApplication>
#include <QEvent>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

// Long enough for a closed window's render thread to have freed its buffers.
constexpr std::chrono::milliseconds kSettleTime{2000};

} // namespace

void HeapTrimmer::Install(QCoreApplication& app)
{
    app.installEventFilter(new HeapTrimmer(kSettleTime, &app));
}

HeapTrimmer::HeapTrimmer(std::chrono::milliseconds delay, QObject* parent)
    : QObject(parent)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(delay);
    m_worker.setMaxThreadCount(1);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_worker.start([this] {
            Trim();
            // This object is still there: its destructor waits for the trim.
            QMetaObject::invokeMethod(this, &HeapTrimmer::trimmed, Qt::QueuedConnection);
        });
    });
}

HeapTrimmer::~HeapTrimmer()
{
    m_timer.stop();
    m_worker.waitForDone();
}

void HeapTrimmer::Trim()
{
#if defined(__GLIBC__)
    // Every arena, not only the main one, and only whole free pages.
    malloc_trim(0);
#endif
}

bool HeapTrimmer::eventFilter(QObject* watched, QEvent* event)
{
    // Not put off by the windows that close meanwhile: an operator who keeps
    // opening and closing windows would otherwise never see a trim.
    if (event->type() == QEvent::Hide && watched->isWindowType() && !m_timer.isActive())
        m_timer.start();
    return QObject::eventFilter(watched, event);
}
