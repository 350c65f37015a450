#include "automation/automationjsoninputadapter.h"

#include "automation/automation.h"
#include "automation/cuefileversion.h"
#include "automation/customaudio.h"
#include "automation/eventgroup.h"
#include "automation/eventtypes.h"
#include "automation/jsonobjectreader.h"
#include "automation/networkpath.h"
#include "automation/oscevent.h"
#include "automation/waitevent.h"
#include "sfx/customaudioparameters.h"
#include "sfx/sfxdto.h"
#include "sfx/sfxdtobuilder.h"

#include <algorithm>
#include <QDir>
#include <QFileInfo>
#include <rapidjson/document.h>
#include <rapidjson/error/en.h>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace tarv::automation {

namespace {

using tarv::audio::CustomAudioCommand;
using tarv::audio::CustomAudioParameters;
using tarv::audio::SfxType;
using tarv::audio::sfx::SfxDto;
using tarv::networking::NetworkPath;

// Iterative parsing keeps deeply nested input off the call stack; exact
// number parsing keeps saved values unchanged when a file is read back;
// invalid UTF-8 is refused because every text of the file is UTF-8.
constexpr unsigned kParseFlags = rapidjson::kParseIterativeFlag |
                                 rapidjson::kParseFullPrecisionFlag |
                                 rapidjson::kParseValidateEncodingFlag;

// The volume fader of the sound editors runs from -80 dB to 0 dB. A volume
// from a file is held there, so a hand-edited or damaged file can neither
// play louder than an operator could set nor feed the mixer a gain that
// overflows once a fade raises it.
constexpr double kQuietestVolume = 1e-4;
constexpr double kLoudestVolume = 1.0;

double HeldVolume(double volume)
{
    return std::clamp(volume, kQuietestVolume, kLoudestVolume);
}

std::string VersionText(const rapidjson::Value& root, const char* key)
{
    const rapidjson::Value& value = root[key];
    if (!value.IsString()) {
        throw std::runtime_error("Invalid version string");
    }
    return {value.GetString(), value.GetStringLength()};
}

const rapidjson::Value* OptionalArray(const JsonObjectReader& reader, const char* key)
{
    return reader.Has(key) ? &reader.Array(key) : nullptr;
}

} // namespace

AutomationJsonInputAdapter::AutomationJsonInputAdapter(Automation* document)
    : m_document(document)
{}

AutomationJsonInputAdapter::~AutomationJsonInputAdapter() = default;

void AutomationJsonInputAdapter::Read(std::istream& in)
{
    std::ostringstream buffer;
    buffer << in.rdbuf();
    const std::string content = std::move(buffer).str();

    rapidjson::Document root;
    root.Parse<kParseFlags>(content.data(), content.size());
    if (root.HasParseError()) {
        throw std::runtime_error("The file has a parse error: " +
                                 std::to_string(static_cast<int>(root.GetParseError())) + " " +
                                 rapidjson::GetParseError_En(root.GetParseError()));
    }
    if (!root.IsObject() || !root.HasMember("version")) {
        throw std::runtime_error("File does not contain a version.");
    }

    const CueFileVersion version = CueFileVersion::Parse(VersionText(root, "version"));
    const CueFileVersion minReadVersion =
        root.HasMember("min_read_version")
            ? CueFileVersion::Parse(VersionText(root, "min_read_version"))
            : version;
    if (version > CueFileVersion::Current()) {
        if (minReadVersion < CueFileVersion::Current()) {
            throw std::runtime_error("Unable to read Unsupported File Version in JSON Read");
        }
        m_document->ReadOnly(true);
    }

    if (!root.HasMember("main")) {
        throw std::runtime_error("Missing main events grouping.");
    }
    ReadEvents(root["main"], *m_document, 1);

    const JsonObjectReader file(root, "cue file");
    if (const rapidjson::Value* soundEffects = OptionalArray(file, "sound_effects")) {
        std::vector<SfxDto> read;
        read.reserve(soundEffects->Size());
        for (const rapidjson::Value& element : soundEffects->GetArray()) {
            read.push_back(ReadSoundEffect(element));
        }
        m_document->SoundEffects(read);
    }
    if (const rapidjson::Value* networkPaths = OptionalArray(file, "network_paths")) {
        for (const rapidjson::Value& element : networkPaths->GetArray()) {
            m_document->GetNetworks().push_back(ReadNetworkPath(element));
        }
    }
}

void AutomationJsonInputAdapter::ReadEvents(const rapidjson::Value& group, EventGroup& target,
                                            int depth)
{
    const JsonObjectReader reader(group, depth == 1 ? "main events grouping" : "GROUP event");
    if (const rapidjson::Value* events = OptionalArray(reader, "events")) {
        if (depth > MaxGroupDepth && !events->Empty()) {
            throw std::runtime_error("Event groups are nested more than " +
                                     std::to_string(MaxGroupDepth) + " levels deep");
        }
        for (const rapidjson::Value& element : events->GetArray()) {
            target.AddEvent(ReadEvent(element, depth));
        }
    }
}

