#include "automation/automation.h"
#include "automation/automationjsoninputadapter.h"
#include "automation/automationjsonoutputadapter.h"
#include "automation/checkedjsonwriter.h"
#include "automation/customaudio.h"
#include "automation/eventgroup.h"
#include "automation/oscevent.h"
#include "automation/waitevent.h"
#include "sfx/sfxdtobuilder.h"
#include "tests/support/filesizelimit.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <random>
#include <rapidjson/prettywriter.h>
#include <rapidjson/stringbuffer.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

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

// A show drawn from a fixed seed that exercises what the writer has to get
// right byte for byte: every escape, text outside the BMP and broken UTF-16,
// numbers at their limits and in every form, deep groups, paths in and out of
// the show's folder. Only raw engine output is used, so every platform
// builds the same show.
class VariedShow
{
public:
    explicit VariedShow(QString folder)
        : m_folder(std::move(folder))
    {}

    void Fill(Automation& show)
    {
        show.GetNetworks().push_back(NetworkPath());
        show.GetNetworks().push_back(NetworkPath{Utf8Text(), "NET2", "::1", 1, 65535});
        show.GetNetworks().push_back(NetworkPath{"", "", "", -7, -1});
        for (int cue = 0; cue < 40; ++cue) {
            show.AddEvent(AnyEvent(show, 0));
        }
        for (int i = 0; i < 12; ++i) {
            show.AddSoundEffect(SfxDto::builder()
                                    .name(Utf8Text())
                                    .eventId("sfx." + std::to_string(i + 1))
                                    .effectId(Utf8Text())
                                    .effectPath(Utf8Text())
                                    .outputPath(Utf8Text())
                                    .volume(FloatNumber())
                                    .pan(FloatNumber())
                                    .reverb(FloatNumber())
                                    .fadeIn(static_cast<unsigned short>(m_random()))
                                    .fadeOut(static_cast<unsigned short>(m_random()))
                                    .repeats(static_cast<int>(m_random()))
                                    .type(static_cast<SfxType>(Pick(3)))
                                    .build());
        }
    }

private:
    std::uint32_t Pick(std::uint32_t count) { return m_random() % count; }

    QString Text()
    {
        static const QString pieces[] = {
            QStringLiteral("Cue"),
            QStringLiteral(" "),
            QStringLiteral("\"\\/"),
            QStringLiteral("\b\f\n\r\t"),
            QString(QChar(0x01)) + QChar(0x1f) + QChar(0x7f),
            QStringLiteral("ü日本—"),
            QStringLiteral("Façade Ü"), // Latin-1, yet not ASCII
            QStringLiteral("\u2028\u2029"),
            QString::fromUtf8("\xf0\x9f\x8e\xad"),  // outside the BMP
            QString(QChar(0xd800)),                 // a lone high surrogate
            QString(QChar(0xdfff)) + QChar(0xd834), // a low one, then a high one
            QString(QChar(0xfffd)) + QChar(0xfeff),
            QStringLiteral("/tarv/sfx/sfx.1/play 1 2.5"),
            QString(),
        };
        QString text;
        for (std::uint32_t n = Pick(4); n > 0; --n) {
            text += pieces[Pick(std::size(pieces))];
        }
        // Now and then a text far longer than the others.
        if (Pick(50) == 0) {
            text += Pick(2) == 0 ? QString(3000, QLatin1Char('x')) : QString(700, QChar(0x263c));
        }
        return text;
    }

    std::string Utf8Text()
    {
        static const char* const pieces[] = {"Lichtpult ☼",      "\"\\\n", "\x01\x7f",
                                             "\xf0\x9f\x8e\xad", "plain",  "",
                                             "\xc3\xa9t\xc3\xa9"};
        std::string text;
        for (std::uint32_t n = Pick(3); n > 0; --n) {
            text += pieces[Pick(std::size(pieces))];
        }
        return text;
    }

