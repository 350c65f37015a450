#pragma once

#include "qt/sfxinstancelistmodel.h"
#include "qt/sfxlistmodel.h"
#include "sfx/sfxdto.h"

#include <memory>
#include <QHash>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <vector>

class QQmlEngine;
class QWindow;

namespace tarv::audio {
class SfxRepository;
}

namespace tarv::automation {
class CustomAudio;
}

namespace tarv::qt {

class SfxPropertyToolController;

// Drives the sound-effect manager window SfxManagerTool: the installed
// effects (sources) on the left, the cue file's instances on the right,
// filtered by the chosen source; previews through the shared player; create,
// edit and delete through the property tool controller it owns.
class SfxManagerWindowController : public QObject
{
    Q_OBJECT

public:
    SfxManagerWindowController(QQmlEngine* engine, std::shared_ptr<audio::SfxRepository> repository,
                               QObject* parent = nullptr);
    ~SfxManagerWindowController() override;

    SfxManagerWindowController(const SfxManagerWindowController&) = delete;
    SfxManagerWindowController& operator=(const SfxManagerWindowController&) = delete;

    // Opens the window, or refreshes and raises the open one.
    void ShowWindow();
    // The window that the manager belongs to: the manager stays above it and
    // does not keep the program running once that window has closed.
    void SetTransientParent(QWindow* owner);

    // The open window, null when none is open.
    QObject* Window() const;
    SfxPropertyToolController* PropertyTool() const;

signals:
    void deleteInstanceRequest(QString eventId);
    void editInstanceRequest(QString eventId);
    void soundEffectsUpdated();
    void editCustomAudioRequest(std::shared_ptr<tarv::automation::CustomAudio> audio);

public slots:
    void onPlaySfx(QString eventId);
    void onStopSfx(QString eventId);
    void onSfxFinished(QString eventId);
    void onSoundEffectSelected(QVariant index);
    void onAddSoundEffectInstanceClicked(QString effectId);
    void onEditSoundEffectInstanceClicked(QString eventId);
    void onDeleteSoundEffectInstanceClicked(QString eventId);
    void onSfxListUpdate();
    void onSfxIsReady(QString effectPath);
    void onRequestClose();

private:
    void ConnectSignals();
    bool CreateWindow();
    void FillSourceList();
    void ReloadInstances();
    void SetWindowProperty(const char* name, const QVariant& value);
    void StopPreview(const QString& eventId, bool tookOver);

    QQmlEngine* m_engine;
    QPointer<QObject> m_window;
    std::vector<std::shared_ptr<audio::sfx::SfxDto>> m_instances;
    audio::SfxInstanceListModel m_instanceModel;
    SfxListModel m_sourceModel;
    std::unique_ptr<QPair<QString, QString>> m_selectedSource;
    std::weak_ptr<audio::SfxRepository> m_repository;
    std::unique_ptr<SfxPropertyToolController> m_propertyTool;
    // Previews this window started that have neither ended nor been stopped,
    // each with whether it took over the show's sound of the instance (or is
    // a copy of its own): closing the window stops these and nothing else.
    QHash<QString, bool> m_previews;
    QPointer<QWindow> m_owner;
};

} // namespace tarv::qt
