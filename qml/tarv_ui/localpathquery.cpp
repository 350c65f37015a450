#include "localpathquery.h"

#include <QFileInfo>

namespace tarv::ui {

LocalPathQuery::LocalPathQuery(QObject* parent)
    : QObject(parent)
{
    m_patience.setSingleShot(true);
    m_patience.setInterval(kFolderPatience);
    connect(&m_patience, &QTimer::timeout, this, [this] { SetNotAnswering(m_waiting); });
}

LocalPathQuery::Kind LocalPathQuery::KindOf(const QString& path)
{
    if (path.isEmpty()) {
        return Missing;
    }
    const QFileInfo info(path);
    if (!info.exists()) {
        return info.isSymLink() ? BrokenLink : Missing;
    }
    return info.isDir() ? Folder : info.isFile() ? File : Special;
}

bool LocalPathQuery::waiting() const
{
    return m_waiting;
}

bool LocalPathQuery::notAnswering() const
{
    return m_notAnswering;
}

void LocalPathQuery::ask(const QUrl& url)
{
    const QString path = url.isLocalFile() ? url.toLocalFile() : QString();
    Ask([path] { return KindOf(path); }, [this, url](Kind kind) { emit answered(url, kind); });
}

void LocalPathQuery::Answered()
{
    m_patience.stop();
    SetNotAnswering(false);
    SetWaiting(false);
}

void LocalPathQuery::SetWaiting(bool waiting)
{
    if (waiting != m_waiting) {
        m_waiting = waiting;
        emit waitingChanged();
    }
}

void LocalPathQuery::SetNotAnswering(bool notAnswering)
{
    if (notAnswering != m_notAnswering) {
        m_notAnswering = notAnswering;
        emit notAnsweringChanged();
    }
}

} // namespace tarv::ui