    double Number()
    {
        static const double fixed[] = {0.0,
                                       -0.0,
                                       1.0,
                                       0.1,
                                       1.0 / 3.0,
                                       0.7071067811865476,
                                       -123456.789,
                                       1e21,
                                       1e-7,
                                       5e-324,
                                       std::numeric_limits<double>::max(),
                                       std::numeric_limits<double>::lowest(),
                                       std::numeric_limits<float>::max(),
                                       9007199254740993.0};
        if (Pick(2) == 0) {
            return fixed[Pick(std::size(fixed))];
        }
        const auto mantissa = static_cast<double>(m_random()) - 2147483648.0;
        return std::ldexp(mantissa, static_cast<int>(Pick(80)) - 60);
    }

    float FloatNumber()
    {
        constexpr double largest = std::numeric_limits<float>::max();
        return static_cast<float>(std::clamp(Number(), -largest, largest));
    }

    QString File()
    {
        switch (Pick(7)) {
        case 0:
            return QString();
        case 6:
            return m_folder + "/cues2/c.wav"; // beside the folder, named alike
        case 1:
            return m_folder + "/cues/" + Text() + ".wav";
        case 2:
            return m_folder + "/cues/sub/../deep/./a.wav";
        case 3:
            return m_folder + "/other/" + Text();
        case 4:
            return QStringLiteral("relative/b.wav");
        default:
            return m_folder + "/cues/x.wav";
        }
    }

    void SetCommon(Event& event)
    {
        event.Name(Text());
        event.Number(Text());
        event.Act(Text());
        event.Scene(Text());
        event.Status(Text());
        event.CueLine(Text());
        event.Offset(Pick(4) == 0 ? std::numeric_limits<unsigned>::max() : Pick(100000));
        event.DisableDelete(Pick(2) == 0);
    }

    std::shared_ptr<Event> AnyEvent(Automation& show, int depth)
    {
        std::shared_ptr<Event> event;
        switch (Pick(depth < 4 ? 5 : 3)) {
        case 0: {
            auto wait = std::make_shared<Wait>(Pick(3) == 0 ? 4294967295U : m_random());
            event = wait;
            if (Pick(2) == 0) {
                return event; // with the name and status a new wait gets
            }
            break;
        }
        case 1: {
            auto osc = std::make_shared<Osc>(&show.GetNetworks());
            osc->NetworkId(Text());
            osc->Message(Text());
            event = osc;
            break;
        }
        case 2:
            event =
                std::make_shared<CustomAudio>(CustomAudioParameters::builder()
                                                  .name(Text())
                                                  .file(File())
                                                  .outputPath(Text())
                                                  .networkPatch(Text())
                                                  .repeats(static_cast<int>(m_random()))
                                                  .fadeIn(m_random())
                                                  .fadeOut(m_random())
                                                  .volume(Number())
                                                  .reverb(Number())
                                                  .pan(Number())
                                                  .command(static_cast<CustomAudioCommand>(Pick(4)))
                                                  .build(),
                                              0);
            break;
        default: {
            auto group = std::make_shared<EventGroup>();
            for (std::uint32_t n = Pick(6); n > 0; --n) {
                group->AddEvent(AnyEvent(show, depth + 1));
            }
            event = group;
            break;
        }
        }
        SetCommon(*event);
        return event;
    }

    QString m_folder;
    std::mt19937 m_random{20261209};
};

std::string FileWithSfxIds(const std::vector<std::string>& ids)
{
    std::string text = R"({"version": "1.0", "main": {}, "sound_effects": [)";
    for (const auto& id : ids) {
        text += R"({"name": "", "pan": 0, "volume": 1, "reverb": 0, "repeats": 0, "fade_in": 0,
            "fade_out": 0, "output_path": "", "effect_path": "", "type": 1, "effect_id": "fx-)" +
                id + R"(", "event_id": ")" + id + "\"},";
    }
    if (!ids.empty()) {
        text.pop_back();
    }
    return text + "]}";
}

