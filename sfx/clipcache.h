#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <QObject>
#include <QString>
#include <set>
#include <string>

namespace tarv::audio {

class AudioClip;

// Decoded clips by file path, decoded on worker threads so that neither a
// play nor a preload waits for a file. Each file is read on a thread of its
// own, kReaders at a time; a reading that has not ended within
// kOverdueMilliseconds (a network share that stopped answering) no longer
// counts, so that it holds up no other file, and the cache never waits for
// one: a reading that ends after the cache is gone is dropped. The mixer
// reads clips without any reference counting, so a clip is freed only by
// Trim, and only when the caller says no voice uses it; Trim frees the least
// recently used clips until the cache is back within its memory budget. A failed load is not
// remembered; the next request tries again. GUI thread only.
class ClipCache : public QObject
{
    Q_OBJECT

public:
    explicit ClipCache(QObject* parent = nullptr);
    ~ClipCache() override;

    // About 45 minutes of decoded audio.
    static constexpr std::size_t kDefaultBudgetBytes = std::size_t{1} << 30;
    static constexpr std::size_t kReaders = 2;
    // Longer than most effects take to decode: one that takes longer only
    // lets another reading begin beside it.
    static constexpr int kOverdueMilliseconds = 250;

    std::shared_ptr<const AudioClip> Find(const std::string& path);
    // Starts loading unless the clip is loaded or loading; clipReady follows
    // (queued) in every successful case, also when it was already loaded.
    void Load(const std::string& path);

    void Trim(const std::set<std::string>& inUse);
    void SetBudget(std::size_t bytes) { m_budget = bytes; }
    std::size_t Bytes() const noexcept { return m_bytes; }
    bool OverBudget() const noexcept { return m_bytes > m_budget; }

signals:
    void clipReady(const QString& path);
    void clipFailed(const QString& path, const QString& message);

private:
    // Where a reading hands its clip in; the cache leaves as it goes.
    struct Mailbox
    {
        std::mutex mutex;
        ClipCache* owner = nullptr;
    };

    void StartQueued();
    void Read(const std::string& path);
    void Finish(const std::string& path, std::shared_ptr<const AudioClip> clip,
                const QString& message);

    struct Entry
    {
        std::shared_ptr<const AudioClip> clip;
        std::uint64_t lastUse = 0;
    };

    std::map<std::string, Entry> m_clips;
    std::uint64_t m_uses = 0;
    std::size_t m_bytes = 0;
    std::size_t m_budget = kDefaultBudgetBytes;
    std::set<std::string> m_loading; // queued or being read
    std::deque<std::string> m_queued;
    // Being read and not yet overdue, with the number of their reading.
    std::map<std::string, std::uint64_t> m_counted;
    std::uint64_t m_readings = 0;
    std::shared_ptr<Mailbox> m_mailbox;
};

} // namespace tarv::audio
