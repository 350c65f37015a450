// From GO to the first OSC datagram on a loopback receiver: once with the
// Space key pressed in the real main window (the key's way through the
// window's shortcut, the controller and the cue list), once on the bare
// engine (a cue list fired directly), so the window's share shows.

#include "app/automationcontroller.h"
#include "app/cueapplication.h"
#include "app/startup.h"
#include "automation/automation.h"
#include "automation/eventgroup.h"
#include "automation/networkpath.h"
#include "automation/oscevent.h"
#include "qt/qmlcontroller.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>
#include <QLoggingCategory>
#include <QNetworkDatagram>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQuickWindow>
#include <QTest>
#include <QUdpSocket>
#include <vector>

using namespace tarv::automation;
using Clock = std::chrono::steady_clock;

namespace {

CueApplication* g_app = nullptr;
QQmlApplicationEngine* g_engine = nullptr;

double Percentile(std::vector<double> values, double fraction)
{
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1));
    return values[index];
}

// A cue with one OSC event at offset 0, sent to `port` on loopback.
std::shared_ptr<EventGroup> CueTo(std::vector<tarv::networking::NetworkPath>& networks, int port)
{
    networks.front().port = port;
    auto osc = std::make_shared<Osc>(&networks);
    osc->Message(QStringLiteral("/tarv/sfx/sfx.1/play"));
    auto cue = std::make_shared<EventGroup>();
    cue->AddEvent(osc);
    return cue;
}

// Times `go` until the datagram it causes is readable; one sample per call.
template <typename Go>
void Measure(benchmark::State& state, QUdpSocket& receiver, Go go)
{
    std::vector<double> latencies;
    for (auto _ : state) {
        const auto start = Clock::now();
        go();
        while (!receiver.hasPendingDatagrams()) {
            QCoreApplication::processEvents();
        }
        const auto arrived = Clock::now();
        receiver.receiveDatagram();
        const double seconds = std::chrono::duration<double>(arrived - start).count();
        state.SetIterationTime(seconds);
        latencies.push_back(seconds * 1e6);
    }
    state.counters["median_us"] = Percentile(latencies, 0.5);
    state.counters["p99_us"] = Percentile(latencies, 0.99);
    state.counters["max_us"] = *std::max_element(latencies.begin(), latencies.end());
}

void BM_SpaceKeyToFirstDatagram(benchmark::State& state)
{
    QUdpSocket receiver;
    if (!receiver.bind(QHostAddress::LocalHost, 0)) {
        state.SkipWithError("cannot bind a loopback receiver");
        return;
    }
    OpenMainView(g_engine, *g_app);
    auto* window =
        g_app->MainView() ? qobject_cast<QQuickWindow*>(g_app->MainView()->Window()) : nullptr;
    auto* controller = window ? qobject_cast<AutomationController*>(
                                    window->property("mainController").value<QObject*>())
                              : nullptr;
    if (!controller) {
        state.SkipWithError("the main window did not open");
        return;
    }
    window->requestActivate();
    if (!QTest::qWaitForWindowActive(window)) {
        state.SkipWithError("the main window did not become active");
        return;
    }

    Automation& show = controller->Document();
    while (!show.Events().empty()) {
        show.RemoveEvent(0);
    }
    show.AddEvent(CueTo(show.GetNetworks(), receiver.localPort()));

    Measure(state, receiver, [window] {
        QTest::keyPress(window, Qt::Key_Space);
        QTest::keyRelease(window, Qt::Key_Space);
    });
    CloseMainView(*g_app);
}
BENCHMARK(BM_SpaceKeyToFirstDatagram)
    ->Iterations(2000)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

void BM_BareEngineGoToFirstDatagram(benchmark::State& state)
{
    QUdpSocket receiver;
    if (!receiver.bind(QHostAddress::LocalHost, 0)) {
        state.SkipWithError("cannot bind a loopback receiver");
        return;
    }
    std::vector<tarv::networking::NetworkPath> networks(1);
    EventGroup list;
    list.AddEvent(CueTo(networks, receiver.localPort()));
    Measure(state, receiver, [&list] { list.Go(); });
}
BENCHMARK(BM_BareEngineGoToFirstDatagram)
    ->Iterations(2000)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

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
    // One debug line per expiry would measure the terminal, not the timers.
    QLoggingCategory::setFilterRules(QStringLiteral("tarv.automation.timing.debug=false"));
    RegisterQmlTypes();
    QQmlApplicationEngine engine;
    engine.addImportPath(QStringLiteral("qrc:/qt/qml"));
    engine.rootContext()->setContextProperty(QStringLiteral("qmlEngine"), &engine);
    g_app = &app;
    g_engine = &engine;

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    CloseMainView(app);
    return 0;
}