Result OpenText(Automation& show, const std::string& text)
{
    std::istringstream in(text);
    return show.Open(in);
}

// Where two texts of many kilobytes part, for a failure message.
QString FirstDifference(const QByteArray& actual, const QByteArray& expected)
{
    qsizetype at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) {
        ++at;
    }
    return QStringLiteral("the bytes differ from byte %1 on: \"%2\" instead of \"%3\"")
        .arg(at)
        .arg(QString::fromUtf8(actual.mid(at, 60)), QString::fromUtf8(expected.mid(at, 60)));
}

int NextId(Automation& show)
{
    auto promise = std::make_shared<std::promise<int>>();
    show.onNextSoundEffectEventIdRequested(promise);
    return promise->get_future().get();
}

int PreviewId(const Automation& show)
{
    auto promise = std::make_shared<std::promise<int>>();
    show.onPreviewSoundEffectEventIdRequested(promise);
    return promise->get_future().get();
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
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

class TestCueListDocument : public QObject
{
    Q_OBJECT

private slots:
    void sfxEventIdNumbering();
    void duplicateSfxIdsAreRepaired();
    void resultText();
    void audioRequestsOfCuesAreRelayed();
    void failedSavesKeepThePreviousFile();
    void anyNameSavesAgainAndFailuresSayWhy();
    void savesThroughALinkReachTheFileItNames();
    void savesKeepTheFilesOwner();
    void roundTripMatchesTheHandWrittenFile();
    void savesOfAVariedShowKeepTheirBytes();
    void textsAreWrittenAsRapidJsonWritesThem();
    void readerInterpretsStoredValues();
    void readerHoldsVolumesToTheEditorsRange();
    void writerRefusesWhatJsonCannotHold();
};

void TestCueListDocument::sfxEventIdNumbering()
{
    const struct
    {
        std::vector<std::string> ids;
        int next;
    } cases[] = {{{}, 1},
                 {{"sfx.1", "sfx.7", "sfx.3"}, 8},
                 {{"sfx.0"}, 1},
                 {{"cue12"}, 13},
                 {{"sfx.2147483646"}, 2147483647}};
    for (const auto& c : cases) {
        Automation show;
        OpenText(show, FileWithSfxIds(c.ids));
        QCOMPARE(show.GetNextEventIdSuffix(), c.next);
        QCOMPARE(PreviewId(show), c.next);
        QCOMPARE(PreviewId(show), c.next);
    }

    Automation show;
    OpenText(show, FileWithSfxIds({"sfx.7"}));
    QCOMPARE(NextId(show), 8);
    QCOMPARE(NextId(show), 9);

    // The last number there is can be previewed but never handed out.
    Automation full;
    OpenText(full, FileWithSfxIds({"sfx.2147483646"}));
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, NextId(full));
}

void TestCueListDocument::duplicateSfxIdsAreRepaired()
{
    Automation show;
    const Result result = OpenText(show, FileWithSfxIds({"sfx.1", "sfx.1", "sfx.2", "sfx.1"}));
    QStringList ids;
    for (const SfxDto& effect : show.SoundEffects()) {
        ids << QString::fromStdString(effect.eventId());
    }
    QCOMPARE(ids, QStringList({"sfx.1", "sfx.3", "sfx.2", "sfx.4"}));
    QCOMPARE(result.Notes().size(), 2);
    QCOMPARE(result.Notes().at(0).Type(), NoteType::DuplicateSfxEventId);
    QCOMPARE(result.Notes().at(0).Message(),
             QStringLiteral("A duplicate sfx event id sfx.1 was found for fx-sfx.1. It was "
                            "automatically assigned a new sfx event id sfx.3."));
    QCOMPARE(NextId(show), 5);
}

