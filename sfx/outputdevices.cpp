#include "sfx/outputdevices.h"

#ifdef Q_OS_LINUX
#include "sfx/pulseconnection.h"

#include <mutex>
#include <QCoreApplication>
#include <QElapsedTimer>
#else
#include <QMediaDevices>
#endif

namespace tarv::audio {

#ifdef Q_OS_LINUX

namespace {

struct Sinks
{
    QList<OutputDevice> outputs;
    QByteArray defaultName;
};

// Asked on the GUI thread: a server that hangs holds it up only briefly.
constexpr int kAskMilliseconds = 1000;

Sinks AskServer()
{
    Sinks sinks;
    PulseConnection connection;
    const QByteArray name = QCoreApplication::applicationName().toUtf8();
    if (!connection.Connect(name.isEmpty() ? "tarv" : name.constData(), kAskMilliseconds))
        return sinks;
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
    connection.Finish(server, kAskMilliseconds);
    connection.Finish(list, kAskMilliseconds);
    return sinks;
}

// Plays that name an output look it up: the server is asked at most once a
// second, not for each of them.
Sinks CurrentSinks()
{
    constexpr int kFreshMilliseconds = 1000;
    static std::mutex guard;
    static Sinks sinks;
    static QElapsedTimer asked;
    const std::lock_guard lock(guard);
    if (!asked.isValid() || asked.elapsed() > kFreshMilliseconds) {
        sinks = AskServer();
        asked.start();
    }
    return sinks;
}

} // namespace

OutputDevice DefaultOutputDevice()
{
    const Sinks sinks = CurrentSinks();
    for (const OutputDevice& output : sinks.outputs) {
        if (output.id == sinks.defaultName)
            return output;
    }
    return sinks.outputs.isEmpty() ? OutputDevice{} : sinks.outputs.front();
}

QList<OutputDevice> OutputDevices()
{
    return CurrentSinks().outputs;
}

#else

namespace {

OutputDevice FromQt(const QAudioDevice& device)
{
    return {device.id(), device.description(), device};
}

} // namespace

OutputDevice DefaultOutputDevice()
{
    return FromQt(QMediaDevices::defaultAudioOutput());
}

QList<OutputDevice> OutputDevices()
{
    QList<OutputDevice> outputs;
    for (const QAudioDevice& device : QMediaDevices::audioOutputs())
        outputs.append(FromQt(device));
    return outputs;
}

#endif

} // namespace tarv::audio
