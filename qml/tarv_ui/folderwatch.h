#pragma once

#include <memory>
#include <QObject>
#include <QString>

#ifdef Q_OS_LINUX
class QSocketNotifier;
#else
class QFileSystemWatcher;
#endif

namespace tarv::ui {

// Tells of changes to the entries of one folder. Adding a watch looks the
// folder up, which a hung mount holds up, so on Linux the watch is made by
// the worker that reads the folder (Prepare) and only its descriptor, which
// nothing on it can hold up, reaches the window's thread. Elsewhere the
// watch is added by the constructor, through Qt.
class FolderWatch : public QObject
{
    Q_OBJECT

public:
    // A watch made away from the window; it ends with its last owner.
    class Prepared
    {
    public:
        Prepared() = default;
        Prepared(Prepared&& other) noexcept;
        Prepared& operator=(Prepared&& other) noexcept;
        ~Prepared();

        bool IsValid() const { return m_descriptor >= 0; }

    private:
        friend class FolderWatch;
        explicit Prepared(int descriptor);
        int m_descriptor = -1;
    };

    // Watches `path`, on the worker's thread; invalid where it cannot.
    static Prepared Prepare(const QString& path);

    FolderWatch(Prepared prepared, const QString& path, QObject* parent = nullptr);
    ~FolderWatch() override;

signals:
    void changed();

private:
#ifdef Q_OS_LINUX
    void Drain();

    Prepared m_prepared;
    std::unique_ptr<QSocketNotifier> m_notifier;
#else
    std::unique_ptr<QFileSystemWatcher> m_watcher;
#endif
};

} // namespace tarv::ui
