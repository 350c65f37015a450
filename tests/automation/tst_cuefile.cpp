#include "automation/automation.h"
#include "automation/automationjsoninputadapter.h"
#include "automation/automationjsonoutputadapter.h"
#include "automation/customaudio.h"
#include "automation/eventgroup.h"
#include "automation/oscevent.h"
#include "automation/waitevent.h"
#include "sfx/sfxdtobuilder.h"

#include <cmath>
#include <limits>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <sstream>

using namespace tarv::automation;
using tarv::audio::CustomAudioCommand;
using tarv::audio::CustomAudioParameters;
using tarv::audio::SfxType;
using tarv::audio::sfx::SfxDto;
using tarv::networking::NetworkPath;

namespace {

std::shared_ptr<CustomAudio> MakeAudio(const QString& file, unsigned offset)
{
    return std::make_shared<CustomAudio>(CustomAudioParameters::builder()
                                             .name(QStringLiteral("Knall ✓"))
                                             .file(file)
                                             .outputPath(QStringLiteral("Haupt"))
                                             .networkPatch(QString())
                                             .repeats(-1)
                                             .fadeIn(1500)
                                             .fadeOut(70000)
                                             .volume(0.7071067811865476)
                                             .reverb(0.1)
                                             .pan(0.25)
                                             .command(CustomAudioCommand::Stop)
                                             .build(),
                                         offset);
}

void SetCommon(Event& event, const QString& number)
{
    event.Name(QStringLiteral("Cue %1 — ü日本").arg(number));
    event.Number(number);
    event.Act(QStringLiteral("Akt Ⅰ"));
    event.Scene(QString());
    event.Status(QStringLiteral("x"));
    event.CueLine(QStringLiteral("\"Quote\"\n\\ line\t"));
}

// The document that data/roundtrip/show.tarvcue holds when that file lies in
// folder/cues: every kind of event, value and path form.
void FillShow(Automation& show, const QString& folder)
{
    auto cue = std::make_shared<EventGroup>();
    SetCommon(*cue, QStringLiteral("1"));
    cue->Offset(250);
    cue->DisableDelete(true);
    auto osc = std::make_shared<Osc>(&show.GetNetworks());
    SetCommon(*osc, QStringLiteral("1.1"));
    osc->Offset(4294967295U);
    osc->NetworkId(QStringLiteral("NET2"));
    osc->Message(QStringLiteral("/tarv/sfx/sfx.1/play 1 2.5 \"x\""));
    cue->AddEvent(osc);
    auto boom = MakeAudio(folder + "/other/boom.wav", 100);
    SetCommon(*boom, QStringLiteral("1.2"));
    cue->AddEvent(boom);
    cue->AddEvent(MakeAudio(QString(), 0));
    auto inner = std::make_shared<EventGroup>();
    inner->AddEvent(std::make_shared<Wait>(1000));
    auto innermost = std::make_shared<EventGroup>();
    innermost->AddEvent(MakeAudio(folder + "/cues/hits/hit.wav", 7));
    inner->AddEvent(innermost);
    cue->AddEvent(inner);
    show.AddEvent(cue);

    auto wait = std::make_shared<Wait>(2500);
    wait->Name(QString());
    wait->Status(QString());
    show.AddEvent(wait);
    show.AddEvent(std::make_shared<EventGroup>());

    show.AddSoundEffect(SfxDto::builder()
                            .name("Donner ⚡")
                            .eventId("sfx.1")
                            .effectId("thunder")
                            .effectPath("../effects/thunder.ogg")
                            .outputPath("")
                            .volume(0.25F)
                            .pan(1.0F)
                            .reverb(0.125F)
                            .fadeIn(65535)
                            .fadeOut(0)
                            .repeats(-1)
                            .type(SfxType::Custom)
                            .build());
    show.AddSoundEffect(SfxDto::builder().eventId("sfx.7").type(SfxType::Ambient).build());

    show.GetNetworks().push_back(NetworkPath());
    show.GetNetworks().push_back(NetworkPath{"Lichtpult ☼", "NET2", "::1", 1, 65535});
}

void CompareEvents(Event& read, Event& written)
{
    QCOMPARE(read.Type(), written.Type());
    QCOMPARE(read.Name(), written.Name());
    QCOMPARE(read.Number(), written.Number());
    QCOMPARE(read.Act(), written.Act());
    QCOMPARE(read.Scene(), written.Scene());
    QCOMPARE(read.Status(), written.Status());
    QCOMPARE(read.CueLine(), written.CueLine());
    QCOMPARE(read.Offset(), written.Offset());
    QCOMPARE(read.DisableDelete(), written.DisableDelete());
    if (auto* group = dynamic_cast<EventGroup*>(&written)) {
        const auto readEvents = dynamic_cast<EventGroup&>(read).Events();
        const auto writtenEvents = group->Events();
        QCOMPARE(readEvents.size(), writtenEvents.size());
        for (std::size_t i = 0; i < readEvents.size(); ++i) {
            CompareEvents(*readEvents[i], *writtenEvents[i]);
        }
    } else if (auto* wait = dynamic_cast<Wait*>(&written)) {
        QCOMPARE(dynamic_cast<Wait&>(read).WaitTime(), wait->WaitTime());
    } else if (auto* osc = dynamic_cast<Osc*>(&written)) {
        QCOMPARE(dynamic_cast<Osc&>(read).NetworkId(), osc->NetworkId());
        QCOMPARE(dynamic_cast<Osc&>(read).Message(), osc->Message());
    } else if (auto* audio = dynamic_cast<CustomAudio*>(&written)) {
        QVERIFY(*dynamic_cast<CustomAudio&>(read).parameters() == *audio->parameters());
    }
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::unique_ptr<Automation> ReadText(const std::string& text)
{
    std::istringstream in(text);
    auto show = std::make_unique<Automation>();
    show->Open(in);
    return show;
}

// The file is valid JSON for an independent reader, and `expression` holds.
bool JqAccepts(const QString& path, const char* expression)
{
    QProcess jq;
    jq.start(QStringLiteral("jq"), {QStringLiteral("-e"), QString::fromUtf8(expression), path});
    return jq.waitForFinished(10000) && jq.exitStatus() == QProcess::NormalExit &&
           jq.exitCode() == 0;
}

} // namespace

class TestCueFile : public QObject
{
    Q_OBJECT

private slots:
    void roundTripMatchesTheHandWrittenFile();
    void readerInterpretsStoredValues();
    void writerRefusesWhatJsonCannotHold();
};

void TestCueFile::roundTripMatchesTheHandWrittenFile()
{
    QFile handWritten(QStringLiteral(TARV_CUE_FILE_DATA "/roundtrip/show.tarvcue"));
    QVERIFY(handWritten.open(QIODevice::ReadOnly));
    const QByteArray expected = handWritten.readAll();
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("cues"));
    const QString path = dir.path() + "/cues/show.tarvcue";

