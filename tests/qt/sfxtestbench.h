#pragma once

#include "automation/automation.h"
#include "automation/tarvcuefilesfxrepository.h"
#include "sfx/sfxdtobuilder.h"
#include "sfx/sfxplayercontroller.h"

#include <memory>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMetaObject>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QTest>
#include <sstream>

// What the sound-effect tools work against, wired as the program wires it: a
// cue-list document, the shared repository that the tools use, the player
// with a repository of its own on the same document, a QML engine that has
// the program's windows, and a catalogue of our own over the built effects.
class SfxTestBench
{
public:
    using SfxDto = tarv::audio::sfx::SfxDto;
    using Repository = tarv::automation::TarvCueFileSfxRepository;

    struct Effect
    {
        QString id;
        QString name;
        QString type;
        QString file;
    };

    // Call before anything reads the catalogue or starts the player.
    explicit SfxTestBench(const QList<Effect>& effects)
        : repository(std::make_shared<Repository>())
    {
        Install(effects);
        qputenv("TARV_SFX_LIBRARY", m_folder.path().toUtf8());

        engine.addImportPath(QStringLiteral("qrc:/qt/qml"));
        Wire(*repository);
        std::unique_ptr<tarv::audio::SfxRepository> playerRepository =
            std::make_unique<Repository>();
        Wire(static_cast<Repository&>(*playerRepository));
        tarv::audio::SfxPlayerController player(playerRepository);
    }

    // Rewrites the catalogue, as installing or removing effects while the
    // program runs would.
    void Install(const QList<Effect>& effects)
    {
        QJsonArray entries;
        for (const Effect& effect : effects)
            entries.append(
                QJsonObject{{"id", effect.id},
                            {"name", effect.name},
                            {"type", effect.type},
                            {"file", QStringLiteral(TARV_TEST_EFFECTS_DIR "/") + effect.file}});
        QFile catalogue(QDir(m_folder.path()).filePath("catalogue.json"));
        if (catalogue.open(QIODevice::WriteOnly))
            catalogue.write(QJsonDocument(QJsonObject{{"effects", entries}}).toJson());
    }

    static SfxDto Instance(const std::string& eventId, const std::string& effectId,
                           const std::string& name, int repeats = 0, float volume = 1.0F,
                           const std::string& outputPath = {})
    {
        return SfxDto::builder()
            .eventId(eventId)
            .effectId(effectId)
            .name(name)
            .repeats(repeats)
            .volume(volume)
            .pan(0.5F)
            .outputPath(outputPath)
            .build();
    }

    // Opens a cue file that holds these instances, as the operator would.
    void Open(const std::vector<SfxDto>& instances)
    {
        QJsonArray entries;
        for (const SfxDto& i : instances)
            entries.append(QJsonObject{{"name", QString::fromStdString(i.name())},
                                       {"event_id", QString::fromStdString(i.eventId())},
                                       {"effect_id", QString::fromStdString(i.effectId())},
                                       {"effect_path", ""},
                                       {"output_path", QString::fromStdString(i.outputPath())},
                                       {"pan", i.pan()},
                                       {"volume", i.volume()},
                                       {"reverb", i.reverb()},
                                       {"repeats", i.repeats()},
                                       {"fade_in", i.fadeIn()},
                                       {"fade_out", i.fadeOut()},
                                       {"type", 1}});
        const QJsonObject file{
            {"version", "1.0"}, {"main", QJsonObject()}, {"sound_effects", entries}};
        std::istringstream in(QJsonDocument(file).toJson().toStdString());
        document.Open(in);
    }

    std::optional<SfxDto> Stored(const std::string& eventId) const
    {
        return document.GetSoundEffect(eventId);
    }

    template <typename T = QQuickItem>
    static T* Find(QObject* window, const char* name)
    {
        return window->findChild<T*>(QString::fromLatin1(name));
    }

    // Clicks the middle of an item of a window, as the operator would.
    static void Click(QQuickItem* item)
    {
        QVERIFY(item != nullptr && item->window() != nullptr);
        const QPointF middle = item->mapToScene({item->width() / 2, item->height() / 2});
        QTest::mouseClick(item->window(), Qt::LeftButton, {}, middle.toPoint());
    }

    static QQuickItem* Row(QObject* window, const char* list, int index)
    {
        QQuickItem* row = nullptr;
        (void)QTest::qWaitFor([&] {
            QMetaObject::invokeMethod(Find(window, list), "itemAtIndex",
                                      Q_RETURN_ARG(QQuickItem*, row), Q_ARG(int, index));
            return row != nullptr;
        });
        return row;
    }

    tarv::automation::Automation document;
    std::shared_ptr<Repository> repository;
    QQmlEngine engine;

private:
    void Wire(Repository& r)
    {
        using R = Repository;
        using A = tarv::automation::Automation;
        QObject::connect(&r, &R::saveSoundEffect, &document, &A::onSaveSoundEffectRequested);
        QObject::connect(&r, &R::getSoundEffects, &document, &A::onGetSoundEffectsRequested);
        QObject::connect(&r, &R::getSoundEffectById, &document, &A::onGetSoundEffectByIdRequested);
        QObject::connect(&r, &R::updateSoundEffect, &document, &A::onUpdateSoundEffectRequested);
        QObject::connect(&r, &R::deleteSoundEffect, &document, &A::onRemoveSoundEffectRequested);
        QObject::connect(&r, &R::nextEventId, &document, &A::onNextSoundEffectEventIdRequested);
        QObject::connect(&r, &R::previewEventId, &document,
                         &A::onPreviewSoundEffectEventIdRequested);
    }

    QTemporaryDir m_folder;
};