void TestCueListDocument::resultText()
{
    Result result;
    QCOMPARE(result.String(3), QString());
    result.AddNote(ResultNote(QStringLiteral("a"), NoteType::DuplicateSfxEventId));
    QCOMPARE(result.String(0), QStringLiteral("... and more."));
    result.AddNote(ResultNote(QStringLiteral("b"), NoteType::Unspecified));
    QCOMPARE(result.String(5), QStringLiteral("a\nb\n"));
    result.AddNote(ResultNote());
    QCOMPARE(result.String(2), QStringLiteral("a\nb\n... and more."));
}

void TestCueListDocument::audioRequestsOfCuesAreRelayed()
{
    const auto withCommand = [](int command) {
        return R"({"type": "AUDIO", "offset": 0, "audio_parameters": {"name": "", "file": "",
            "output_path": "", "network_patch": "", "repeats": 0, "fade_in": 0, "fade_out": 0,
            "volume": 1, "reverb": 0, "pan": 0.5, "command": )" +
               std::to_string(command) + "}}";
    };
    Automation show;
    OpenText(show, R"({"version": "1.0", "main": {"events": [)" + withCommand(0) +
                       R"(, {"type": "GROUP", "events": [)" + withCommand(1) +
                       R"(, {"type": "GROUP", "events": [)" + withCommand(0) + "]}]}]}}");
    QSignalSpy plays(&show, &Automation::playCustomAudio);
    QSignalSpy stops(&show, &Automation::stopCustomAudio);

    const auto top = show.Events();
    const auto cue = dynamic_cast<EventGroup&>(*top[1]).Events();
    const auto deep = dynamic_cast<EventGroup&>(*cue[1]).Events();
    for (const auto& event : {top[0], cue[0], deep[0]}) {
        QSignalSpy complete(event.get(), &Event::complete);
        event->Execute();
        QVERIFY(complete.wait(10000));
    }
    // Only the top level and the cues' own events are relayed.
    QCOMPARE(plays.size(), 1);
    QCOMPARE(stops.size(), 1);
    QCOMPARE(stops.at(0).at(0).value<CustomAudioParameters*>(),
             const_cast<CustomAudioParameters*>(dynamic_cast<CustomAudio&>(*cue[0]).parameters()));
}

void TestCueListDocument::failedSavesKeepThePreviousFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("show.tarvcue"));
    const QByteArray previous = "{\"previous\": true}";
    Automation show; // big enough that writing it needs more than a few bytes
    for (int i = 0; i < 20; ++i) {
        show.AddEvent(std::make_shared<EventGroup>());
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(previous) == previous.size());
    file.close();

    // A file that does not fit on the disk (the size limit stands in for a
    // full disk, which root's reserved blocks would otherwise hide).
    {
        const tarv::testing::FileSizeLimit limit(64);
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, show.Save(path));
    }
    QCOMPARE(ReadAll(path), previous);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("show.tarvcue")});

    // A document that cannot be written as JSON never reaches the file.
    show.AddSoundEffect(SfxDto::builder().eventId("sfx.1").volume(std::nanf("")).build());
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, show.Save(path));
    QCOMPARE(ReadAll(path), previous);
    show.SoundEffects({});

    // A folder that cannot exist: the path runs through a regular file.
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, show.Save(path + "/inside.tarvcue"));
    QCOMPARE(ReadAll(path), previous);

    // A special file is never replaced by a regular one.
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, show.Save(fifo));
    QVERIFY(!QFileInfo(fifo).isFile());
    // Opening one must not wait for a writer that never comes.
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, show.Open(fifo));

    // Only reached when a special file is known to be refused: replacing the
    // machine's /dev/full with a regular file must never happen.
    const QString full = QStringLiteral("/dev/full");
    if (QFileInfo::exists(full)) {
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, show.Save(full));
        QVERIFY(!QFileInfo(full).isFile());
    }
}

