#include "app/cueosccallbacks.h"

namespace tarv {

CueOscCallbacks::CueOscCallbacks() = default;

CueOscCallbacks::~CueOscCallbacks() = default;

void CueOscCallbacks::OnPlaySfx(const std::string& /*show*/, const std::string& sfxId)
{
    emit playSfx(sfxId);
}

void CueOscCallbacks::OnStopSfx(const std::string& /*show*/, const std::string& sfxId)
{
    emit stopSfx(sfxId);
}

void CueOscCallbacks::OnStopAllSfx(const std::string& /*show*/)
{
    emit stopAllSfx();
}

void CueOscCallbacks::OnNotify()
{
    emit Notification();
}

void CueOscCallbacks::OnFadeSfx(const std::string& /*show*/, const std::string& sfxId,
                                double volume, float fadeTime)
{
    emit fadeSfx(sfxId, volume, fadeTime);
}

} // namespace tarv
