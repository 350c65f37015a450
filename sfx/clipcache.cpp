#include "sfx/clipcache.h"

#include "sfx/audioclip.h"
#include "sfx/sndfiledecoder.h"

#include <exception>
#include <QTimer>
#include <system_error>
#include <thread>

namespace tarv::audio {

ClipCache::ClipCache(QObject* parent)
    : QObject(parent)
    , m_mailbox(std::make_shared<Mailbox>())
{
    m_mailbox->owner = this;
}

ClipCache::~ClipCache()
{
    const std::lock_guard lock(m_mailbox->mutex);
    m_mailbox->owner = nullptr;
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
    m_queued.push_back(path);
    StartQueued();
}

void ClipCache::StartQueued()
{
    while (m_counted.size() < kReaders && !m_queued.empty()) {
        const std::string path = std::move(m_queued.front());
        m_queued.pop_front();
        Read(path);
    }
}

void ClipCache::Read(const std::string& path)
{
    const std::uint64_t reading = ++m_readings;
    m_counted.insert_or_assign(path, reading);
    QTimer::singleShot(kOverdueMilliseconds, this, [this, path, reading] {
        const auto counted = m_counted.find(path);
        if (counted == m_counted.end() || counted->second != reading)
            return; // it ended in time
        m_counted.erase(counted);
        StartQueued();
    });
    try {
        std::thread([mailbox = m_mailbox, path] {
            std::shared_ptr<const AudioClip> clip;
            QString message;
            try {
                clip = SndfileDecoder::Decode(path);
            } catch (const std::exception& error) {
                message = QString::fromStdString(error.what());
            }
            const std::lock_guard lock(mailbox->mutex);
            if (ClipCache* owner = mailbox->owner) {
                QMetaObject::invokeMethod(
                    owner,
                    [owner, path, clip = std::move(clip), message] {
                        owner->Finish(path, clip, message);
                    },
                    Qt::QueuedConnection);
            }
        }).detach();
    } catch (const std::system_error& error) {
        // No thread to be had: told as the file's failure, in turn.
        QMetaObject::invokeMethod(
            this,
            [this, path, message = QString::fromLocal8Bit(error.what())] {
                Finish(path, nullptr, message);
            },
            Qt::QueuedConnection);
    }
}

void ClipCache::Finish(const std::string& path, std::shared_ptr<const AudioClip> clip,
                       const QString& message)
{
    m_loading.erase(path);
    if (m_counted.erase(path) > 0)
        StartQueued();
    if (!clip) {
        emit clipFailed(QString::fromStdString(path), message);
        return;
    }
    m_bytes += clip->Bytes();
    m_clips.insert_or_assign(path, Entry{std::move(clip), ++m_uses});
    emit clipReady(QString::fromStdString(path));
}

} // namespace tarv::audio
