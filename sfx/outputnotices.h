#pragma once

#include <map>
#include <QElapsedTimer>
#include <QObject>
#include <QString>

namespace tarv::audio {

// Tells the operator that something sound depends on (an output's sound,
// its place, the sound server) is lost or back, each such subject at most
// once a second: a change that comes within a second of that subject's last
// report is held until the second is up, and told then only if it still
// differs from what the operator was told last. So the first report is
// never delayed, the state a subject ends in is always told, and a loss
// that was told is followed by exactly one note once it is back, however
// often it flapped meanwhile. On the GUI thread; no timer runs while
// nothing is held.
class OutputNotices : public QObject
{
    Q_OBJECT

public:
    static constexpr int kHoldMilliseconds = 1000;

    // As the player reports it (see SfxPlayerConnectionMediator).
    struct Notice
    {
        QString type;
        QString message;
        QString context;
    };

    explicit OutputNotices(QObject* parent = nullptr);

    // `subject` is lost, as `notice` says; nothing while it is lost.
    void Lost(const QString& subject, const Notice& notice);
    // It is back, as `notice` says (nothing to say: no message); nothing
    // while it is not lost.
    void Back(const QString& subject, const Notice& notice);

signals:
    void told(const QString& type, const QString& message, const QString& context);

private:
    struct Subject
    {
        bool lost = false;     // as last heard
        bool toldLost = false; // as the operator was told
        Notice notice;         // says what was last heard
        QElapsedTimer sinceTold;
        bool held = false; // a look at the end of the second is due
    };

    void Change(const QString& subject, bool lost, const Notice& notice);
    void Settle(const QString& subject);

    std::map<QString, Subject> m_subjects;
};

} // namespace tarv::audio
