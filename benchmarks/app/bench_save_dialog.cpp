// The longest hold-up of the window's thread while a name is typed in the
// save dialog over a folder of 20,000 shows: each key's handling, from its
// delivery to the end of the events it caused. The cue timers share that
// thread, so a key that holds it delays the show.

#include "app/cueapplication.h"
#include "app/startup.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>
#include <QDir>
#include <QFile>
#include <QQmlApplicationEngine>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QTest>
#include <vector>

using Clock = std::chrono::steady_clock;

namespace {

QQmlApplicationEngine* g_engine = nullptr;

constexpr int kShows = 20000;

void BM_SaveDialogKeyOverManyShows(benchmark::State& state)
{
    QTemporaryDir folder;
    for (int i = 0; i < kShows; ++i) {
        QFile(folder.filePath(QStringLiteral("take %1.tarvcue").arg(i, 5, 10, QLatin1Char('0'))))
            .open(QIODevice::WriteOnly);
    }
    QQmlComponent component(g_engine);
    component.setData("import com.quillonworks.automation_tool_ui\nCueFileSaveDialog {}", {});
    std::unique_ptr<QObject> made(component.create());
    auto* dialog = qobject_cast<QQuickWindow*>(made.get());
    if (!dialog) {
        state.SkipWithError("the save dialog did not load");
        return;
    }
    QMetaObject::invokeMethod(dialog, "openIn", Q_ARG(QVariant, QUrl::fromLocalFile(folder.path())),
                              Q_ARG(QVariant, QString()));
    if (!QTest::qWaitForWindowExposed(dialog)) {
        state.SkipWithError("the save dialog did not show");
        return;
    }
    auto* list = dialog->findChild<QObject*>(QStringLiteral("entries"));
    if (!list ||
        !QTest::qWaitFor([list] { return list->property("count").toInt() == kShows; }, 60000)) {
        state.SkipWithError("the save dialog did not list the folder");
        return;
    }

    const QString name = QStringLiteral("Winter tour ");
    std::vector<double> stalls;
    int typed = 0;
    for (auto _ : state) {
        // A name typed, then erased, again and again.
        const bool erasing = (typed / name.size()) % 2 == 1;
        const QChar letter = name.at(typed % name.size());
        ++typed;
        const auto start = Clock::now();
        if (erasing) {
            QTest::keyClick(dialog, Qt::Key_Backspace);
        } else {
            QTest::keyClick(dialog, letter.toLatin1());
        }
        QCoreApplication::processEvents();
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(seconds);
        stalls.push_back(seconds * 1e3);
    }
    std::sort(stalls.begin(), stalls.end());
    state.counters["median_ms"] = stalls[stalls.size() / 2];
    state.counters["max_ms"] = stalls.back();
}
BENCHMARK(BM_SaveDialogKeyOverManyShows)
    ->Iterations(240)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QUICK_CONTROLS_STYLE", "Basic");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    CueApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("QuillonWorks"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("quillonworks.com"));
    RegisterQmlTypes();
    QQmlApplicationEngine engine;
    engine.addImportPath(QStringLiteral("qrc:/qt/qml"));
    engine.rootContext()->setContextProperty(QStringLiteral("qmlEngine"), &engine);
    g_engine = &engine;

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
