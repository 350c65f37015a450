#pragma once

#include "qt/chooserfolder.h"
#include "qt/sfxlistmodel.h"
#include "sfx/sfxdto.h"

#include <future>
#include <memory>
#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <QVariantList>

class QQmlEngine;
class QWindow;

namespace tarv::audio {
class CustomAudioParameters;
class SfxRepository;
} // namespace tarv::audio

namespace tarv::automation {
class CustomAudio;
}

namespace tarv::qt {

// Opens and serves the two sound editors of module com.quillonworks.tarv_ui,
// one window at a time: StandaloneSfxTool creates or changes a sound-effect
// instance of the cue file (through the repository), SfxPropertyTool changes
// the parameters of an AUDIO event. Between the records' units (linear gain,
// fractions, milliseconds) and the windows' (slider position, percent,
// seconds) it converts both ways.
class SfxPropertyToolController : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QVariantList soundEffects READ SoundEffects NOTIFY soundEffectsChanged)

public:
    SfxPropertyToolController(QQmlEngine* engine, std::shared_ptr<audio::SfxRepository> repository,
                              QObject* parent = nullptr);
    ~SfxPropertyToolController() override;

    SfxPropertyToolController(const SfxPropertyToolController&) = delete;
    SfxPropertyToolController& operator=(const SfxPropertyToolController&) = delete;

    // Opens the instance editor when `parameters` is null, else the
    // custom-audio editor filled from them.
    void ShowTool(const QString& effectId, const audio::CustomAudioParameters* parameters);
    // Opens the instance editor on a new instance of `effectId`, whatever was
    // being edited before. An effect that is no longer in the library opens
    // nothing: the operator is told, and false returned.
    bool ShowNewInstanceTool(const QString& effectId);

    // The window the next editor belongs to (the manager, or the cue editor
    // for custom audio): the editor stays above it.
    void SetTransientParent(QWindow* owner);
    // The open show's folder, empty for a show never saved: the audio file
    // chooser starts there until a file is chosen with it.
    void SetShowFolder(const QString& folder);

    QVariantList SoundEffects() const;
    // The open editor window, null when none is open.
    QObject* Window() const;

signals:
    void toolClosing();
    void soundEffectsChanged();
    void soundEffectsList(QVariantList soundEffects);
    void soundEffectEdited();
    void getAvailableSoundEffects(std::promise<SfxListModel*>* promise);
    void preloadCustomAudioEntryRequested(QString filename);
    void customAudioCommandChanged(int commandIndex);

public slots:
    void onCreationRequest(QString name, QString outputPath, int outputPathIndex, QString effectId,
                           int effectIdIndex, double volume, double pan, int reverb, int fadeIn,
                           int fadeOut, int repeats);
    void onChangeRequest(QString name, QString outputPath, int outputPathIndex, QString effectId,
                         int effectIdIndex, double volume, double pan, int reverb, int fadeIn,
                         int fadeOut, int repeats);
    void onDeleteInstanceRequest(QString eventId);
    void onEditInstanceRequest(QString eventId);
    void onEditCustomAudioRequest(std::shared_ptr<tarv::automation::CustomAudio> audio);
    void onUpdateCustomAudioEntryRequested(QUrl filename, int commandIndex, double volume,
                                           double pan, int fadeIn, int fadeOut, bool loop);

private slots:
    void onToolClosing();

private:
    void FillSourceList();
    bool OpenWindow(bool custom);
    void ConnectWindow();
    void DiscardWindow();
    bool IsEditingInstance() const;
    int SourceRow(const QString& effectId) const;
    void ShowCustomAudio(const audio::CustomAudioParameters& parameters);
    void ShowInstance(const QString& effectId);
    void ShowNewInstance(const QString& effectId);
    void WriteSoundProperties(double volume, double pan, double reverb, unsigned fadeIn,
                              unsigned fadeOut);
    void SetWindowProperty(const char* name, const QVariant& value);
    void KeepChosenAudioFolder();

    QQmlEngine* m_engine;
    QPointer<QObject> m_window;
    std::weak_ptr<audio::SfxRepository> m_repository;
    SfxListModel m_sources;
    audio::sfx::SfxDto m_instance;
    QList<QPair<QString, QString>> m_sourcePairs;
    std::shared_ptr<automation::CustomAudio> m_audio;
    QPointer<QWindow> m_owner;
    ChooserFolder m_audioFolder;
};

} // namespace tarv::qt
