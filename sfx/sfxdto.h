#pragma once

#include "sfx/sfxtype.h"

// Qt 6.4's moc cannot parse libstdc++'s <concepts>, which <compare> pulls
// in; moc needs nothing from it.
#ifndef Q_MOC_RUN
#include <compare>
#endif
#include <string>
#include <utility>

namespace tarv::audio::sfx {

class SfxDtoBuilder;

// One sound-effect instance as the player and the cue file know it: which
// installed effect it plays, under which event id, and how.
class SfxDto
{
public:
    SfxDto() = default;

    [[nodiscard]] static SfxDtoBuilder builder();

    const std::string& name() const { return m_name; }
    const std::string& eventId() const { return m_eventId; }
    const std::string& effectId() const { return m_effectId; }
    const std::string& effectPath() const { return m_effectPath; }
    const std::string& outputPath() const { return m_outputPath; }
    float volume() const { return m_volume; }
    float pan() const { return m_pan; }
    float reverb() const { return m_reverb; }
    unsigned short fadeIn() const { return m_fadeIn; }
    unsigned short fadeOut() const { return m_fadeOut; }
    int repeats() const { return m_repeats; }
    int effectIdIndex() const { return m_effectIdIndex; }
    SfxType type() const { return m_type; }

    void setName(std::string value) { m_name = std::move(value); }
    void setEventId(std::string value) { m_eventId = std::move(value); }
    void setEffectId(std::string value) { m_effectId = std::move(value); }
    void setOutputPath(std::string value) { m_outputPath = std::move(value); }
    void setVolume(float value) { m_volume = value; }
    void setPan(float value) { m_pan = value; }
    void setReverb(float value) { m_reverb = value; }
    void setFadeIn(unsigned short value) { m_fadeIn = value; }
    void setFadeOut(unsigned short value) { m_fadeOut = value; }
    void setRepeats(int value) { m_repeats = value; }

    // Floats make the order partial (a NaN volume compares unordered).
    std::partial_ordering operator<=>(const SfxDto&) const = default;
    bool operator==(const SfxDto&) const = default;

private:
    friend class SfxDtoBuilder;

    std::string m_name;
    std::string m_eventId;
    std::string m_effectId;
    std::string m_effectPath;
    std::string m_outputPath;
    float m_volume = 1.0F;
    float m_pan = 0.5F;
    float m_reverb = 0.0F;
    unsigned short m_fadeIn = 0;
    unsigned short m_fadeOut = 0;
    int m_repeats = 0;
    int m_effectIdIndex = 0;
    SfxType m_type = SfxType::SoundEffect;
};

} // namespace tarv::audio::sfx
