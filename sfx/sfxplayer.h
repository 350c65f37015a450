#pragma once

#include <QObject>
#include <QString>

namespace tarv::audio {

// The notifier of one sound-effect event id: sfxFinished is emitted when the
// last voice playing that id has ended, whether it ran out, was stopped or
// could not start. Always emitted from the GUI thread's event loop, never
// from inside a play call, so a receiver connected right after play()
// still hears about it.
class SfxPlayer : public QObject
{
    Q_OBJECT

public:
    explicit SfxPlayer(QString eventId, QObject* parent = nullptr);

    const QString& EventId() const noexcept { return m_eventId; }

signals:
    void sfxFinished(QString eventId);

private:
    QString m_eventId;
};

} // namespace tarv::audio
