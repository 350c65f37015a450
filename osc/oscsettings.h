#pragma once

#include <QMetaType>
#include <string>

namespace tarv::osc {

// Whether OSC commands are received, and on which UDP port.
struct OscSettings
{
    OscSettings();
    OscSettings(bool enabled, int listenPort);

    bool oscEnabled;
    int oscListenPort;
};

// "tarv_cue/osc_settings.tarv" below the user's generic configuration folder.
std::string OscSettingsFilePath();

// Overwrites the fields from a version "1.0" file; otherwise leaves settings as
// they were. Never throws.
void LoadOscSettings(OscSettings& settings, const std::string& path);

// Replaces the file atomically, creating its folder when needed. A failure is
// reported on standard error and leaves any previous file as it was. Never throws.
void SaveOscSettings(const OscSettings& settings, const std::string& path);

} // namespace tarv::osc

Q_DECLARE_METATYPE(tarv::osc::OscSettings)