void TestCueListDocument::anyNameSavesAgainAndFailuresSayWhy()
{
    QTemporaryDir dir;
    Automation show;
    show.AddEvent(std::make_shared<EventGroup>());

    // The longest name a folder holds is saved, replaced, and replaced
    // through a link, which stays a link; the file keeps its permissions.
    const QString longest = QString(247, QLatin1Char('n')) + QStringLiteral(".tarvcue");
    const QString path = dir.filePath(longest);
    show.Save(path);
    QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                            QFileDevice::ReadOther));
    show.AddEvent(std::make_shared<EventGroup>());
    show.Save(path);
    const QString link = dir.filePath(QStringLiteral("link.tarvcue"));
    QVERIFY(QFile::link(path, link));
    show.Save(link);
    QVERIFY(QFileInfo(link).isSymLink());
    struct stat status = {};
    QCOMPARE(stat(QFile::encodeName(path).constData(), &status), 0);
    QCOMPARE(status.st_mode & 07777, mode_t{0604});
    Automation read;
    QVERIFY(read.Open(path).Notes().isEmpty());
    QCOMPARE(read.Events().size(), std::size_t{2});
    const QStringList files{QStringLiteral("link.tarvcue"), longest};
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System), files);

    // A failed save names its cause and leaves nothing behind.
    const struct
    {
        QString path;
        const char* reason;
    } failures[] = {
        {path + QStringLiteral("/inside.tarvcue"), "Not a directory"},
        {dir.filePath(QStringLiteral("missing/show.tarvcue")), "No such file or directory"},
        {dir.filePath(QString(256, QLatin1Char('n'))), "File name too long"},
    };
    for (const auto& failure : failures) {
        QString what;
        try {
            show.Save(failure.path);
        } catch (const std::runtime_error& e) {
            what = QString::fromUtf8(e.what());
        }
        QVERIFY2(what.endsWith(QLatin1String(failure.reason)), qPrintable(what));
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System), files);
}

void TestCueListDocument::savesThroughALinkReachTheFileItNames()
{
    QTemporaryDir dir;
    Automation show;
    show.AddEvent(std::make_shared<EventGroup>());

    // A link to a file not made yet, directly or through a second link, and
    // relative to the link's folder: the save makes that file and the links
    // stay links.
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("shows")));
    const QString named = dir.filePath(QStringLiteral("shows/named.tarvcue"));
    const QString link = dir.filePath(QStringLiteral("link.tarvcue"));
    const QString second = dir.filePath(QStringLiteral("second.tarvcue"));
    QVERIFY(QFile::link(QStringLiteral("shows/named.tarvcue"), link));
    QVERIFY(QFile::link(QStringLiteral("link.tarvcue"), second));
    show.Save(second);
    QVERIFY(QFileInfo(link).isSymLink());
    QVERIFY(QFileInfo(second).isSymLink());
    Automation read;
    QVERIFY(read.Open(named).Notes().isEmpty());
    QCOMPARE(read.Events().size(), std::size_t{1});

    // A link into a missing folder, or in a loop, is refused and left alone.
    const QString lost = dir.filePath(QStringLiteral("lost.tarvcue"));
    QVERIFY(QFile::link(QStringLiteral("missing/show.tarvcue"), lost));
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, show.Save(lost));
    const QString loop = dir.filePath(QStringLiteral("loop.tarvcue"));
    QVERIFY(QFile::link(QStringLiteral("loop.tarvcue"), loop));
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, show.Save(loop));
    QVERIFY(QFileInfo(lost).isSymLink() && QFileInfo(loop).isSymLink());
}

void TestCueListDocument::savesKeepTheFilesOwner()
{
    if (geteuid() != 0) {
        QSKIP("only root may give a file to another user");
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("owned.tarvcue"));
    Automation show;
    show.Save(path);
    const QByteArray native = QFile::encodeName(path);
    QCOMPARE(chown(native.constData(), 65534, 65534), 0);
    QCOMPARE(chmod(native.constData(), 0640), 0);
    show.AddEvent(std::make_shared<EventGroup>());
    show.Save(path);
    struct stat status = {};
    QCOMPARE(stat(native.constData(), &status), 0);
    QCOMPARE(status.st_uid, uid_t{65534});
    QCOMPARE(status.st_gid, gid_t{65534});
    QCOMPARE(status.st_mode & 07777, mode_t{0640});
}

