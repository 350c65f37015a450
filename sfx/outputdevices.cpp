#include "sfx/outputdevices.h"

#ifdef Q_OS_LINUX
#include "sfx/pulseconnection.h"

#include <QCoreApplication>
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

Sinks AskServer()
{
    Sinks sinks;
    PulseConnection connection;
    const QByteArray name = QCoreApplication::applicationName().toUtf8();
    if (!connection.Connect(name.isEmpty() ? "tarv" : name.constData()))
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
    connection.Finish(server);
    connection.Finish(list);
    return sinks;
}

} // namespace

OutputDevice DefaultOutputDevice()
{
    const Sinks sinks = AskServer();
    for (const OutputDevice& output : sinks.outputs) {
        if (output.id == sinks.defaultName)
            return output;
    }
    return sinks.outputs.isEmpty() ? OutputDevice{} : sinks.outputs.front();
}

QList<OutputDevice> OutputDevices()
{
    return AskServer().outputs;
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
