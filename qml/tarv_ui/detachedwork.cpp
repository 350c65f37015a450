#include "detachedwork.h"

namespace tarv::ui {

DetachedWork::DetachedWork(QObject* owner)
    : m_mailbox(std::make_shared<Mailbox>(owner))
{}

DetachedWork::~DetachedWork()
{
    m_mailbox->Close();
}

DetachedWork::Mailbox::Mailbox(QObject* owner)
    : m_owner(owner)
{}

// Posted under the lock, so that the owner cannot start to go meanwhile; a
// call posted before it went is discarded with the owner's other events.
void DetachedWork::Mailbox::Deliver(std::function<void()> call)
{
    const std::lock_guard lock(m_mutex);
    if (m_owner != nullptr) {
        QMetaObject::invokeMethod(m_owner, std::move(call), Qt::QueuedConnection);
    }
}

void DetachedWork::Mailbox::Close()
{
    const std::lock_guard lock(m_mutex);
    m_owner = nullptr;
}

} // namespace tarv::ui