void TestCueListDocument::roundTripMatchesTheHandWrittenFile()
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

void TestCueListDocument::savesOfAVariedShowKeepTheirBytes()
{
    QFile reference(QStringLiteral(TARV_CUE_FILE_DATA "/roundtrip/varied.tarvcue"));
    QVERIFY(reference.open(QIODevice::ReadOnly));
    const QByteArray expected = reference.readAll();
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("cues"));
    const QString path = dir.path() + "/cues/varied.tarvcue";

    Automation show;
    VariedShow(dir.path()).Fill(show);
    show.Save(path);
    QVERIFY(ReadAll(path).size() > 50000);
    QVERIFY2(ReadAll(path) == expected, qPrintable(FirstDifference(ReadAll(path), expected)));

    // Over a file much smaller or much larger than the show, which a save
    // takes as a guess of the size it will need, and over one larger than
    // any memory (sparse), which it must not take as a guess.
    for (const qint64 previousSize : {qint64{16}, qint64{expected.size()} * 3, qint64{1} << 40}) {
        QFile previous(path);
        QVERIFY(previous.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(previous.write("{}"), qint64{2});
        QVERIFY(previous.resize(previousSize));
        previous.close();
        show.Save(path);
        QVERIFY2(ReadAll(path) == expected, qPrintable(FirstDifference(ReadAll(path), expected)));
    }

    // Written into a stream, the document is the same text.
    std::ostringstream out;
    AutomationJsonOutputAdapter(&show).Write(out, CueFileVersion::Current());
    QVERIFY(QByteArray::fromStdString(out.str()) == expected);
}

void TestCueListDocument::textsAreWrittenAsRapidJsonWritesThem()
{
    QString everyAscii;
    for (char16_t c = 0; c < 0x80; ++c) {
        everyAscii += QChar(c);
    }
    QList<QString> texts{everyAscii, QString(), QStringLiteral("\"\\/\b\f\n\r\t\x7f")};
    for (char16_t c = 0; c < 0x80; ++c) {
        texts << QString(QChar(c));
    }
    // ASCII running into something else after escapes, and texts long enough
    // to make the buffer grow in the middle of one.
    texts << QStringLiteral("\x01\"a\n\x1f日本") << everyAscii + QChar(0xe9)
          << QString(QChar(0xd800)) + QStringLiteral("\t") << QString(100000, QLatin1Char('\n'))
          << QString(70000, QLatin1Char('a')) + QChar(0x1f) + QStringLiteral("€");

    for (const std::size_t expectedSize : {std::size_t{0}, std::size_t{1}}) {
        CheckedJsonWriter written(expectedSize);
        rapidjson::StringBuffer buffer;
        rapidjson::PrettyWriter<rapidjson::StringBuffer> reference(buffer);
        reference.SetIndent(' ', 4);
        written.StartObject();
        reference.StartObject();
        for (const QString& text : std::as_const(texts)) {
            written.Member("text", text);
            const QByteArray utf8 = text.toUtf8();
            reference.Key("text");
            reference.String(utf8.constData(), static_cast<rapidjson::SizeType>(utf8.size()));
        }
        written.EndObject();
        reference.EndObject();
        const QByteArray actual(written.Text().data(),
                                static_cast<qsizetype>(written.Text().size()));
        const QByteArray expected(buffer.GetString(), static_cast<qsizetype>(buffer.GetSize()));
        QVERIFY2(actual == expected, qPrintable(FirstDifference(actual, expected)));
    }
}

