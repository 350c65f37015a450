#pragma once

#include "detachedwork.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <QtQml/qqmlregistration.h>
#include <QUrl>

namespace tarv::ui {

// Asks the local file system about a path away from the window, since a
// look-up may wait on a slow or hung mount: `ask` returns at once and the
// answer comes as `answered`. `waiting` says that a question has not been
// answered yet, and `notAnswering` that it has not for a few seconds.
// Answers to questions asked before the last one are dropped.
class LocalPathQuery : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(bool waiting READ waiting NOTIFY waitingChanged)
    Q_PROPERTY(bool notAnswering READ notAnswering NOTIFY notAnsweringChanged)

public:
    enum Kind
    {
        Missing,
        Folder,
        File,
        Special,
        // A link to nothing: a save through it makes the file it names.
        BrokenLink
    };
    Q_ENUM(Kind)

    explicit LocalPathQuery(QObject* parent = nullptr);

    // What `path` names; looks it up, so never on the window's thread.
    static Kind KindOf(const QString& path);

    bool waiting() const;
    bool notAnswering() const;

    // Asks what `url` names; `answered` follows.
    Q_INVOKABLE void ask(const QUrl& url);

signals:
    void answered(const QUrl& url, tarv::ui::LocalPathQuery::Kind kind);
    void waitingChanged();
    void notAnsweringChanged();

protected:
    // Runs `work` away from the window, then `done(result)` on the window's
    // thread unless another question was asked meanwhile.
    template <typename Work, typename Done>
    void Ask(Work work, Done done)
    {
        const quint64 question = ++m_question;
        SetWaiting(true);
        m_patience.start();
        const bool started = m_work.Run(std::move(work), [this, question, done](auto result) {
            if (question == m_question) {
                Answered();
                done(std::move(result));
            }
        });
        if (!started) {
            Answered();
        }
    }

private:
    void Answered();
    void SetWaiting(bool waiting);
    void SetNotAnswering(bool notAnswering);

    quint64 m_question = 0;
    bool m_waiting = false;
    bool m_notAnswering = false;
    QTimer m_patience;
    // Last: it drops the answers before anything else goes.
    DetachedWork m_work{this};
};

} // namespace tarv::ui