    // Written: byte for byte the file written by hand, audio paths relative.
    Automation written;
    FillShow(written, dir.path());
    written.Save(path);
    QCOMPARE(QString::fromUtf8(ReadAll(path)), QString::fromUtf8(expected));
    // Another JSON reader sees the same texts, escapes and all.
    QVERIFY(JqAccepts(path, R"(.main.events[0].cue_line == "\"Quote\"\n\\ line\t")"));
    QVERIFY(JqAccepts(path, R"(.sound_effects[0].name == "Donner ⚡")"));

    // Read: field for field the document built above, audio paths absolute.
    const QString copy = dir.path() + "/cues/copy.tarvcue";
    QVERIFY(handWritten.copy(copy));
    Automation read;
    const Result result = read.Open(copy);
    QVERIFY(result.Notes().isEmpty());
    QCOMPARE(read.Path(), copy);
    QVERIFY(!read.ReadOnly());
    CompareEvents(read, written);
    QVERIFY(read.SoundEffects() == written.SoundEffects());
    QVERIFY(read.GetNetworks() == written.GetNetworks());

    // Saving what was read gives the same bytes: nothing drifts per save.
    read.Save(path);
    QCOMPARE(ReadAll(path), expected);
}

void TestCueFile::readerInterpretsStoredValues()
{
    const auto show = ReadText(R"({"version": "1.0", "main": {"offset": 99, "events": [
        {"type": "GROUP"},
        {"type": "OSC", "message": "/a"},
        {"type": "WAIT", "wait_time": 1000, "disable_delete": false},
        {"type": "AUDIO", "offset": 0, "audio_parameters": {"name": "", "file": "/else/a.wav",
            "output_path": "", "network_patch": "", "repeats": 0, "fade_in": 0, "fade_out": 0,
            "volume": 1, "reverb": 0, "pan": 0, "command": 0}}]},
        "sound_effects": [{"name": "", "pan": 1, "volume": 0, "reverb": 0, "repeats": 0,
            "fade_in": 0, "fade_out": 0, "output_path": "", "event_id": "sfx.1",
            "effect_path": "", "effect_id": "", "type": 7}],
        "network_paths": [
            {"name": "a", "network_id": "N", "ip_address": "x", "mode": "tcp", "port": 1},
            {"name": "b", "network_id": "M", "ip_address": "y", "mode": "TCP", "port": 2}]})");
    const auto events = show->Events();
    QCOMPARE(events.size(), std::size_t{4});
    QCOMPARE(show->Offset(), 0U);
    QVERIFY(dynamic_cast<EventGroup&>(*events[0]).Events().empty());
    // Destinations are read after the events: an OSC event without an id
    // does not pick one up.
    QCOMPARE(dynamic_cast<Osc&>(*events[1]).NetworkId(), QString());
    QCOMPARE(events[2]->Name(), QStringLiteral("Wait for 1 second then execute next!"));
    QCOMPARE(events[2]->Status(), QStringLiteral("continue"));
    QCOMPARE(dynamic_cast<CustomAudio&>(*events[3]).parameters()->file(), "/else/a.wav");
    QCOMPARE(show->SoundEffects().at(0).type(), SfxType::SoundEffect);
    QCOMPARE(show->GetNetworks().at(0).mode, 1);
    QCOMPARE(show->GetNetworks().at(1).mode, 0);

    // Newer files whose minimum this program meets open read-only; the
    // refused versions are in the hostile corpus.
    const std::pair<const char*, bool> versions[] = {
        {R"("version": "1.0")", false},
        {R"("version": "0.5", "min_read_version": "9.0")", false},
        {R"("version": "1.1", "min_read_version": "1.1")", true},
        {R"("version": "2.3", "min_read_version": "1.0")", true},
        {R"("version": "1.1")", true}};
    for (const auto& [fields, readOnly] : versions) {
        const auto read = ReadText("{" + std::string(fields) +
                                   R"(, "main": {"events": [{"type": "WAIT", "wait_time": 1}]}})");
        QCOMPARE(read->ReadOnly(), readOnly);
        QCOMPARE(read->Events().size(), std::size_t{1});
    }
}

