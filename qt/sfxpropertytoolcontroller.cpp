#include "qt/sfxpropertytoolcontroller.h"

#include "automation/customaudio.h"
#include "qt/qmlmodule.h"
#include "qt/sfxsources.h"
#include "qt/soundunits.h"
#include "sfx/customaudioparameters.h"
#include "sfx/sfxdtobuilder.h"
#include "sfx/sfxmanifest.h"
#include "sfx/sfxplayerconnectionmediator.h"
#include "sfx/sfxrepository.h"

#include <exception>
#include <iostream>
#include <QMetaProperty>
#include <QQmlEngine>
#include <QtDebug>
#include <QWindow>

namespace tarv::qt {

using audio::CustomAudioCommand;
using audio::CustomAudioParameters;
using audio::SfxPlayerConnectionMediator;
using audio::sfx::SfxDto;

namespace {

constexpr auto kModule = "com.quillonworks.tarv_ui";
constexpr auto kInstanceEditor = "StandaloneSfxTool";
constexpr auto kCustomAudioEditor = "SfxPropertyTool";

bool IsInstanceEditor(const QObject* window)
{
    return QString::fromLatin1(window->metaObject()->className()).contains(kInstanceEditor);
}

SfxDto NoInstance()
{
    return SfxDto::builder().build();
}

QString Percent(double fraction)
{
    return QString::number(fraction * 100.0, 'g', 6);
}

QString Seconds(unsigned milliseconds)
{
    return QString::number(milliseconds / 1000.0, 'g', 6);
}

void Connect(QObject* sender, const char* signal, QObject* receiver, const char* slot)
{
    if (!QObject::connect(sender, signal, receiver, slot, Qt::UniqueConnection))
        qCritical() << "Cannot connect the sound editor's" << signal + 1;
}

} // namespace

SfxPropertyToolController::SfxPropertyToolController(
    QQmlEngine* engine, std::shared_ptr<audio::SfxRepository> repository, QObject* parent)
    : QObject(parent)
    , m_engine(engine)
    , m_repository(repository)
    , m_instance(NoInstance())
{
    SfxPlayerConnectionMediator* mediator = SfxPlayerConnectionMediator::instance();
    connect(this, &SfxPropertyToolController::preloadCustomAudioEntryRequested, mediator,
            &SfxPlayerConnectionMediator::preloadCustomAudio, Qt::UniqueConnection);
    connect(this, &SfxPropertyToolController::soundEffectsChanged, mediator,
            &SfxPlayerConnectionMediator::onSoundEffectsChanged, Qt::UniqueConnection);
    try {
        FillSourceList();
    } catch (const std::exception& error) {
        std::cerr << "Error populating SFX Vector in SFX Tool Controller: " << error.what()
                  << ".\n";
    }
}

SfxPropertyToolController::~SfxPropertyToolController()
{
    disconnect(this, nullptr, this, nullptr);
    // A window left open would answer its OK to nobody.
    if (m_window) {
        disconnect(m_window, nullptr, this, nullptr);
        m_window->deleteLater();
    }
}

void SfxPropertyToolController::FillSourceList()
{
    // Read first: a catalogue that fails leaves the list as it was.
    const auto pairs = SortedSfxSources(sfx::SfxManifest());
    m_sources.Clear();
    for (const auto& [displayName, effectId] : pairs)
        m_sources.Append(displayName, effectId);
    m_sourcePairs = pairs;
}

QVariantList SfxPropertyToolController::SoundEffects() const
{
    QVariantList ids;
    for (const auto& pair : m_sourcePairs)
        ids.append(QVariant(pair.second));
    return ids;
}

void SfxPropertyToolController::SetTransientParent(QWindow* owner)
{
    m_owner = owner;
}

void SfxPropertyToolController::SetShowFolder(const QString& folder)
{
    m_audioFolder.SetShowFolder(folder);
}

void SfxPropertyToolController::KeepChosenAudioFolder()
{
    if (m_window && !IsInstanceEditor(m_window))
        m_audioFolder.Returned(m_window->property("audioFolder").toUrl());
}

QObject* SfxPropertyToolController::Window() const
{
    return m_window;
}

bool SfxPropertyToolController::IsEditingInstance() const
{
    return !(m_instance == NoInstance());
}

int SfxPropertyToolController::SourceRow(const QString& effectId) const
{
    for (int row = 0; row < m_sourcePairs.size(); ++row) {
        if (m_sourcePairs.at(row).second == effectId)
            return row;
    }
    return -1;
}

void SfxPropertyToolController::SetWindowProperty(const char* name, const QVariant& value)
{
    if (!m_window)
        return;
    // An undeclared name would become a dynamic property that nothing reads.
    if (m_window->metaObject()->indexOfProperty(name) < 0)
        qWarning() << "The sound editor has no property" << name;
    m_window->setProperty(name, value);
}

bool SfxPropertyToolController::ShowNewInstanceTool(const QString& effectId)
{
    try {
        FillSourceList();
    } catch (const std::exception& error) {
        ReportSfxError(QString::fromUtf8(error.what()));
    }
    // The editor would open on another effect, which the operator might not
    // notice before OK.
    if (!effectId.isEmpty() && SourceRow(effectId) < 0) {
        ReportSfxError(tr("The sound effect \"%1\" is no longer in the library: no new "
                          "instance can play it.")
                           .arg(effectId),
                       effectId);
        return false;
    }
    m_instance = NoInstance();
    ShowTool(effectId, nullptr);
    return true;
}

void SfxPropertyToolController::ShowTool(const QString& effectId,
                                         const CustomAudioParameters* parameters)
{
    const bool custom = parameters != nullptr;
    KeepChosenAudioFolder();
    if (!OpenWindow(custom))
        return;
    // Effects may have been installed or removed since the last opening: the
    // rows must be the catalogue's now, or a row would name another effect.
    try {
        FillSourceList();
    } catch (const std::exception& error) {
        ReportSfxError(QString::fromUtf8(error.what()));
    }
    SetWindowProperty("effectModel", QVariant::fromValue(&m_sources));
    if (custom) {
        QList<QUrl> folders = m_audioFolder.Offer();
        SetWindowProperty("audioFolder", folders.takeFirst());
        SetWindowProperty("audioFallbackFolders",
                          QVariant::fromValue(QVariantList(folders.cbegin(), folders.cend())));
    }
    if (custom && !parameters->file().isEmpty())
        ShowCustomAudio(*parameters);
    else if (!custom && IsEditingInstance())
        ShowInstance(effectId);
    else
        ShowNewInstance(effectId);
    if (auto* window = qobject_cast<QWindow*>(m_window.data())) {
        window->setTransientParent(m_owner);
        SetWindowProperty("visible", true);
        // Return and Escape reach only the active window.
        window->requestActivate();
    } else {
        SetWindowProperty("visible", true);
    }
}

bool SfxPropertyToolController::OpenWindow(bool custom)
{
    if (m_window && IsInstanceEditor(m_window) != custom)
        return true;
    if (m_window)
        DiscardWindow();
    if (m_engine == nullptr) {
        qCritical() << "The sound editors need a QML engine";
        return false;
    }
    QObject* window =
        CreateFromModule(*m_engine, QString::fromLatin1(kModule),
                         QString::fromLatin1(custom ? kCustomAudioEditor : kInstanceEditor));
    if (window == nullptr)
        return false;
    m_window = window;
    ConnectWindow();
    return true;
}

void SfxPropertyToolController::ConnectWindow()
{
    if (IsInstanceEditor(m_window)) {
        Connect(m_window,
                SIGNAL(createRequest(QString, QString, int, QString, int, double, double, int, int,
                                     int, int)),
                this,
                SLOT(onCreationRequest(QString, QString, int, QString, int, double, double, int,
                                       int, int, int)));
        Connect(m_window,
                SIGNAL(changeRequest(QString, QString, int, QString, int, double, double, int, int,
                                     int, int)),
                this,
                SLOT(onChangeRequest(QString, QString, int, QString, int, double, double, int, int,
                                     int, int)));
    } else {
        Connect(m_window, SIGNAL(updateCustomAudioEntry(QUrl, int, double, double, int, int, bool)),
                this,
                SLOT(onUpdateCustomAudioEntryRequested(QUrl, int, double, double, int, int, bool)));
    }
    Connect(m_window, SIGNAL(toolClosing()), this, SLOT(onToolClosing()));
}

void SfxPropertyToolController::DiscardWindow()
{
    // The other editor's edit ends here, unseen: nothing it sends may land.
    disconnect(m_window, nullptr, this, nullptr);
    if (IsInstanceEditor(m_window))
        m_instance = NoInstance();
    m_window->setProperty("visible", false);
    m_window->deleteLater();
    m_window = nullptr;
}

void SfxPropertyToolController::WriteSoundProperties(double volume, double pan, double reverb,
                                                     unsigned fadeIn, unsigned fadeOut)
{
    SetWindowProperty("pan", Percent(pan));
    SetWindowProperty("volume", soundunits::SliderPositionOfGain(volume));
    SetWindowProperty("reverb", Percent(reverb));
    SetWindowProperty("fadeIn", Seconds(fadeIn));
    SetWindowProperty("fadeOut", Seconds(fadeOut));
}

void SfxPropertyToolController::ShowCustomAudio(const CustomAudioParameters& parameters)
{
    SetWindowProperty("usesCustomAudioFile", true);
    WriteSoundProperties(parameters.volume(), parameters.pan(), parameters.reverb(),
                         parameters.fadeIn(), parameters.fadeOut());
    SetWindowProperty("name", parameters.name());
    SetWindowProperty("filename", parameters.file());
    SetWindowProperty("fileUrl", QUrl::fromLocalFile(parameters.file()));
    SetWindowProperty("commandIndex", static_cast<int>(parameters.command()));
    SetWindowProperty("loop", parameters.repeats() == -1);
}

void SfxPropertyToolController::ShowInstance(const QString& effectId)
{
    SetWindowProperty("isEdit", true);
    SetWindowProperty("isNameDirty", true);
    WriteSoundProperties(m_instance.volume(), m_instance.pan(), m_instance.reverb(),
                         m_instance.fadeIn(), m_instance.fadeOut());
    SetWindowProperty("name", QString::fromStdString(m_instance.name()));
    SetWindowProperty("eventId", QString::fromStdString(m_instance.eventId()));
    SetWindowProperty("loop", m_instance.repeats() == -1);
    int row = SourceRow(effectId);
    if (row < 0 && !effectId.isEmpty()) {
        // An effect that has left the library stays the instance's, shown as
        // missing, until the operator picks another.
        m_sources.Append(tr("%1 (missing)").arg(effectId), effectId);
        row = m_sources.rowCount() - 1;
    }
    if (row >= 0)
        SetWindowProperty("effectIdIndex", row);
    SetWindowProperty("outputPathId", QString::fromStdString(m_instance.outputPath()));
}

void SfxPropertyToolController::ShowNewInstance(const QString& effectId)
{
    SetWindowProperty("isEdit", false);
    // A reused window must not keep a name typed for another instance.
    SetWindowProperty("isNameDirty", false);
    SetWindowProperty("pan", 50);
    SetWindowProperty("volume", soundunits::SliderPositionOfGain(soundunits::kDefaultGain));
    SetWindowProperty("reverb", 0);
    SetWindowProperty("fadeIn", 0);
    SetWindowProperty("fadeOut", 0);
    SetWindowProperty("eventId", QString());
    SetWindowProperty("outputPathId", QString());
    SetWindowProperty("loop", false);
    if (effectId.isEmpty())
        SetWindowProperty("effectIdIndex", 0);
    else if (const int row = SourceRow(effectId); row >= 0)
        SetWindowProperty("effectIdIndex", row);
    if (const auto repository = m_repository.lock()) {
        try {
            SetWindowProperty("eventId", QString::fromStdString(repository->PreviewEventId()));
        } catch (const std::exception& error) {
            ReportSfxError(QString::fromUtf8(error.what()));
        }
    }
    SetWindowProperty("name", m_window->property("effectText"));
}

void SfxPropertyToolController::onCreationRequest(QString name, QString outputPath,
                                                  int outputPathIndex, QString effectId,
                                                  int effectIdIndex, double volume, double pan,
                                                  int reverb, int fadeIn, int fadeOut, int repeats)
{
    Q_UNUSED(outputPathIndex)
    Q_UNUSED(effectIdIndex)
    const SfxDto instance = SfxDto::builder()
                                .name(name.toStdString())
                                .outputPath(outputPath.toStdString())
                                .effectId(effectId.toStdString())
                                .volume(static_cast<float>(volume))
                                .pan(static_cast<float>(pan / 100.0))
                                .reverb(static_cast<float>(reverb / 100.0))
                                .fadeIn(soundunits::InstanceFadeMilliseconds(fadeIn))
                                .fadeOut(soundunits::InstanceFadeMilliseconds(fadeOut))
                                .repeats(repeats)
                                .build();
    if (const auto repository = m_repository.lock()) {
        try {
            repository->Save(instance);
        } catch (const std::exception& error) {
            ReportSfxError(QString::fromUtf8(error.what()), name);
        }
    }
    emit soundEffectsChanged();
}

void SfxPropertyToolController::onChangeRequest(QString name, QString outputPath,
                                                int outputPathIndex, QString effectId,
                                                int effectIdIndex, double volume, double pan,
                                                int reverb, int fadeIn, int fadeOut, int repeats)
{
    Q_UNUSED(outputPathIndex)
    Q_UNUSED(effectIdIndex)
    if (!IsEditingInstance()) {
        qWarning() << "A change arrived with no sound effect instance being edited; ignored";
        return;
    }
    m_instance.setName(name.toStdString());
    m_instance.setOutputPath(outputPath.toStdString());
    m_instance.setEffectId(effectId.toStdString());
    m_instance.setVolume(static_cast<float>(volume));
    m_instance.setPan(static_cast<float>(pan / 100.0));
    m_instance.setReverb(static_cast<float>(reverb / 100.0));
    m_instance.setFadeIn(soundunits::InstanceFadeMilliseconds(fadeIn));
    m_instance.setFadeOut(soundunits::InstanceFadeMilliseconds(fadeOut));
    m_instance.setRepeats(repeats);
    if (const auto repository = m_repository.lock()) {
        try {
            repository->Update(m_instance.eventId(), m_instance);
        } catch (const std::exception& error) {
            ReportSfxError(QString::fromUtf8(error.what()),
                           QString::fromStdString(m_instance.eventId()));
        }
    }
    emit soundEffectEdited();
    SetWindowProperty("isEdit", false);
    emit soundEffectsChanged();
}

void SfxPropertyToolController::onDeleteInstanceRequest(QString eventId)
{
    const auto repository = m_repository.lock();
    if (!repository)
        return;
    try {
        const std::string id = eventId.toStdString();
        for (const SfxDto& instance : repository->Get()) {
            if (instance.eventId() == id) {
                repository->Delete(id);
                break;
            }
        }
    } catch (const std::exception& error) {
        ReportSfxError(QString::fromUtf8(error.what()), eventId);
    }
    emit soundEffectsChanged();
}

void SfxPropertyToolController::onEditInstanceRequest(QString eventId)
{
    const auto repository = m_repository.lock();
    if (!repository)
        return;
    // An id that is not (or no longer) in the cue file opens an empty record,
    // so OK cannot overwrite an instance edited before.
    m_instance = NoInstance();
    try {
        const std::string id = eventId.toStdString();
        for (const SfxDto& instance : repository->Get()) {
            if (instance.eventId() == id)
                m_instance = instance;
        }
    } catch (const std::exception& error) {
        ReportSfxError(QString::fromUtf8(error.what()), eventId);
        return;
    }
    ShowTool(QString::fromStdString(m_instance.effectId()), nullptr);
}

void SfxPropertyToolController::onEditCustomAudioRequest(
    std::shared_ptr<tarv::automation::CustomAudio> audio)
{
    if (!audio)
        return;
    m_audio = std::move(audio);
    const CustomAudioParameters* parameters = m_audio->parameters();
    const CustomAudioParameters none;
    ShowTool(QString(), parameters != nullptr ? parameters : &none);
}

void SfxPropertyToolController::onUpdateCustomAudioEntryRequested(QUrl filename, int commandIndex,
                                                                  double volume, double pan,
                                                                  int fadeIn, int fadeOut,
                                                                  bool loop)
{
    if (!m_audio)
        return;
    const CustomAudioParameters current =
        m_audio->parameters() != nullptr ? *m_audio->parameters() : CustomAudioParameters();
    const QString file = filename.toLocalFile();
    m_audio->parameters(CustomAudioParameters::builder()
                            .file(file)
                            .volume(volume)
                            .pan(pan / 100.0)
                            .fadeIn(soundunits::CustomAudioFadeMilliseconds(fadeIn))
                            .fadeOut(soundunits::CustomAudioFadeMilliseconds(fadeOut))
                            .reverb(current.reverb())
                            .name(current.name())
                            .outputPath(current.outputPath())
                            .networkPatch(current.networkPatch())
                            .repeats(loop ? -1 : 0)
                            .command(static_cast<CustomAudioCommand>(commandIndex))
                            .build());
    if (file.isEmpty())
        return;
    try {
        emit preloadCustomAudioEntryRequested(file);
    } catch (const std::exception& error) {
        ReportSfxError(QString::fromUtf8(error.what()), file);
    }
}

void SfxPropertyToolController::onToolClosing()
{
    emit toolClosing();
    m_instance = NoInstance();
    KeepChosenAudioFolder();
    if (m_window) {
        disconnect(m_window, nullptr, this, nullptr);
        m_window->deleteLater();
    }
    m_window = nullptr;
}

} // namespace tarv::qt
