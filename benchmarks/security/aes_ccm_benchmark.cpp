// Seal and open throughput of the library's AES-CCM helpers beside Crypto++'s
// CCM driven directly on the same data in the same run. Each operation keys a
// fresh cipher, as the library must. On a shared machine run with
//   security_aes_ccm_benchmark --benchmark_repetitions=8
//       --benchmark_enable_random_interleaving=true
// and compare the median bytes_per_second of the Library and Direct rows of
// one size.
#include <benchmark/benchmark.h>
#include <crypto++/aes.h>
#include <crypto++/ccm.h>
#include <security/aes_ccm.h>
#include <vector>

namespace {

using bytes = std::vector<uint8_t>;
using Encryption = CryptoPP::CCM<CryptoPP::AES, 16>::Encryption;
using Decryption = CryptoPP::CCM<CryptoPP::AES, 16>::Decryption;

const bytes& Key()
{
    static const bytes key(16, 0x42);
    return key;
}

const bytes& Nonce()
{
    static const bytes nonce(12, 0x24);
    return nonce;
}

bytes Plain(std::size_t n)
{
    return bytes(n, 0x5A);
}

void DirectSeal(const bytes& plain, bytes& out)
{
    Encryption cipher;
    cipher.SetKeyWithIV(Key().data(), Key().size(), Nonce().data(), Nonce().size());
    cipher.SpecifyDataLengths(0, plain.size(), 0);
    out.resize(plain.size() + 16);
    cipher.ProcessData(out.data(), plain.data(), plain.size());
    cipher.TruncatedFinal(out.data() + plain.size(), 16);
}

bool DirectOpen(const bytes& sealed, bytes& out)
{
    const std::size_t n = sealed.size() - 16;
    Decryption cipher;
    cipher.SetKeyWithIV(Key().data(), Key().size(), Nonce().data(), Nonce().size());
    cipher.SpecifyDataLengths(0, n, 0);
    out.resize(n);
    cipher.ProcessData(out.data(), sealed.data(), n);
    return cipher.TruncatedVerify(sealed.data() + n, 16);
}

void LibrarySeal(benchmark::State& state)
{
    const bytes plain = Plain(static_cast<std::size_t>(state.range(0)));
    bytes out;
    for (auto _ : state) {
        tarv_sec::AesAuthenticateEncrypt(Key(), Nonce(), plain, out);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

void DirectSeal(benchmark::State& state)
{
    const bytes plain = Plain(static_cast<std::size_t>(state.range(0)));
    bytes out;
    for (auto _ : state) {
        DirectSeal(plain, out);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

void LibraryOpen(benchmark::State& state)
{
    const bytes sealed = tarv_sec::AesAuthenticateEncrypt(
        Key(), Nonce(), Plain(static_cast<std::size_t>(state.range(0))));
    bytes out;
    for (auto _ : state) {
        if (!tarv_sec::AesAuthenticateDecrypt(Key(), Nonce(), sealed, out))
            state.SkipWithError("authentication failed");
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

void DirectOpen(benchmark::State& state)
{
    bytes sealed;
    DirectSeal(Plain(static_cast<std::size_t>(state.range(0))), sealed);
    bytes out;
    for (auto _ : state) {
        if (!DirectOpen(sealed, out))
            state.SkipWithError("authentication failed");
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

// The sealed-blob form also draws a fresh nonce from a newly seeded pool.
void LibrarySealCreateIV(benchmark::State& state)
{
    const bytes plain = Plain(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(tarv_sec::AesAuthenticateEncryptCreateIV(Key(), plain));
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

constexpr int64_t Sizes[] = {1 << 10, 64 << 10, 1 << 20};

void ApplySizes(benchmark::internal::Benchmark* benchmark)
{
    for (const int64_t size : Sizes)
        benchmark->Arg(size);
}

} // namespace

BENCHMARK(LibrarySeal)->Apply(ApplySizes);
BENCHMARK(DirectSeal)->Apply(ApplySizes);
BENCHMARK(LibraryOpen)->Apply(ApplySizes);
BENCHMARK(DirectOpen)->Apply(ApplySizes);
BENCHMARK(LibrarySealCreateIV)->Apply(ApplySizes);

BENCHMARK_MAIN();