void TestCueFile::writerRefusesWhatJsonCannotHold()
{
    const auto refuses = [](Automation& show, const char* fragment) {
        std::ostringstream out;
        try {
            AutomationJsonOutputAdapter(&show).Write(out, CueFileVersion::Current());
        } catch (const std::runtime_error& error) {
            QVERIFY2(QByteArray(error.what()).contains(fragment), error.what());
            QVERIFY(out.str().empty());
            return;
        }
        QFAIL("the writer accepted the document");
    };

    Automation nanVolume;
    nanVolume.AddEvent(std::make_shared<CustomAudio>(
        CustomAudioParameters::builder().volume(std::nan("")).build(), 0));
    refuses(nanVolume, "volume");

    Automation infinitePan;
    infinitePan.AddSoundEffect(
        SfxDto::builder().eventId("sfx.1").pan(std::numeric_limits<float>::infinity()).build());
    refuses(infinitePan, "pan of the sound effect \"sfx.1\" is not a finite number");

    Automation brokenText;
    brokenText.GetNetworks().push_back(NetworkPath{"\xff\xfe", "N", "127.0.0.1", 0, 1});
    refuses(brokenText, "not valid UTF-8");

    // Deeper than the reader accepts: never written.
    Automation deep;
    std::shared_ptr<EventGroup> parent = std::make_shared<EventGroup>();
    deep.AddEvent(parent);
    for (int level = 1; level < AutomationJsonInputAdapter::MaxGroupDepth; ++level) {
        auto child = std::make_shared<EventGroup>();
        parent->AddEvent(child);
        parent = child;
    }
    std::ostringstream atLimit;
    AutomationJsonOutputAdapter(&deep).Write(atLimit, CueFileVersion::Current());
    QCOMPARE(ReadText(atLimit.str())->Events().size(), std::size_t{1});
    parent->AddEvent(std::make_shared<Wait>(1));
    refuses(deep, "nested more than 64 levels");
}

QTEST_GUILESS_MAIN(TestCueFile)
#include "tst_cuefile.moc"
