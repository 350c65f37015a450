#include "qt/sfxmanagerwindowcontroller.h"

#include "automation/customaudio.h"
#include "qt/qmlmodule.h"
#include "qt/sfxpropertytoolcontroller.h"
#include "qt/sfxsources.h"
#include "sfx/sfxdtobuilder.h"
#include "sfx/sfxmanifest.h"
#include "sfx/sfxplayer.h"
#include "sfx/sfxplayerconnectionmediator.h"
#include "sfx/sfxplayercontroller.h"
#include "sfx/sfxrepository.h"

#include <exception>
#include <iostream>
#include <QQmlEngine>
#include <QtDebug>
#include <QWindow>

namespace tarv::qt {

using audio::SfxPlayerConnectionMediator;
using audio::SfxPlayerController;
using audio::sfx::SfxDto;

namespace {

constexpr auto kAllInstances = "View All Instances";

void Connect(QObject* sender, const char* signal, QObject* receiver, const char* member)
{
    if (!QObject::connect(sender, signal, receiver, member, Qt::UniqueConnection))
        qCritical() << "Cannot connect the sound-effect manager's" << signal + 1;
}

} // namespace

SfxManagerWindowController::SfxManagerWindowController(
    QQmlEngine* engine, std::shared_ptr<audio::SfxRepository> repository, QObject* parent)
    : QObject(parent)
    , m_engine(engine)
    , m_repository(repository)
    , m_propertyTool(std::make_unique<SfxPropertyToolController>(engine, repository))
{
    ConnectSignals();
    try {
        FillSourceList();
    } catch (const std::exception& error) {
        std::cerr << "Error populating SFX Vector in SFX Manager Tool Controller: " << error.what()
                  << ".\n";
    }
}

SfxManagerWindowController::~SfxManagerWindowController()
{
    if (m_window)
        m_window->deleteLater();
}

QObject* SfxManagerWindowController::Window() const
{
    return m_window;
}

SfxPropertyToolController* SfxManagerWindowController::PropertyTool() const
{
    return m_propertyTool.get();
}

void SfxManagerWindowController::ConnectSignals()
{
    if (m_window) {
        Connect(m_window, SIGNAL(playSfx(QString)), this, SLOT(onPlaySfx(QString)));
        Connect(m_window, SIGNAL(stopSfx(QString)), this, SLOT(onStopSfx(QString)));
        Connect(m_window, SIGNAL(soundEffectSelected(QVariant)), this,
                SLOT(onSoundEffectSelected(QVariant)));
        Connect(m_window, SIGNAL(addSoundEffectInstanceClicked(QString)), this,
                SLOT(onAddSoundEffectInstanceClicked(QString)));
        Connect(m_window, SIGNAL(deleteSoundEffectInstanceClicked(QString)), this,
                SLOT(onDeleteSoundEffectInstanceClicked(QString)));
        Connect(m_window, SIGNAL(editSoundEffectInstanceClicked(QString)), this,
                SLOT(onEditSoundEffectInstanceClicked(QString)));
        Connect(m_window, SIGNAL(requestClose()), this, SLOT(onRequestClose()));
        Connect(m_window, SIGNAL(sfxFinished(QString)), this, SLOT(onSfxFinished(QString)));
    }

    SfxPlayerConnectionMediator* mediator = SfxPlayerConnectionMediator::instance();
    connect(this, &SfxManagerWindowController::soundEffectsUpdated, mediator,
            &SfxPlayerConnectionMediator::onSoundEffectsChanged, Qt::UniqueConnection);
    connect(mediator, &SfxPlayerConnectionMediator::onSfxIsReady, this,
            &SfxManagerWindowController::onSfxIsReady, Qt::UniqueConnection);

    SfxPropertyToolController* tool = m_propertyTool.get();
    connect(tool, &SfxPropertyToolController::soundEffectsChanged, this,
            &SfxManagerWindowController::onSfxListUpdate, Qt::UniqueConnection);
    connect(this, &SfxManagerWindowController::editCustomAudioRequest, tool,
            &SfxPropertyToolController::onEditCustomAudioRequest, Qt::UniqueConnection);
    connect(this, &SfxManagerWindowController::deleteInstanceRequest, tool,
            &SfxPropertyToolController::onDeleteInstanceRequest, Qt::UniqueConnection);
    connect(this, &SfxManagerWindowController::editInstanceRequest, tool,
            &SfxPropertyToolController::onEditInstanceRequest, Qt::UniqueConnection);
}

void SfxManagerWindowController::SetWindowProperty(const char* name, const QVariant& value)
{
    if (!m_window)
        return;
    if (m_window->metaObject()->indexOfProperty(name) < 0)
        qWarning() << "The sound-effect manager has no property" << name;
    m_window->setProperty(name, value);
}

bool SfxManagerWindowController::CreateWindow()
{
    if (m_engine == nullptr) {
        qCritical() << "The sound-effect manager needs a QML engine";
        return false;
    }
    QObject* window = CreateFromModule(*m_engine, QStringLiteral("com.quillonworks.tarv_ui"),
                                       QStringLiteral("SfxManagerTool"));
    if (window == nullptr)
        return false;
    m_window = window;
    ConnectSignals();
    return true;
}

void SfxManagerWindowController::ShowWindow()
{
    if (!m_window && !CreateWindow())
        return;
    // The window starts over at all instances, as its source list does.
    m_selectedSource.reset();
    try {
        FillSourceList();
    } catch (const std::exception& error) {
        ReportSfxError(QString::fromUtf8(error.what()));
    }
    ReloadInstances();
    SetWindowProperty("availableSoundEffectsModel", QVariant::fromValue(&m_sourceModel));
    SetWindowProperty("selectedSfxEffectId", QString());
    if (auto* window = qobject_cast<QWindow*>(m_window.data())) {
        window->setTransientParent(m_owner);
        window->requestActivate();
        window->raise();
        window->show();
    }
    SetWindowProperty("visible", true);
}

void SfxManagerWindowController::SetTransientParent(QWindow* owner)
{
    m_owner = owner;
}

void SfxManagerWindowController::FillSourceList()
{
    // Read first: a catalogue that fails leaves the list as it was.
    const auto sources = SortedSfxSources(sfx::SfxManifest());
    m_sourceModel.Clear();
    m_sourceModel.Append(QString::fromLatin1(kAllInstances), QString());
    for (const auto& [displayName, effectId] : sources)
        m_sourceModel.Append(displayName, effectId);
    SetWindowProperty("availableSoundEffectsModel", QVariant::fromValue(&m_sourceModel));
}

void SfxManagerWindowController::ReloadInstances()
{
    if (const auto repository = m_repository.lock()) {
        try {
            const auto stored = repository->Get();
            const sfx::SfxManifest manifest;
            m_instanceModel.Clear();
            m_instances.clear();
            for (const SfxDto& instance : stored) {
                const std::string& effectId = instance.effectId();
                if (!manifest.HasEffectId(effectId))
                    continue;
                auto record =
                    std::make_shared<SfxDto>(SfxDto::builder()
                                                 .name(instance.name())
                                                 .effectId(effectId)
                                                 .effectPath(manifest.path(effectId).value())
                                                 .outputPath(instance.outputPath())
                                                 .type(manifest.type(effectId).value_or(1))
                                                 .volume(instance.volume())
                                                 .fadeIn(instance.fadeIn())
                                                 .fadeOut(instance.fadeOut())
                                                 .repeats(instance.repeats())
                                                 .eventId(instance.eventId())
                                                 .pan(instance.pan())
                                                 .reverb(instance.reverb())
                                                 .build());
                m_instances.push_back(record);
                if (!m_selectedSource ||
                    m_selectedSource->second == QString::fromStdString(effectId))
                    m_instanceModel.Add(record, manifest.displayName(effectId).value_or(""));
            }
        } catch (const std::exception& error) {
            ReportSfxError(QString::fromUtf8(error.what()));
        }
        SetWindowProperty("soundEffectInstancesModel", QVariant::fromValue(&m_instanceModel));
    }
    emit soundEffectsUpdated();
}

void SfxManagerWindowController::onPlaySfx(QString eventId)
{
    try {
        SfxPlayerController player;
        const std::string id = eventId.toStdString();
        // An instance the show is playing is previewed as it plays, not
        // doubled by a second copy; stopping the preview then stops it. One
        // the show has faded to another level would not be heard as the
        // instance: it gets a copy of its own at the instance's level, which
        // leaves the show's sound alone.
        const bool takeOver = player.IsPlayingAtOwnLevel(id);
        if (!takeOver)
            player.preview(id);
        m_previews.insert(eventId, takeOver);
        QObject* notifier = player.GetPlayer(id);
        if (notifier != nullptr && m_window) {
            // A player previewed again before its end is still relayed: one
            // relay, made anew, so that a refusal means a real failure.
            QObject::disconnect(notifier, SIGNAL(sfxFinished(QString)), m_window,
                                SIGNAL(sfxFinished(QString)));
            Connect(notifier, SIGNAL(sfxFinished(QString)), m_window, SIGNAL(sfxFinished(QString)));
        }
    } catch (const std::exception& error) {
        ReportSfxError(QString::fromUtf8(error.what()), eventId);
    }
}

void SfxManagerWindowController::onStopSfx(QString eventId)
{
    // The window asks to stop before every edit and delete; audio of that id
    // that the show started is not this window's to stop.
    const auto preview = m_previews.constFind(eventId);
    if (preview == m_previews.constEnd())
        return;
    const bool tookOver = preview.value();
    m_previews.erase(preview);
    StopPreview(eventId, tookOver);
}

void SfxManagerWindowController::StopPreview(const QString& eventId, bool tookOver)
{
    try {
        SfxPlayerController player;
        if (tookOver)
            player.stop(eventId.toStdString());
        else
            player.stopPreview(eventId.toStdString());
    } catch (const std::exception& error) {
        ReportSfxError(QString::fromUtf8(error.what()), eventId);
    }
}

void SfxManagerWindowController::onSfxFinished(QString eventId)
{
    m_previews.remove(eventId);
    try {
        QObject* notifier = SfxPlayerController().GetPlayer(eventId.toStdString());
        if (notifier != nullptr && m_window)
            QObject::disconnect(notifier, SIGNAL(sfxFinished(QString)), m_window,
                                SIGNAL(sfxFinished(QString)));
    } catch (const std::exception& error) {
        ReportSfxError(QString::fromUtf8(error.what()), eventId);
    }
}

void SfxManagerWindowController::onSoundEffectSelected(QVariant index)
{
    const auto [displayName, effectId] = m_sourceModel.Row(index.toInt());
    if (displayName == QLatin1String(kAllInstances))
        m_selectedSource.reset();
    else
        m_selectedSource = std::make_unique<QPair<QString, QString>>(displayName, effectId);
    ReloadInstances();
}

void SfxManagerWindowController::onAddSoundEffectInstanceClicked(QString effectId)
{
    m_propertyTool->SetTransientParent(qobject_cast<QWindow*>(m_window.data()));
    if (m_propertyTool->ShowNewInstanceTool(effectId))
        return;
    // The source has left the library since the list was filled: the list
    // shows what is left.
    try {
        FillSourceList();
    } catch (const std::exception& error) {
        ReportSfxError(QString::fromUtf8(error.what()));
    }
}

void SfxManagerWindowController::onEditSoundEffectInstanceClicked(QString eventId)
{
    m_propertyTool->SetTransientParent(qobject_cast<QWindow*>(m_window.data()));
    emit editInstanceRequest(eventId);
}

void SfxManagerWindowController::onDeleteSoundEffectInstanceClicked(QString eventId)
{
    if (const auto repository = m_repository.lock()) {
        try {
            repository->Delete(eventId.toStdString());
        } catch (const std::exception& error) {
            ReportSfxError(QString::fromUtf8(error.what()), eventId);
        }
    }
    emit deleteInstanceRequest(eventId);
    ReloadInstances();
}

void SfxManagerWindowController::onSfxListUpdate()
{
    emit soundEffectsUpdated();
    ReloadInstances();
}

void SfxManagerWindowController::onSfxIsReady(QString effectPath)
{
    for (int row = 0; row < m_instanceModel.rowCount(); ++row) {
        const QModelIndex index = m_instanceModel.index(row);
        if (index.data(audio::SfxInstanceListModel::EffectPathRole).toString() == effectPath)
            m_instanceModel.setData(index, true, audio::SfxInstanceListModel::IsReadyRole);
    }
}

void SfxManagerWindowController::onRequestClose()
{
    // Only this window's previews stop: a cue's audio plays on.
    const auto previews = std::exchange(m_previews, {});
    for (auto preview = previews.cbegin(); preview != previews.cend(); ++preview)
        StopPreview(preview.key(), preview.value());
    m_selectedSource.reset();
    // Deleted once the closing signal has returned, never inside it.
    if (m_window) {
        disconnect(m_window, nullptr, this, nullptr);
        m_window->deleteLater();
    }
    m_window = nullptr;
}

} // namespace tarv::qt
