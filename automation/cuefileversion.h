#pragma once

#include "automation/tarv_automation_export.h"

// Qt 6.4's moc cannot parse libstdc++'s <concepts>, which <compare> pulls
// in; moc needs nothing from it.
#ifndef Q_MOC_RUN
#include <compare>
#endif
#include <cstdint>
#include <string>

namespace tarv::automation {

// The version of the program that wrote a cue file, "major.minor". Files say
// which program wrote them and the oldest program that may still read them.
class TARV_AUTOMATION_EXPORT CueFileVersion
{
public:
    constexpr CueFileVersion(std::uint16_t major, std::uint16_t minor)
        : m_major(major)
        , m_minor(minor)
    {}

    // The version this program writes and fully understands.
    static constexpr CueFileVersion Current() { return {1, 0}; }

    // Parses "major.minor"; each part is read as a decimal int (leading blanks
    // skipped, reading stops at the first non-digit) and keeps its low 16 bits,
    // as files written so far expect. Throws std::runtime_error.
    static CueFileVersion Parse(const std::string& text);

    constexpr std::uint16_t Major() const { return m_major; }
    constexpr std::uint16_t Minor() const { return m_minor; }
    std::string ToString() const;

    constexpr auto operator<=>(const CueFileVersion&) const = default;

private:
    std::uint16_t m_major;
    std::uint16_t m_minor;
};

} // namespace tarv::automation
