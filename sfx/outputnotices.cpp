#include "sfx/outputnotices.h"

#include <QTimer>
#include <utility>

namespace tarv::audio {

OutputNotices::OutputNotices(QObject* parent)
    : QObject(parent)
{}

void OutputNotices::Lost(const QString& subject, const Notice& notice)
{
    Change(subject, true, notice);
}

void OutputNotices::Back(const QString& subject, const Notice& notice)
{
    Change(subject, false, notice);
}

void OutputNotices::Change(const QString& subject, bool lost, const Notice& notice)
{
    Subject& state = m_subjects[subject];
    if (state.lost == lost)
        return;
    state.lost = lost;
    state.notice = notice;
    Settle(subject);
}

void OutputNotices::Settle(const QString& subject)
{
    Subject& state = m_subjects[subject];
    if (state.lost == state.toldLost)
        return;
    // Back without a word: nothing to tell, and nothing to hold.
    if (!state.lost && state.notice.message.isEmpty()) {
        state.toldLost = false;
        return;
    }
    const qint64 since = state.sinceTold.isValid() ? state.sinceTold.elapsed() : kHoldMilliseconds;
    if (since < kHoldMilliseconds) {
        if (!std::exchange(state.held, true))
            QTimer::singleShot(static_cast<int>(kHoldMilliseconds - since), Qt::PreciseTimer, this,
                               [this, subject] {
                                   m_subjects[subject].held = false;
                                   Settle(subject);
                               });
        return;
    }
    state.toldLost = state.lost;
    state.sinceTold.start();
    emit told(state.notice.type, state.notice.message, state.notice.context);
}

} // namespace tarv::audio
