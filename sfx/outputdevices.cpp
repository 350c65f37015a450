#include "sfx/outputdevices.h"

#ifdef Q_OS_LINUX
#include "sfx/pulseconnection.h"
#include "sfx/realtimethread.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <pthread.h>
#include <QCoreApplication>
#include <thread>
#else
#include <QMediaDevices>
#endif

#include <algorithm>

namespace tarv::audio {

OutputDevice KnownOutputs::Default() const
{
    for (const OutputDevice& output : outputs) {
        if (output.id == defaultName)
            return output;
    }
    return outputs.isEmpty() ? OutputDevice{} : outputs.front();
}

std::optional<OutputDevice> KnownOutputs::Find(const QString& name) const
{
    const QByteArray id = name.toUtf8();
    const auto found = std::find_if(outputs.begin(), outputs.end(), [&](const OutputDevice& d) {
        return d.description == name || d.id == id;
    });
    return found == outputs.end() ? std::nullopt : std::optional<OutputDevice>(*found);
}

bool KnownOutputs::Has(const QByteArray& id) const
{
    return std::any_of(outputs.begin(), outputs.end(),
                       [&](const OutputDevice& d) { return d.id == id; });
}

#ifdef Q_OS_LINUX

namespace {

// Keeps what is known of the server's outputs, on a thread of its own, so
// that no play waits on a server that hangs or is gone.
class SinkWatcher
{
public:
    // A server that takes longer than this to answer counts as hanging.
    static constexpr int kAnswerMilliseconds = 1000;
    // How often a server that runs is asked whether it still answers, and a
    // server that does not run is looked for.
    static constexpr int kAskMilliseconds = 1000;
    // Its own and its connection's, as the system's tools list them.
    static constexpr auto kThreadName = "tarv outputs";

    static SinkWatcher& Instance()
    {
        static SinkWatcher watcher;
        return watcher;
    }

    KnownOutputs Current(int waitMilliseconds)
    {
        std::unique_lock lock(m_mutex);
        if (waitMilliseconds > 0)
            m_changed.wait_for(lock, std::chrono::milliseconds(waitMilliseconds),
                               [this] { return m_known.server != KnownOutputs::Server::Unknown; });
        return m_known;
    }

    ~SinkWatcher()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }

    SinkWatcher(const SinkWatcher&) = delete;
    SinkWatcher& operator=(const SinkWatcher&) = delete;

private:
    struct Sinks
    {
        QList<OutputDevice> outputs;
        QByteArray defaultName;
    };

    SinkWatcher()
        : m_clientName(QCoreApplication::applicationName().toUtf8())
        , m_thread([this] { Run(); })
    {}

    void Run()
    {
        pthread_setname_np(pthread_self(), kThreadName);
        // Started from a feed's real-time thread, perhaps: it would take the
        // machine from the feeds and the server while it waits for one.
        RealtimeThread::RunNormally();
        while (!Stopping()) {
            PulseConnection connection;
            connection.NameThread(kThreadName);
            // Never behind the outputs' turns: whether the server answers is
            // told by this connection.
            if (!connection.Connect(m_clientName.isEmpty() ? "tarv" : m_clientName.constData(),
                                    kAnswerMilliseconds, PulseConnection::Turn::Skip)) {
                // Still connecting when the time was up: a server is there but
                // does not answer.
                Publish(connection.IsGood() ? KnownOutputs::Server::NotAnswering
                                            : KnownOutputs::Server::Absent,
                        nullptr);
                Sleep();
                continue;
            }
            Follow(connection);
            while (!Stopping() && connection.IsGood()) {
                {
                    const std::lock_guard lock(m_mutex);
                    m_dirty = false;
                }
                Sinks sinks;
                if (Ask(connection, sinks))
                    Publish(KnownOutputs::Server::Answering, &sinks);
                else
                    Publish(KnownOutputs::Server::NotAnswering, nullptr);
                Sleep();
            }
        }
    }

