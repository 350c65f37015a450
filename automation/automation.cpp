#include "automation/automation.h"

#include "automation/automationjsoninputadapter.h"
#include "automation/automationjsonoutputadapter.h"
#include "automation/cuefileversion.h"
#include "automation/customaudio.h"
#include "automation/filereplacement.h"

#include <algorithm>
#include <climits>
#include <QFile>
#include <QFileInfo>
#include <set>
#include <sstream>
#include <stdexcept>

namespace tarv::automation {

namespace {

using tarv::audio::sfx::SfxDto;

constexpr const char* kSfxIdPrefix = "sfx.";

// A show's cue file stays far below this; a file above it says nothing about
// the size of the show that replaces it.
constexpr qint64 kLargestExpectedSize = qint64{64} * 1024 * 1024;

// A promise answered twice (the repository connected to two documents) must
// not throw out of a slot: the first answer stands.
template <typename Promise, typename Value>
void Answer(const std::shared_ptr<Promise>& promise, Value&& value)
{
    if (!promise) {
        return;
    }
    try {
        promise->set_value(std::forward<Value>(value));
    } catch (const std::future_error&) {
    }
}

// The first record with the event id, in the list itself or in a const view.
template <typename Records>
auto FindByEventId(Records& records, const std::string& eventId)
{
    return std::find_if(records.begin(), records.end(),
                        [&](const SfxDto& dto) { return dto.eventId() == eventId; });
}

[[noreturn]] void ThrowSaveError(const QString& path, const QString& reason)
{
    throw std::runtime_error(
        QStringLiteral("Unable to save the cue file %1: %2").arg(path, reason).toStdString());
}

} // namespace

Automation::Automation() = default;

Automation::~Automation() = default;

Result Automation::Open(const QString& path)
{
    Path(path);
    const auto unreadable = [&path](const QString& why) {
        return CueFileUnreadable(
            QStringLiteral("The file \"%1\" cannot be read: %2.").arg(path, why).toStdString());
    };
    // Devices and pipes are refused too: reading /dev/zero or a FIFO without
    // a writer would never end.
    const QFileInfo info(path);
    if (!info.exists()) {
        throw unreadable(QStringLiteral("it does not exist"));
    }
    if (!info.isFile()) {
        throw unreadable(QStringLiteral("it is not a regular file"));
    }
    const auto tooLarge = [&path] {
        return CueFileUnreadable(QStringLiteral("The file \"%1\" is larger than %2 MiB, more "
                                                "than any cue file holds; it was not opened.")
                                     .arg(path)
                                     .arg(kMaxCueFileSize / (1024 * 1024))
                                     .toStdString());
    };
    // Checked before reading: parsing takes several times the file's size
    // in memory and freezes the window meanwhile.
    if (info.size() > kMaxCueFileSize) {
        throw tooLarge();
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw unreadable(file.error() == QFileDevice::PermissionsError
                             ? QStringLiteral("you have no permission to read it")
                             : file.errorString());
    }
    // A file that grew since its size was taken is cut off one byte past
    // the limit, so it is still refused.
    const QByteArray content = file.read(kMaxCueFileSize + 1);
    if (content.size() > kMaxCueFileSize) {
        throw tooLarge();
    }
    std::istringstream in(content.toStdString(), std::ios::binary);
    return Open(in);
}

Result Automation::Open(std::istream& in)
{
    Result result;
    AutomationJsonInputAdapter(this).Read(in);
    ConnectAudioRequests();
    m_nextSfxSuffix = GetNextEventIdSuffix();
    RepairDuplicateEventIds(result);
    return result;
}

void Automation::ConnectAudioRequests()
{
    const auto connectAudio = [this](const std::shared_ptr<Event>& event) {
        if (auto* audio = qobject_cast<CustomAudio*>(event.get())) {
            connect(audio, &CustomAudio::requestPlay, this, &Automation::onRequestPlay);
            connect(audio, &CustomAudio::requestStop, this, &Automation::onRequestStop);
        }
    };
    // Cues hold the audio events; deeper groups are not searched.
    for (const auto& entry : Events()) {
        connectAudio(entry);
        if (const auto* cue = qobject_cast<EventGroup*>(entry.get())) {
            for (const auto& child : cue->Events()) {
                connectAudio(child);
            }
        }
    }
}

void Automation::RepairDuplicateEventIds(Result& result)
{
    std::set<std::string> seen;
    for (SfxDto& dto : m_soundEffects) {
        if (seen.insert(dto.eventId()).second) {
            continue;
        }
        if (m_nextSfxSuffix == INT_MAX) {
            throw std::runtime_error(
                "No sound effect event id is left to replace the duplicate id " + dto.eventId());
        }
        const std::string oldId = dto.eventId();
        const std::string newId = kSfxIdPrefix + std::to_string(m_nextSfxSuffix++);
        dto.setEventId(newId);
        seen.insert(newId);
        result.AddNote(ResultNote(
            QString::fromStdString("A duplicate sfx event id " + oldId + " was found for " +
                                   dto.effectId() + ". It was automatically assigned a new sfx " +
                                   "event id " + newId + "."),
            NoteType::DuplicateSfxEventId));
    }
}

void Automation::Save(const QString& path)
{
    Path(path);

    // Everything that can fail before the disk is touched fails here. The
    // text goes to the file from the writer's own buffer: a large show is
    // several megabytes, and every copy of it holds up the window. The file
    // it replaces is the best guess of its size, unless it is larger than any
    // show (some other file chosen to be overwritten).
    const QFileInfo target(path);
    const qint64 previousSize = target.isFile() ? target.size() : 0;
    const qint64 expectedSize = previousSize <= kLargestExpectedSize ? previousSize * 9 / 8 : 0;
    AutomationJsonOutputAdapter adapter(this);
    const std::string_view bytes =
        adapter.Text(CueFileVersion::Current(), static_cast<std::size_t>(expectedSize));

    // Replacing a device or other special file with a regular one would be
    // worse than failing.
    if (target.exists() && !target.isFile()) {
        ThrowSaveError(path, QStringLiteral("it is not a regular file"));
    }
    try {
        FileReplacement file(path);
        file.Write(bytes);
        file.Commit();
    } catch (const FileReplacementError& e) {
        ThrowSaveError(path, QString::fromStdString(e.what()));
    }
}

QString Automation::Path() const
{
    return m_path;
}

void Automation::Path(const QString& value)
{
    m_path = value;
}

bool Automation::ReadOnly() const
{
    return m_readOnly;
}

void Automation::ReadOnly(bool value)
{
    m_readOnly = value;
}

std::vector<networking::NetworkPath>& Automation::GetNetworks()
{
    return m_networks;
}

const std::vector<networking::NetworkPath>& Automation::GetNetworks() const
{
    return m_networks;
}

std::vector<SfxDto> Automation::SoundEffects() const
{
    return m_soundEffects;
}

void Automation::SoundEffects(const std::vector<SfxDto>& value)
{
    m_soundEffects = value;
}

void Automation::AddSoundEffect(const SfxDto& dto)
{
    m_soundEffects.push_back(dto);
}

std::optional<SfxDto> Automation::GetSoundEffect(const std::string& eventId) const
{
    const auto found = FindByEventId(m_soundEffects, eventId);
    if (found == m_soundEffects.end()) {
        return std::nullopt;
    }
    return *found;
}

void Automation::RemoveSoundEffect(const std::string& eventId)
{
    const auto found = FindByEventId(m_soundEffects, eventId);
    if (found != m_soundEffects.end()) {
        m_soundEffects.erase(found);
    }
}

void Automation::UpdateSoundEffect(const std::string& eventId, const SfxDto& dto)
{
    // Copied first: `eventId` may refer into an entry that is overwritten.
    const std::string id = eventId;
    for (SfxDto& entry : m_soundEffects) {
        if (entry.eventId() == id) {
            entry = dto;
        }
    }
}

int Automation::GetNextEventIdSuffix() const
{
    int result = 1;
    for (const SfxDto& dto : m_soundEffects) {
        const std::string& id = dto.eventId();
        const auto lastNonDigit = id.find_last_not_of("0123456789");
        const std::string number = lastNonDigit != std::string::npos && lastNonDigit + 1 < id.size()
                                       ? id.substr(lastNonDigit + 1)
                                       : std::string();
        int value = 0;
        try {
            value = std::stoi(number);
        } catch (const std::invalid_argument&) {
            throw std::runtime_error("The sound effect event id \"" + id +
                                     "\" does not end in a number after its prefix");
        } catch (const std::out_of_range&) {
            value = INT_MAX;
        }
        if (value == INT_MAX) {
            throw std::runtime_error("The sound effect event id \"" + id +
                                     "\" has a number too large to number further ids after it");
        }
        if (value >= result) {
            result = value + 1;
        }
    }
    return result;
}

void Automation::onRequestPlay(tarv::audio::CustomAudioParameters* parameters)
{
    emit playCustomAudio(parameters);
}

void Automation::onRequestStop(tarv::audio::CustomAudioParameters* parameters)
{
    emit stopCustomAudio(parameters);
}

void Automation::onGetSoundEffectsRequested(
    std::shared_ptr<std::promise<std::vector<SfxDto>>> promise)
{
    Answer(promise, m_soundEffects);
}

void Automation::onGetSoundEffectByIdRequested(
    const std::string& id, std::shared_ptr<std::promise<std::optional<SfxDto>>> promise)
{
    Answer(promise, GetSoundEffect(id));
}

void Automation::onSaveSoundEffectRequested(const SfxDto& dto)
{
    AddSoundEffect(dto);
}

void Automation::onUpdateSoundEffectRequested(const std::string& id, const SfxDto& dto)
{
    if (GetSoundEffect(id)) {
        UpdateSoundEffect(id, dto);
    }
}

void Automation::onRemoveSoundEffectRequested(std::string id)
{
    RemoveSoundEffect(id);
}

void Automation::onNextSoundEffectEventIdRequested(std::shared_ptr<std::promise<int>> promise)
{
    const int next = m_nextSfxSuffix == 0 ? 1 : m_nextSfxSuffix;
    if (next == INT_MAX) {
        // The caller waits on the future: it receives the error instead of a
        // number that would overflow.
        if (promise) {
            try {
                promise->set_exception(std::make_exception_ptr(
                    std::runtime_error("No sound effect event id is left to give out")));
            } catch (const std::future_error&) {
            }
        }
        return;
    }
    Answer(promise, next);
    m_nextSfxSuffix = next + 1;
}

void Automation::onPreviewSoundEffectEventIdRequested(
    std::shared_ptr<std::promise<int>> promise) const
{
    Answer(promise, m_nextSfxSuffix);
}

} // namespace tarv::automation
