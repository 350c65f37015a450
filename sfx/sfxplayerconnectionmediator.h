#pragma once

#include <future>
#include <QObject>
#include <QString>

namespace tarv::audio {

class SfxRepository;

// The Qt object through which the player and the application talk: the
// application asks for the player's repository and announces changed sound
// effects; the player reports errors and files that are ready to play.
//
// soundEffectError(type, message, context): type is "ERROR" or "WARNING", or
// "INFO" when sound that was reported lost is back,
// message is for the operator, context names the file or event id concerned
// (it may be empty).
class SfxPlayerConnectionMediator : public QObject
{
    Q_OBJECT

public:
    static SfxPlayerConnectionMediator* instance();

public slots:
    // Sets the promise to the repository the player uses (null when it has
    // none): at once on the player's thread, queued to it from any other.
    void onActiveSfxRepositoryRequested(std::promise<tarv::audio::SfxRepository*>* promise);
    // The instances changed: their files are loaded ahead of their first play.
    void onSoundEffectsChanged();
    // Loads a file ahead of its first play; onSfxIsReady follows when done.
    void preloadCustomAudio(const QString& filename);

signals:
    void soundEffectError(QString type, QString message, QString context);
    void onSfxIsReady(QString effectPath);

private:
    SfxPlayerConnectionMediator() = default;
};

} // namespace tarv::audio
