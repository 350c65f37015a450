#pragma once

#include <string>

namespace tarv::osc {

// Receiver of the commands that arrive over OSC. Every operation has a default,
// so an implementation overrides only what it serves. Fade times are in
// seconds except for OnFadeSfx, which takes milliseconds; volumes are gains.
class OscProcInterface
{
public:
    OscProcInterface() = default;
    OscProcInterface(const OscProcInterface&) = delete;
    OscProcInterface& operator=(const OscProcInterface&) = delete;

    virtual void OnStop(const std::string& show, const std::string& song);
    virtual void OnPlay(const std::string& show, const std::string& song);
    virtual void OnFadeOut(const std::string& show, const std::string& song, float fadeTime);
    virtual void OnFadeTo(const std::string& show, const std::string& song, float fadeTime,
                          float volume, bool unused);
    virtual void OnVolume(float volume);
    virtual void OnAdvance(const std::string& show, const std::string& song);
    virtual void OnPause(const std::string& show, const std::string& song);
    virtual void OnAdvanceEvent(const std::string& show, const std::string& song,
                                const std::string& eventId);
    // Writes "<context>: <error>" and an empty line to standard error, with
    // what came from the peer escaped and at most a line a second.
    virtual void OnProcessingError(const std::string& error, const std::string& context);
    virtual void OnPlaySfx(const std::string& show, const std::string& sfxId);
    virtual void OnStopSfx(const std::string& show, const std::string& sfxId);
    virtual void OnStopAllSfx(const std::string& show);
    // Called for every message, before its address is looked at.
    virtual void OnNotify();
    virtual void OnFadeSfx(const std::string& show, const std::string& sfxId, double volume,
                           float fadeTime);
    virtual ~OscProcInterface();
};

} // namespace tarv::osc