void TestCueListDocument::readerInterpretsStoredValues()
{
    Automation show;
    OpenText(show, R"({"version": "1.0", "main": {"offset": 99, "events": [
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
    const auto events = show.Events();
    QCOMPARE(events.size(), std::size_t{4});
    QCOMPARE(show.Offset(), 0U);
    QVERIFY(dynamic_cast<EventGroup&>(*events[0]).Events().empty());
    // Destinations are read after the events: an OSC event without an id
    // does not pick one up.
    QCOMPARE(dynamic_cast<Osc&>(*events[1]).NetworkId(), QString());
    QCOMPARE(events[2]->Name(), QStringLiteral("Wait for 1 second then execute next!"));
    QCOMPARE(events[2]->Status(), QStringLiteral("continue"));
    QCOMPARE(dynamic_cast<CustomAudio&>(*events[3]).parameters()->file(), "/else/a.wav");
    QCOMPARE(show.SoundEffects().at(0).type(), SfxType::SoundEffect);
    QCOMPARE(show.GetNetworks().at(0).mode, 1);
    QCOMPARE(show.GetNetworks().at(1).mode, 0);

    // Newer files whose minimum this program meets open read-only; the
    // refused versions are in the hostile corpus.
    const std::pair<const char*, bool> versions[] = {
        {R"("version": "1.0")", false},
        {R"("version": "0.5", "min_read_version": "9.0")", false},
        {R"("version": "1.1", "min_read_version": "1.1")", true},
        {R"("version": "2.3", "min_read_version": "1.0")", true},
        {R"("version": "1.1")", true}};
    for (const auto& [fields, readOnly] : versions) {
        Automation read;
        OpenText(read, "{" + std::string(fields) +
                           R"(, "main": {"events": [{"type": "WAIT", "wait_time": 1}]}})");
        QCOMPARE(read.ReadOnly(), readOnly);
        QCOMPARE(read.Events().size(), std::size_t{1});
    }
}

void TestCueListDocument::readerHoldsVolumesToTheEditorsRange()
{
    // The fader runs from -80 dB to 0 dB: whatever a file holds, a cue never
    // plays louder or quieter than an operator could have set it.
    const std::pair<const char*, double> cases[] = {{"3e38", 1.0},    {"1.5", 1.0},   {"0.5", 0.5},
                                                    {"1.0e-4", 1e-4}, {"1e-9", 1e-4}, {"0", 1e-4},
                                                    {"-0.0", 1e-4},   {"-3e38", 1e-4}};
    for (const auto& [stored, held] : cases) {
        const std::string volume = std::string(R"("volume": )") + stored;
        Automation show;
        OpenText(show, R"({"version": "1.0", "main": {"events": [
            {"type": "AUDIO", "offset": 0, "audio_parameters": {"name": "", "file": "",
            "output_path": "", "network_patch": "", "repeats": 0, "fade_in": 0,
            "fade_out": 0, )" +
                           volume + R"(, "reverb": 0, "pan": 0.5, "command": 0}}]},
            "sound_effects": [{"name": "", "pan": 0.5, )" +
                           volume + R"(, "reverb": 0,
            "repeats": 0, "fade_in": 0, "fade_out": 0, "output_path": "",
            "event_id": "sfx.1", "effect_path": "", "effect_id": "", "type": 1}]})");
        const auto& audio = dynamic_cast<CustomAudio&>(*show.Events().at(0));
        QVERIFY2(qFuzzyCompare(audio.parameters()->volume(), held), stored);
        QVERIFY2(qFuzzyCompare(show.SoundEffects().at(0).volume(), static_cast<float>(held)),
                 stored);
    }
}

void TestCueListDocument::writerRefusesWhatJsonCannotHold()
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
    Automation back;
    OpenText(back, atLimit.str());
    QCOMPARE(back.Events().size(), std::size_t{1});
    parent->AddEvent(std::make_shared<Wait>(1));
    refuses(deep, "nested more than 64 levels");
}

QTEST_GUILESS_MAIN(TestCueListDocument)
#include "tst_cuelistdocument.moc"