    // Wakes the thread at each change of the server's sinks or default.
    void Follow(PulseConnection& connection)
    {
        const PulseConnection::Lock lock(connection);
        pa_context_set_subscribe_callback(
            connection.Context(),
            [](pa_context*, pa_subscription_event_type_t, std::uint32_t, void* data) {
                auto* watcher = static_cast<SinkWatcher*>(data);
                {
                    const std::lock_guard guard(watcher->m_mutex);
                    watcher->m_dirty = true;
                }
                watcher->m_changed.notify_all();
            },
            this);
        if (pa_operation* operation =
                pa_context_subscribe(connection.Context(),
                                     static_cast<pa_subscription_mask_t>(
                                         PA_SUBSCRIPTION_MASK_SINK | PA_SUBSCRIPTION_MASK_SERVER),
                                     nullptr, nullptr))
            pa_operation_unref(operation);
    }

    static bool Ask(PulseConnection& connection, Sinks& sinks)
    {
        pa_operation* server = nullptr;
        pa_operation* list = nullptr;
        {
            const PulseConnection::Lock lock(connection);
            server = pa_context_get_server_info(
                connection.Context(),
                [](pa_context*, const pa_server_info* info, void* data) {
                    if (info != nullptr && info->default_sink_name != nullptr)
                        static_cast<Sinks*>(data)->defaultName = info->default_sink_name;
                },
                &sinks);
            list = pa_context_get_sink_info_list(
                connection.Context(),
                [](pa_context*, const pa_sink_info* info, int last, void* data) {
                    if (last == 0 && info != nullptr)
                        static_cast<Sinks*>(data)->outputs.append(
                            {QByteArray(info->name), QString::fromUtf8(info->description)});
                },
                &sinks);
        }
        // Both within one bound. An answer that comes after it is dropped
        // by the server's loop: the callbacks are cancelled with the
        // operations.
        const bool done = connection.WaitFor(
            [server, list] {
                const auto running = [](pa_operation* o) {
                    return o != nullptr && pa_operation_get_state(o) == PA_OPERATION_RUNNING;
                };
                return running(server) || running(list) ? 0 : 1;
            },
            kAnswerMilliseconds);
        const PulseConnection::Lock lock(connection);
        for (pa_operation* operation : {server, list}) {
            if (operation == nullptr)
                continue;
            pa_operation_cancel(operation);
            pa_operation_unref(operation);
        }
        return done && server != nullptr && list != nullptr;
    }

    void Publish(KnownOutputs::Server server, const Sinks* sinks)
    {
        {
            const std::lock_guard lock(m_mutex);
            m_known.server = server;
            // A server that hangs leaves what it told last; one that is gone
            // has no outputs.
            const Sinks now = sinks != nullptr ? *sinks
                              : server == KnownOutputs::Server::Absent
                                  ? Sinks{}
                                  : Sinks{m_known.outputs, m_known.defaultName};
            const auto same = [](const QList<OutputDevice>& a, const QList<OutputDevice>& b) {
                return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                                  [](const OutputDevice& x, const OutputDevice& y) {
                                      return x.id == y.id && x.description == y.description;
                                  });
            };
            if (!same(now.outputs, m_known.outputs) || now.defaultName != m_known.defaultName) {
                m_known.outputs = now.outputs;
                m_known.defaultName = now.defaultName;
                ++m_known.generation;
            }
        }
        m_changed.notify_all();
    }

    bool Stopping()
    {
        const std::lock_guard lock(m_mutex);
        return m_stopping;
    }

    // Until the next ask, a change or the end.
    void Sleep()
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait_for(lock, std::chrono::milliseconds(kAskMilliseconds),
                           [this] { return m_stopping || m_dirty; });
    }

    const QByteArray m_clientName;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    KnownOutputs m_known;
    bool m_dirty = false;
    bool m_stopping = false;
    std::thread m_thread; // last: it uses the members above
};

} // namespace

KnownOutputs CurrentOutputs(int waitMilliseconds)
{
    return SinkWatcher::Instance().Current(waitMilliseconds);
}

void AbandonServerWaits()
{
    PulseConnection::AbandonWaits();
}

#else

void AbandonServerWaits() {}

KnownOutputs CurrentOutputs(int)
{
    KnownOutputs known;
    known.server = KnownOutputs::Server::Answering;
    for (const QAudioDevice& device : QMediaDevices::audioOutputs())
        known.outputs.append({device.id(), device.description(), device});
    known.defaultName = QMediaDevices::defaultAudioOutput().id();
    return known;
}

#endif

OutputDevice DefaultOutputDevice()
{
    return CurrentOutputs().Default();
}

QList<OutputDevice> OutputDevices()
{
    return CurrentOutputs().outputs;
}

} // namespace tarv::audio
