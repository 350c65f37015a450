#pragma once

#include "automation/automationinputadapter.h"
#include "automation/tarv_automation_export.h"

#include <memory>
#include <rapidjson/fwd.h>

namespace tarv::audio {
class CustomAudioParameters;
namespace sfx {
class SfxDto;
}
} // namespace tarv::audio

namespace tarv::networking {
struct NetworkPath;
}

namespace tarv::automation {

class Automation;
class Event;
class EventGroup;

// Reads the JSON cue file. The file is untrusted: every member is checked for
// presence, type and range before it is used, and every failure is a
// std::runtime_error with a readable message.
class TARV_AUTOMATION_EXPORT AutomationJsonInputAdapter : public AutomationInputAdapter
{
public:
    // Groups nested deeper than this are refused, so reading (which recurses
    // into groups) cannot exhaust the stack.
    static constexpr int MaxGroupDepth = 64;

    explicit AutomationJsonInputAdapter(Automation* document);
    ~AutomationJsonInputAdapter() override;

    void Read(std::istream& in) override;

private:
    void ReadEvents(const rapidjson::Value& group, EventGroup& target, int depth);
    std::shared_ptr<Event> ReadEvent(const rapidjson::Value& value, int depth);
    tarv::audio::CustomAudioParameters ReadAudioParameters(const rapidjson::Value& value) const;
    static tarv::audio::sfx::SfxDto ReadSoundEffect(const rapidjson::Value& value);
    static tarv::networking::NetworkPath ReadNetworkPath(const rapidjson::Value& value);

    Automation* m_document;
};

} // namespace tarv::automation
