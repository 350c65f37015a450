#include "folderwatch.h"

#include <QFile>
#include <utility>

#ifdef Q_OS_LINUX
#include <array>
#include <QSocketNotifier>
#include <sys/inotify.h>
#include <unistd.h>
#else
#include <QFileSystemWatcher>
#endif

namespace tarv::ui {

FolderWatch::Prepared::Prepared(int descriptor)
    : m_descriptor(descriptor)
{}

FolderWatch::Prepared::Prepared(Prepared&& other) noexcept
    : m_descriptor(std::exchange(other.m_descriptor, -1))
{}

FolderWatch::Prepared& FolderWatch::Prepared::operator=(Prepared&& other) noexcept
{
    std::swap(m_descriptor, other.m_descriptor);
    return *this;
}

FolderWatch::Prepared::~Prepared()
{
#ifdef Q_OS_LINUX
    // Closing an inotify descriptor drops its watches without a look at the
    // folder.
    if (m_descriptor >= 0) {
        ::close(m_descriptor);
    }
#endif
}

#ifdef Q_OS_LINUX

FolderWatch::Prepared FolderWatch::Prepare(const QString& path)
{
    Prepared prepared(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
    if (!prepared.IsValid()) {
        return prepared;
    }
    // The entries' names and kinds, and what a save leaves behind.
    constexpr uint32_t kChanges = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ATTRIB |
                                  IN_CLOSE_WRITE | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
    if (::inotify_add_watch(prepared.m_descriptor, QFile::encodeName(path).constData(), kChanges) <
        0) {
        return {};
    }
    return prepared;
}

FolderWatch::FolderWatch(Prepared prepared, const QString& /*path*/, QObject* parent)
    : QObject(parent)
    , m_prepared(std::move(prepared))
{
    if (!m_prepared.IsValid()) {
        return;
    }
    m_notifier = std::make_unique<QSocketNotifier>(m_prepared.m_descriptor, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &FolderWatch::Drain);
}

FolderWatch::~FolderWatch() = default;

// What changed is read again with the folder: the events only say when.
void FolderWatch::Drain()
{
    std::array<char, 4096> events{};
    bool changedMeanwhile = false;
    while (::read(m_prepared.m_descriptor, events.data(), events.size()) > 0) {
        changedMeanwhile = true;
    }
    if (changedMeanwhile) {
        emit changed();
    }
}

#else

FolderWatch::Prepared FolderWatch::Prepare(const QString& /*path*/)
{
    return {};
}

FolderWatch::FolderWatch(Prepared /*prepared*/, const QString& path, QObject* parent)
    : QObject(parent)
    , m_watcher(std::make_unique<QFileSystemWatcher>())
{
    connect(m_watcher.get(), &QFileSystemWatcher::directoryChanged, this, &FolderWatch::changed);
    m_watcher->addPath(path);
}

FolderWatch::~FolderWatch() = default;

#endif

} // namespace tarv::ui
