#include "automation/automation.h"
#include "automation/customaudio.h"
#include "automation/eventgroup.h"
#include "sfx/sfxdtobuilder.h"

#include <csignal>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace tarv::automation;
using tarv::audio::CustomAudioParameters;
using tarv::audio::sfx::SfxDto;

namespace {

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
        QVERIFY(complete.wait(2000));
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
    rlimit original{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &original), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit tiny = original;
    tiny.rlim_cur = 64;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    bool threw = false;
    try {
        show.Save(path);
    } catch (const std::runtime_error&) {
        threw = true;
    }
    setrlimit(RLIMIT_FSIZE, &original);
    std::signal(SIGXFSZ, oldHandler);
    QVERIFY(threw);
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

    show.Save(path);
    QVERIFY(ReadAll(path).startsWith("{\n    \"version\": \"1.0\""));
}

QTEST_GUILESS_MAIN(TestCueListDocument)
#include "tst_cuelistdocument.moc"
