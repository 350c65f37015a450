#pragma once

#include <map>
#include <memory>
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <set>
#include <string>

namespace tarv::audio {

class AudioClip;

// Decoded clips by file path, decoded on worker threads so that neither a
// play nor a preload waits for a file. Clips stay for the life of the cache:
// the mixer reads them without any reference counting, so they must outlive
// every voice. A failed load is not remembered; the next request tries again.
// GUI thread only.
class ClipCache : public QObject
{
    Q_OBJECT

public:
    explicit ClipCache(QObject* parent = nullptr);
    ~ClipCache() override;

    std::shared_ptr<const AudioClip> Find(const std::string& path) const;
    // Starts loading unless the clip is loaded or loading; clipReady follows
    // (queued) in every successful case, also when it was already loaded.
    void Load(const std::string& path);

signals:
    void clipReady(const QString& path);
    void clipFailed(const QString& path, const QString& message);

private:
    void Finish(const std::string& path, std::shared_ptr<const AudioClip> clip,
                const QString& message);

    std::map<std::string, std::shared_ptr<const AudioClip>> m_clips;
    std::set<std::string> m_loading;
    QThreadPool m_pool;
};

} // namespace tarv::audio
