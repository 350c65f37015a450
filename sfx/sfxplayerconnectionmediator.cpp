#include "sfx/sfxplayerconnectionmediator.h"

#include "sfx/sfxplayercontrollerimpl.h"

#include <QCoreApplication>
#include <QThread>

namespace tarv::audio {

SfxPlayerConnectionMediator* SfxPlayerConnectionMediator::instance()
{
    static SfxPlayerConnectionMediator mediator;
    // Queued requests and reports need a thread with an event loop, whichever
    // thread asked first.
    static const bool homed = [] {
        if (const QCoreApplication* application = QCoreApplication::instance())
            mediator.moveToThread(application->thread());
        return true;
    }();
    Q_UNUSED(homed)
    return &mediator;
}

void SfxPlayerConnectionMediator::onActiveSfxRepositoryRequested(
    std::promise<SfxRepository*>* promise)
{
    if (promise == nullptr)
        return;
    SfxPlayerControllerImpl* engine = SfxPlayerControllerImpl::instance();
    const auto answer = [engine, promise] {
        try {
            promise->set_value(engine->ActiveRepository());
        } catch (const std::future_error&) {
            // Already answered: the first answer stands.
        }
    };
    // The repository is swapped on the engine's thread; a caller elsewhere
    // waits on its future while the engine answers.
    if (QThread::currentThread() == engine->thread())
        answer();
    else
        QMetaObject::invokeMethod(engine, answer, Qt::QueuedConnection);
}

void SfxPlayerConnectionMediator::onSoundEffectsChanged()
{
    SfxPlayerControllerImpl::instance()->PreloadRepositoryEffects();
}

void SfxPlayerConnectionMediator::preloadCustomAudio(const QString& filename)
{
    SfxPlayerControllerImpl::instance()->PreloadFile(filename.toStdString());
}

} // namespace tarv::audio
