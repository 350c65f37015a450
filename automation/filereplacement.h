#pragma once

#include <QFile>
#include <QString>
#include <stdexcept>
#include <string_view>

namespace tarv::automation {

// Why a file could not be replaced, in words an operator can act on.
class FileReplacementError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Replaces a file's bytes in one step: the new bytes go to a file beside it,
// are synced and renamed over it, and the folder is synced, so that a failure
// at any point, even a power cut, leaves the previous file whole. The file
// beside it has a short name of its own, so that every name the folder can
// hold can be replaced. Through a link the linked file is replaced, with its
// permissions. Unless committed, the file beside it is removed.
class FileReplacement
{
public:
    // Throws FileReplacementError.
    explicit FileReplacement(const QString& path);
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Each throws FileReplacementError.
    void Write(std::string_view bytes);
    void Commit();

private:
    QString m_target;
    QFile m_replacement;
    bool m_created = false;
    bool m_committed = false;
};

} // namespace tarv::automation
