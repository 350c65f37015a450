#include "automation/automationjsonoutputadapter.h"

#include "automation/automation.h"
#include "automation/automationjsoninputadapter.h"
#include "automation/checkedjsonwriter.h"
#include "automation/customaudio.h"
#include "automation/eventgroup.h"
#include "automation/networkpath.h"
#include "automation/oscevent.h"
#include "automation/waitevent.h"
#include "sfx/customaudioparameters.h"
#include "sfx/sfxdto.h"

#include <QDir>
#include <QFileInfo>
#include <stdexcept>

namespace tarv::automation {

AutomationJsonOutputAdapter::AutomationJsonOutputAdapter(Automation* document)
    : m_document(document)
{}

AutomationJsonOutputAdapter::~AutomationJsonOutputAdapter() = default;

std::string_view AutomationJsonOutputAdapter::Text(CueFileVersion version, std::size_t expectedSize)
{
    m_writer = std::make_unique<CheckedJsonWriter>(expectedSize);
    m_folder.setPath(QFileInfo(m_document->Path()).absolutePath());
    m_folderPrefix = QDir::cleanPath(m_folder.absolutePath());
    if (!m_folderPrefix.endsWith(QLatin1Char('/'))) {
        m_folderPrefix += QLatin1Char('/');
    }
    CheckedJsonWriter& writer = *m_writer;
    writer.StartObject();
    writer.Member("version", version.ToString());
    writer.Member("min_read_version", version.ToString());
    writer.Key("main");
    WriteEvent(writer, *m_document, 0);
    WriteSoundEffects(writer);
    WriteNetworkPaths(writer);
    writer.EndObject();
    return writer.Text();
}

void AutomationJsonOutputAdapter::Write(std::ostream& out, CueFileVersion version)
{
    const std::string_view text = Text(version);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.flush();
    if (!out) {
        throw std::runtime_error("Unable to write the cue file: the output could not be written");
    }
}

void AutomationJsonOutputAdapter::WriteEvent(CheckedJsonWriter& writer, const Event& event,
                                             int depth) const
{
    // The whole object is written under the event's lock: one lock per event,
    // and no field can change half way through it.
    event.ReadFields([&](const Event::CommonFields& fields) {
        writer.StartObject();
        writer.Member("type", fields.type);
        writer.MemberInt64("offset", fields.offset);
        writer.Member("act", fields.act);
        writer.Member("scene", fields.scene);
        writer.Member("number", fields.number);
        writer.Member("name", fields.name);
        writer.Member("status", fields.status);
        writer.Member("cue_line", fields.cueLine);
        writer.Member("disable_delete", fields.disableDelete);
        WriteTypeFields(writer, event, fields.name, depth);
        writer.EndObject();
    });
}

void AutomationJsonOutputAdapter::WriteTypeFields(CheckedJsonWriter& writer, const Event& event,
                                                  const QString& name, int depth) const
{
    if (const auto* wait = dynamic_cast<const Wait*>(&event)) {
        writer.MemberInt64("wait_time", wait->WaitTime());
    } else if (const auto* group = dynamic_cast<const EventGroup*>(&event)) {
        // A file the reader would refuse is never written.
        const auto events = group->Events();
        if (depth >= AutomationJsonInputAdapter::MaxGroupDepth && !events.empty()) {
            throw std::runtime_error("Unable to write the cue file: event groups are nested more "
                                     "than " +
                                     std::to_string(AutomationJsonInputAdapter::MaxGroupDepth) +
                                     " levels deep");
        }
        writer.Key("events");
        writer.StartArray();
        for (const auto& child : events) {
            WriteEvent(writer, *child, depth + 1);
        }
        writer.EndArray();
    } else if (const auto* audio = dynamic_cast<const CustomAudio*>(&event)) {
        const auto* parameters = audio->parameters();
        const auto what = [&name] { return "the audio event \"" + name.toStdString() + "\""; };
        writer.Key("audio_parameters");
        writer.StartObject();
        writer.Member("name", parameters->name());
        writer.Member("file", RelativeAudioPath(parameters->file()));
        writer.Member("output_path", parameters->outputPath());
        writer.Member("network_patch", parameters->networkPatch());
        writer.MemberInt("repeats", parameters->repeats());
        writer.MemberUint("fade_in", parameters->fadeIn());
        writer.MemberUint("fade_out", parameters->fadeOut());
        writer.MemberDouble("volume", parameters->volume(), what);
        writer.MemberDouble("reverb", parameters->reverb(), what);
        writer.MemberDouble("pan", parameters->pan(), what);
        writer.MemberInt("command", static_cast<std::int32_t>(parameters->command()));
        writer.EndObject();
    } else if (const auto* osc = dynamic_cast<const Osc*>(&event)) {
        writer.Member("network_id", osc->NetworkId());
        writer.Member("message", osc->Message());
    }
}

void AutomationJsonOutputAdapter::WriteSoundEffects(CheckedJsonWriter& writer) const
{
    writer.Key("sound_effects");
    writer.StartArray();
    for (const auto& dto : m_document->SoundEffects()) {
        const auto what = [&dto] { return "the sound effect \"" + dto.eventId() + "\""; };
        writer.StartObject();
        writer.Member("name", dto.name());
        writer.MemberDouble("pan", dto.pan(), what);
        writer.MemberDouble("volume", dto.volume(), what);
        writer.MemberDouble("reverb", dto.reverb(), what);
        writer.MemberInt("repeats", dto.repeats());
        writer.MemberUint("fade_in", dto.fadeIn());
        writer.MemberUint("fade_out", dto.fadeOut());
        writer.Member("output_path", dto.outputPath());
        writer.Member("event_id", dto.eventId());
        writer.Member("effect_path", dto.effectPath());
        writer.Member("effect_id", dto.effectId());
        writer.MemberInt("type", static_cast<std::int32_t>(dto.type()));
        writer.EndObject();
    }
    writer.EndArray();
}

void AutomationJsonOutputAdapter::WriteNetworkPaths(CheckedJsonWriter& writer) const
{
    writer.Key("network_paths");
    writer.StartArray();
    for (const auto& path : m_document->GetNetworks()) {
        writer.StartObject();
        writer.Member("name", path.name);
        writer.Member("network_id", path.network_id);
        writer.Member("ip_address", path.ip_address);
        writer.Member("mode", std::string(path.mode != 0 ? "tcp" : "udp"));
        writer.MemberInt("port", path.port);
        writer.EndObject();
    }
    writer.EndArray();
}

QString AutomationJsonOutputAdapter::RelativeAudioPath(const QString& file) const
{
    // An empty path means "no file"; made relative it would name the folder.
    if (file.isEmpty()) {
        return file;
    }
    // Most audio files lie in or below the cue file's folder: their relative
    // path is what follows the folder, which spares QDir splitting both
    // paths for each of thousands of events. Any other file takes QDir's way.
    const QString cleanFile = QDir::cleanPath(m_folder.absoluteFilePath(file));
    if (cleanFile.size() > m_folderPrefix.size() && cleanFile.startsWith(m_folderPrefix)) {
        return cleanFile.sliced(m_folderPrefix.size());
    }
    return m_folder.relativeFilePath(file);
}

} // namespace tarv::automation
