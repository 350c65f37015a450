// Timer accuracy of cue-list events: how late each event acts against its
// offset when many are armed at once, and how long a GO takes to put the
// first OSC datagram on the wire.

#include "automation/event.h"
#include "automation/eventgroup.h"
#include "automation/networkpath.h"
#include "automation/oscevent.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdint>
#include <memory>
#include <QCoreApplication>
#include <QEventLoop>
#include <QLoggingCategory>
#include <QNetworkDatagram>
#include <QUdpSocket>
#include <vector>

using namespace tarv::automation;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kEventCount = 1000;

// Stamps the moment it was armed and the moment its action ran.
class StampEvent : public Event
{
public:
    explicit StampEvent(unsigned offsetMs)
        : Event(QStringLiteral("STAMP"), offsetMs)
    {
        connect(this, &Event::firing, this, [this] { m_armed = Clock::now(); });
    }

    // Microseconds between the offset running out and the action.
    double LatenessUs() const
    {
        const auto due = m_armed + std::chrono::milliseconds(Offset());
        return std::chrono::duration<double, std::micro>(m_acted - due).count();
    }

protected:
    void Execute_() override
    {
        m_acted = Clock::now();
        emit complete(this, false);
    }

private:
    Clock::time_point m_armed;
    Clock::time_point m_acted;
};

double Percentile(std::vector<double> values, double fraction)
{
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1));
    return values[index];
}

// 1,000 events in one cue, one every millisecond over one second.
void BM_StaggeredEventLateness(benchmark::State& state)
{
    std::vector<double> lateness;
    for (auto _ : state) {
        EventGroup cue;
        std::vector<std::shared_ptr<StampEvent>> events;
        for (int i = 0; i < kEventCount; ++i) {
            events.push_back(std::make_shared<StampEvent>(static_cast<unsigned>(i)));
            cue.AddEvent(events.back());
        }
        QEventLoop loop;
        QObject::connect(&cue, &Event::complete, &loop, &QEventLoop::quit);
        cue.Execute();
        loop.exec();
        for (const auto& event : events) {
            lateness.push_back(event->LatenessUs());
        }
    }
    state.counters["median_us"] = Percentile(lateness, 0.5);
    state.counters["p99_us"] = Percentile(lateness, 0.99);
    state.counters["max_us"] = *std::max_element(lateness.begin(), lateness.end());
    state.counters["min_us"] = *std::min_element(lateness.begin(), lateness.end());
}
BENCHMARK(BM_StaggeredEventLateness)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();

// GO on a cue list whose cue holds one OSC event at offset 0, until the
// datagram is readable on a loopback receiver.
void BM_GoToFirstDatagram(benchmark::State& state)
{
    QUdpSocket receiver;
    if (!receiver.bind(QHostAddress::LocalHost, 0)) {
        state.SkipWithError("cannot bind a loopback receiver");
        return;
    }
    std::vector<tarv::networking::NetworkPath> networks(1);
    networks[0].port = receiver.localPort();

    auto osc = std::make_shared<Osc>(&networks);
    osc->Message(QStringLiteral("/tarv/sfx/sfx.1/play"));
    auto cue = std::make_shared<EventGroup>();
    cue->AddEvent(osc);
    EventGroup list;
    list.AddEvent(cue);

    std::vector<double> latencies;
    for (auto _ : state) {
        const auto start = Clock::now();
        list.Go();
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
BENCHMARK(BM_GoToFirstDatagram)->Iterations(2000)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // One debug line per expiry would measure the terminal, not the timers.
    QLoggingCategory::setFilterRules(QStringLiteral("tarv.automation.timing.debug=false"));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
