#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <QObject>
#include <system_error>
#include <thread>
#include <type_traits>
#include <utility>

namespace tarv::ui {

// How long a folder may take to answer before a window says that it does
// not: a local folder answers in milliseconds, even one of many thousands of
// files; a network share that stopped answering never does.
inline constexpr std::chrono::milliseconds kFolderPatience{3000};

// Runs file-system work for one object on threads of their own that nothing
// ever waits for, and hands each result to the object's thread while the
// object lives. A call that a hung mount holds up then costs one idle thread,
// never the window, another folder's reading or the end of the program: no
// thread is shared, none is joined at exit, and a result that comes after
// its object has gone is dropped. The work must hold only what it owns.
class DetachedWork
{
public:
    explicit DetachedWork(QObject* owner);
    // Results that come after this are dropped.
    ~DetachedWork();
    DetachedWork(const DetachedWork&) = delete;
    DetachedWork& operator=(const DetachedWork&) = delete;

    // Calls `work()` on a new thread, then `done(result)` on the owner's;
    // false when no thread could be started.
    template <typename Work, typename Done>
    bool Run(Work work, Done done)
    {
        using Result = std::invoke_result_t<Work&>;
        try {
            std::thread([mailbox = m_mailbox, work = std::move(work),
                         done = std::move(done)]() mutable {
                auto result = std::make_shared<Result>(work());
                mailbox->Deliver([done = std::move(done), result] { done(std::move(*result)); });
            }).detach();
            return true;
        } catch (const std::system_error&) {
            return false;
        }
    }

private:
    // Shared by the owner and every thread still at work for it.
    class Mailbox
    {
    public:
        explicit Mailbox(QObject* owner);
        void Deliver(std::function<void()> call);
        void Close();

    private:
        std::mutex m_mutex;
        QObject* m_owner;
    };

    std::shared_ptr<Mailbox> m_mailbox;
};

} // namespace tarv::ui