std::shared_ptr<Event> AutomationJsonInputAdapter::ReadEvent(const rapidjson::Value& value,
                                                             int depth)
{
    const QString type = JsonObjectReader(value, "event").Text("type");
    const JsonObjectReader reader(value, type.toStdString() + " event");

    std::shared_ptr<Event> event;
    if (type == kWaitType) {
        event = std::make_shared<Wait>(reader.Uint32("wait_time"));
    } else if (type == kGroupType) {
        auto group = std::make_shared<EventGroup>();
        ReadEvents(value, *group, depth + 1);
        event = std::move(group);
    } else if (type == kOscType) {
        auto osc = std::make_shared<Osc>(&m_document->GetNetworks());
        if (reader.Has("network_id")) {
            osc->NetworkId(reader.Text("network_id"));
        }
        if (reader.Has("message")) {
            osc->Message(reader.Text("message"));
        }
        event = std::move(osc);
    } else if (type == kAudioType) {
        const unsigned offset = reader.Uint32("offset");
        event = std::make_shared<CustomAudio>(
            ReadAudioParameters(reader.Object("audio_parameters")), offset);
    } else {
        throw std::runtime_error("Unknown event type: " + type.toStdString());
    }

    if (reader.Has("offset")) {
        event->Offset(reader.Uint32("offset"));
    }
    if (reader.Has("act")) {
        event->Act(reader.Text("act"));
    }
    if (reader.Has("scene")) {
        event->Scene(reader.Text("scene"));
    }
    if (reader.Has("cue_line")) {
        event->CueLine(reader.Text("cue_line"));
    }
    if (reader.Has("name")) {
        event->Name(reader.Text("name"));
    }
    if (reader.Has("number")) {
        event->Number(reader.Text("number"));
    }
    if (reader.Has("status")) {
        event->Status(reader.Text("status"));
    }
    if (reader.Has("disable_delete")) {
        event->DisableDelete(reader.Bool("disable_delete"));
    }
    return event;
}

CustomAudioParameters
AutomationJsonInputAdapter::ReadAudioParameters(const rapidjson::Value& value) const
{
    const JsonObjectReader reader(value, "audio parameters");

    // Files keep audio paths relative to their own folder so that a show
    // folder can be moved as a whole. An empty path means "no file" and stays
    // empty.
    QString file = reader.Text("file");
    if (!file.isEmpty() && QDir::isRelativePath(file)) {
        const QDir folder(QFileInfo(m_document->Path()).absolutePath());
        file = QDir::cleanPath(folder.absoluteFilePath(file));
    }

    return CustomAudioParameters::builder()
        .name(reader.Text("name"))
        .file(file)
        .outputPath(reader.Text("output_path"))
        .networkPatch(reader.Text("network_patch"))
        .repeats(reader.Int32("repeats"))
        .fadeIn(reader.Uint32("fade_in"))
        .fadeOut(reader.Uint32("fade_out"))
        .volume(HeldVolume(reader.Number("volume")))
        .reverb(reader.Number("reverb"))
        .pan(reader.Number("pan"))
        .command(static_cast<CustomAudioCommand>(reader.Int32("command")))
        .build();
}

SfxDto AutomationJsonInputAdapter::ReadSoundEffect(const rapidjson::Value& value)
{
    const JsonObjectReader reader(value, "sound effect");

    // The first missing key in this order names the message.
    static const std::pair<const char*, const char*> kRequired[] = {
        {"name", "Malformed sound effect missing name field"},
        {"pan", "Malformed sound effect missing pan field"},
        {"volume", "Malformed sound effect missing volume field"},
        {"reverb", "Malformed sound effect missing reverb field"},
        {"repeats", "Malformed sound effect missing repeat field"},
        {"effect_id", "Malformed sound effect missing effect id field"},
        {"effect_path", "Malformed sound effect missing effect path field"},
        {"fade_in", "Malformed sound effect missing fade in field"},
        {"fade_out", "Malformed sound effect missing fade out field"},
        {"output_path", "Malformed sound effect missing output path field"},
        {"event_id", "Malformed sound effect missing event id field"},
        {"type", "Malformed sound effect missing type field"},
    };
    for (const auto& [key, message] : kRequired) {
        reader.Require(key, message);
    }

    const std::int64_t type = reader.AnyInteger("type");
    return SfxDto::builder()
        .name(reader.Utf8("name"))
        .pan(reader.Float("pan"))
        .volume(static_cast<float>(HeldVolume(reader.Float("volume"))))
        .reverb(reader.Float("reverb"))
        .repeats(reader.Int32("repeats"))
        .effectId(reader.Utf8("effect_id"))
        .effectPath(reader.Utf8("effect_path"))
        .fadeIn(reader.Uint16("fade_in"))
        .fadeOut(reader.Uint16("fade_out"))
        .outputPath(reader.Utf8("output_path"))
        .eventId(reader.Utf8("event_id"))
        .type(type >= 0 && type <= 2 ? static_cast<SfxType>(type) : SfxType::SoundEffect)
        .build();
}

NetworkPath AutomationJsonInputAdapter::ReadNetworkPath(const rapidjson::Value& value)
{
    const JsonObjectReader reader(value, "network path");
    for (const char* key : {"name", "network_id", "ip_address", "mode", "port"}) {
        reader.Require(key, std::string("JSON NetworkPath lacks ") + key + " field");
    }

    NetworkPath path;
    path.name = reader.Utf8("name");
    path.network_id = reader.Utf8("network_id");
    path.ip_address = reader.Utf8("ip_address");
    path.mode = reader.Utf8("mode") == "tcp" ? 1 : 0;
    path.port = reader.Int32("port");
    return path;
}

} // namespace tarv::automation
