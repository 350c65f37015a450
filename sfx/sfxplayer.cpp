#include "sfx/sfxplayer.h"

#include <utility>

namespace tarv::audio {

SfxPlayer::SfxPlayer(QString eventId, QObject* parent)
    : QObject(parent)
    , m_eventId(std::move(eventId))
{}

} // namespace tarv::audio
