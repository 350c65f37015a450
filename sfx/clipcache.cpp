#include "sfx/clipcache.h"

#include "sfx/audioclip.h"
#include "sfx/sndfiledecoder.h"

#include <exception>

namespace tarv::audio {

ClipCache::ClipCache(QObject* parent)
    : QObject(parent)
{
    m_pool.setMaxThreadCount(2);
}

ClipCache::~ClipCache()
{
    m_pool.waitForDone();
}

std::shared_ptr<const AudioClip> ClipCache::Find(const std::string& path)
{
    const auto found = m_clips.find(path);
    if (found == m_clips.end())
        return nullptr;
    found->second.lastUse = ++m_uses;
    return found->second.clip;
}

void ClipCache::Trim(const std::set<std::string>& inUse)
{
    while (m_bytes > m_budget) {
        auto oldest = m_clips.end();
        for (auto it = m_clips.begin(); it != m_clips.end(); ++it) {
            if (!inUse.contains(it->first) &&
                (oldest == m_clips.end() || it->second.lastUse < oldest->second.lastUse))
                oldest = it;
        }
        if (oldest == m_clips.end())
            return; // everything left is playing
        m_bytes -= oldest->second.clip->Bytes();
        m_clips.erase(oldest);
    }
}

void ClipCache::Load(const std::string& path)
{
    if (m_clips.contains(path)) {
        QMetaObject::invokeMethod(
            this, [this, name = QString::fromStdString(path)] { emit clipReady(name); },
            Qt::QueuedConnection);
        return;
    }
    if (!m_loading.insert(path).second)
        return;
    m_pool.start([this, path] {
        std::shared_ptr<const AudioClip> clip;
        QString message;
        try {
            clip = SndfileDecoder::Decode(path);
        } catch (const std::exception& error) {
            message = QString::fromStdString(error.what());
        }
        QMetaObject::invokeMethod(
            this, [this, path, clip = std::move(clip), message] { Finish(path, clip, message); },
            Qt::QueuedConnection);
    });
}

void ClipCache::Finish(const std::string& path, std::shared_ptr<const AudioClip> clip,
                       const QString& message)
{
    m_loading.erase(path);
    if (!clip) {
        emit clipFailed(QString::fromStdString(path), message);
        return;
    }
    m_bytes += clip->Bytes();
    m_clips.insert_or_assign(path, Entry{std::move(clip), ++m_uses});
    emit clipReady(QString::fromStdString(path));
}

} // namespace tarv::audio
