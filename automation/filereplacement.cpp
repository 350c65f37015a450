#include "automation/filereplacement.h"

#include <filesystem>
#include <iostream>
#include <QFileInfo>
#include <QRandomGenerator>
#include <system_error>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tarv::automation {

namespace {

std::filesystem::path NativePath(const QString& path)
{
    return std::filesystem::path(QFile::encodeName(path).constData());
}

[[noreturn]] void Fail(const QString& reason)
{
    throw FileReplacementError(reason.toStdString());
}

[[noreturn]] void Fail(const std::error_code& error)
{
    Fail(QString::fromLocal8Bit(error.message()));
}

// Qt says "Unknown error" where the system gave no reason; the operation
// that failed says more.
QString ReasonOf(const QFileDevice& file)
{
    const QString reason = file.errorString();
    if (!reason.isEmpty() && reason != QLatin1String("Unknown error")) {
        return reason;
    }
    switch (file.error()) {
    case QFileDevice::OpenError:
        return QStringLiteral("the file could not be created");
    case QFileDevice::WriteError:
    case QFileDevice::ResizeError:
        return QStringLiteral("the file could not be written");
    case QFileDevice::PermissionsError:
        return QStringLiteral("permission denied");
    default:
        return QStringLiteral("the file system refused the file");
    }
}

// The file that a save to `path` replaces: the one its links lead to,
// whether or not it exists yet, as a save through a link writes the linked
// file rather than replacing the link.
QString TargetOf(const QString& path)
{
    // As many links as the system itself follows before it gives up.
    constexpr int kMostLinks = 40;
    QFileInfo info(path);
    for (int links = 0; info.isSymLink(); ++links) {
        if (links == kMostLinks) {
            Fail(QStringLiteral("the links that lead to the file never end"));
        }
        info.setFile(info.symLinkTarget());
    }
    return info.absoluteFilePath();
}

// Gives the new file the owner, group and permissions of the one it
// replaces. Only a privileged process may give a file away: for others the
// owner stays the saver, as for any new file.
void TakeOverOwnership(const QFile& replacement, const QString& replaced)
{
#ifdef Q_OS_UNIX
    const int descriptor = replacement.handle();
    struct stat status = {};
    if (::stat(QFile::encodeName(replaced).constData(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return;
    }
    // Not allowed to give the file away, the saver may still keep its group.
    if (::fchown(descriptor, status.st_uid, status.st_gid) != 0 &&
        (errno != EPERM ||
         (::fchown(descriptor, static_cast<uid_t>(-1), status.st_gid) != 0 && errno != EPERM))) {
        Fail(QString::fromLocal8Bit(std::strerror(errno)));
    }
    // After the owner: a change of owner clears the set-user and group bits.
    if (::fchmod(descriptor, status.st_mode & 07777) != 0) {
        Fail(QString::fromLocal8Bit(std::strerror(errno)));
    }
#else
    std::error_code error;
    const auto status = std::filesystem::status(NativePath(replaced), error);
    if (!error && std::filesystem::is_regular_file(status)) {
        std::filesystem::permissions(NativePath(replacement.fileName()), status.permissions(),
                                     error);
        if (error) {
            Fail(error);
        }
    }
#endif
}

// Short, hidden, and unlikely to meet another save's.
QString ReplacementName()
{
    return QStringLiteral(".tarvcue-%1")
        .arg(QRandomGenerator::global()->generate64() & 0xffffffffffULL, 10, 36, QLatin1Char('0'));
}

bool SyncToDisk(int descriptor)
{
#ifdef Q_OS_UNIX
    return ::fsync(descriptor) == 0;
#else
    Q_UNUSED(descriptor);
    return true;
#endif
}

void SyncFolderOf(const QString& path)
{
#ifdef Q_OS_UNIX
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const int descriptor = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0 || ::fsync(descriptor) != 0) {
        // The new file is in place already; only its durability is in doubt.
        std::cerr << "Unable to sync the folder of " << path.toStdString() << ": "
                  << std::strerror(errno) << "\n";
    }
    if (descriptor >= 0) {
        ::close(descriptor);
    }
#else
    Q_UNUSED(path);
#endif
}

} // namespace

FileReplacement::FileReplacement(const QString& path)
    : m_target(TargetOf(path))
{
    const QString folder = QFileInfo(m_target).absolutePath() + QLatin1Char('/');
    // Unbuffered, so a short write (disk full, size limit) shows in write()'s
    // count rather than being lost in a later flush.
    constexpr QIODevice::OpenMode kMode =
        QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered;
    for (int attempt = 0; attempt < 16; ++attempt) {
        m_replacement.setFileName(folder + ReplacementName());
        if (m_replacement.open(kMode)) {
            m_created = true;
            break;
        }
        if (!m_replacement.exists()) {
            Fail(ReasonOf(m_replacement));
        }
    }
    if (!m_created) {
        Fail(QStringLiteral("no free name for the new file in its folder"));
    }
    try {
        TakeOverOwnership(m_replacement, m_target);
    } catch (const FileReplacementError&) {
        m_replacement.remove();
        throw;
    }
}

FileReplacement::~FileReplacement()
{
    if (m_created && !m_committed) {
        m_replacement.remove();
    }
}

void FileReplacement::Write(std::string_view bytes)
{
    const auto size = static_cast<qint64>(bytes.size());
    const qint64 written = m_replacement.write(bytes.data(), size);
    if (written < 0) {
        Fail(ReasonOf(m_replacement));
    }
    if (written != size || m_replacement.size() != size) {
        Fail(QStringLiteral("not all of the file could be written (is the disk full?)"));
    }
}

void FileReplacement::Commit()
{
    if (!SyncToDisk(m_replacement.handle())) {
        Fail(QStringLiteral("the file could not be written to the disk"));
    }
    m_replacement.close();
    if (m_replacement.error() != QFileDevice::NoError) {
        Fail(ReasonOf(m_replacement));
    }
    std::error_code error;
    std::filesystem::rename(NativePath(m_replacement.fileName()), NativePath(m_target), error);
    if (error) {
        Fail(error);
    }
    m_committed = true;
    SyncFolderOf(m_target);
}

} // namespace tarv::automation
