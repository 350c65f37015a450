#include "osc/oscmessage.h"
#include "osc/oscmessageencoder.h"
#include "osc/oscserver.h"

#include <benchmark/benchmark.h>
#include <iostream>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QUdpSocket>
#include <sstream>

using namespace tarv::osc;

namespace {

// A typical command: a level, a fade time and a name.
const QString kCommand = QStringLiteral("/tarv/show/A/song/B/fadeto -6 2.5 \"intro\"");

void BM_ParseOscMessage(benchmark::State& state)
{
    const QByteArray datagram = EncodeOscMessage(kCommand);
    const auto* data = reinterpret_cast<const std::uint8_t*>(datagram.constData());
    for (auto _ : state) {
        std::size_t consumed = 0;
        benchmark::DoNotOptimize(ParseOscMessage(data, datagram.size(), consumed));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ParseOscMessage);

void BM_EncodeOscMessage(benchmark::State& state)
{
    for (auto _ : state) {
        benchmark::DoNotOptimize(EncodeOscMessage(kCommand));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EncodeOscMessage);

class CountingHandler : public OscProcInterface
{
public:
    explicit CountingHandler(std::int64_t& count)
        : m_count(count)
    {}
    void OnAdvance(const std::string&, const std::string&) override { ++m_count; }

private:
    std::int64_t& m_count;
};

// Datagrams sent on loopback, received, parsed and dispatched to the handler.
void BM_ServerDispatch(benchmark::State& state)
{
    constexpr int kBatch = 64; // small enough never to overflow the receive buffer
    QUdpSocket probe;
    probe.bind(QHostAddress::LocalHost, 0);
    const quint16 port = probe.localPort();
    probe.close();

    std::int64_t dispatched = 0;
    std::ostringstream silence; // the server announces its port on every run
    std::streambuf* const out = std::cout.rdbuf(silence.rdbuf());
    auto server = std::make_unique<OscServer>(port, std::make_unique<CountingHandler>(dispatched),
                                              QHostAddress::LocalHost);

    QUdpSocket sender;
    const QByteArray datagram = EncodeOscMessage(QStringLiteral("/tarv/show/A/go 1 2.5 x"));
    std::int64_t sent = 0;
    for (auto _ : state) {
        for (int i = 0; i < kBatch; ++i) {
            sender.writeDatagram(datagram, QHostAddress::LocalHost, port);
        }
        sent += kBatch;
        const QDeadlineTimer deadline(5000);
        while (dispatched < sent && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        }
        if (dispatched < sent) {
            state.SkipWithError("datagrams were lost on loopback");
            break;
        }
    }
    state.SetItemsProcessed(dispatched);
    server.reset();
    std::cout.rdbuf(out);
}
BENCHMARK(BM_ServerDispatch)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
