// Twofish-CFB throughput of the library beside Crypto++'s CFB mode used
// directly (one ProcessData call, keyed afresh each time as the library must
// be), and RSA key generation, signing, verification, encryption and
// decryption rates, and how fast a hostile key is refused. Run with
//   security_twofish_rsa_benchmark --benchmark_counters_tabular=true
// and compare bytes_per_second of the Library and Direct rows of one size.
#include <benchmark/benchmark.h>
#include <crypto++/modes.h>
#include <crypto++/osrng.h>
#include <crypto++/queue.h>
#include <crypto++/twofish.h>
#include <filesystem>
#include <security/errors.h>
#include <security/rsa_encryption.h>
#include <security/rsa_keys.h>
#include <security/rsa_signature.h>
#include <security/twofish_cfb.h>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

using Bytes = std::vector<uint8_t>;

const Bytes kKey(32, 0x42);
const Bytes kIv(16, 0x24);

void TwofishLibrary(benchmark::State& state)
{
    const Bytes plain(static_cast<std::size_t>(state.range(0)), 0x5A);
    Bytes out(plain.size());
    for (auto _ : state) {
        tarv_sec::TwoFishBlockEncrypt(kKey, kIv, plain, out);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

void TwofishLibraryStream(benchmark::State& state)
{
    const std::string plain(static_cast<std::size_t>(state.range(0)), 'Z');
    for (auto _ : state) {
        std::istringstream in(plain);
        Bytes out = generic_noinitval_encrypt(in, plain.size(), kKey, kIv);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

void TwofishDirect(benchmark::State& state)
{
    const Bytes plain(static_cast<std::size_t>(state.range(0)), 0x5A);
    Bytes out(plain.size());
    for (auto _ : state) {
        CryptoPP::CFB_Mode<CryptoPP::Twofish>::Encryption cipher(kKey.data(), kKey.size(),
                                                                 kIv.data());
        cipher.ProcessData(out.data(), plain.data(), plain.size());
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

BENCHMARK(TwofishLibrary)->Arg(1 << 10)->Arg(64 << 10)->Arg(1 << 20);
BENCHMARK(TwofishLibraryStream)->Arg(1 << 10)->Arg(64 << 10)->Arg(1 << 20);
BENCHMARK(TwofishDirect)->Arg(1 << 10)->Arg(64 << 10)->Arg(1 << 20);

// One pair for the per-key operations, made through the library's files.
struct Keys
{
    Keys()
    {
        const std::filesystem::path dir =
            std::filesystem::temp_directory_path() / ("rsa-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        const auto paths = tarv_sec::GenerateRsaKeyPair("bench", dir.string());
        privateKey = tarv_sec::LoadPrivateKey(paths.first);
        publicKey = tarv_sec::LoadPublicKey(paths.second);
        std::filesystem::remove_all(dir);
    }
    CryptoPP::InvertibleRSAFunction privateKey;
    CryptoPP::RSAFunction publicKey;
};

const Keys& SharedKeys()
{
    static const Keys keys;
    return keys;
}

void RsaGenerateKeyPair(benchmark::State& state)
{
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("rsa-bench-gen-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    for (auto _ : state) {
        benchmark::DoNotOptimize(tarv_sec::GenerateRsaKeyPair("bench", dir.string()));
    }
    std::filesystem::remove_all(dir);
}

void RsaSign(benchmark::State& state)
{
    const Keys& keys = SharedKeys();
    const Bytes message(1000, 0x33);
    for (auto _ : state) {
        benchmark::DoNotOptimize(tarv_sec::SignMessage(keys.privateKey, message));
    }
}

void RsaVerify(benchmark::State& state)
{
    const Keys& keys = SharedKeys();
    const Bytes message(1000, 0x33);
    const Bytes signature = tarv_sec::SignMessage(keys.privateKey, message);
    for (auto _ : state) {
        Bytes out;
        benchmark::DoNotOptimize(tarv_sec::VerifyMessage(keys.publicKey, message, signature, out));
    }
}

// One 214-byte piece: a single OAEP block.
void RsaEncryptBlock(benchmark::State& state)
{
    const Keys& keys = SharedKeys();
    const Bytes plain(214, 0x44);
    for (auto _ : state) {
        Bytes out;
        tarv_sec::RsaEncrypt(keys.publicKey, plain, out);
        benchmark::DoNotOptimize(out.data());
    }
}

void RsaDecryptBlock(benchmark::State& state)
{
    const Keys& keys = SharedKeys();
    Bytes cipher;
    tarv_sec::RsaEncrypt(keys.publicKey, Bytes(214, 0x44), cipher);
    for (auto _ : state) {
        Bytes out;
        tarv_sec::RsaDecrypt(keys.privateKey, cipher, out);
        benchmark::DoNotOptimize(out.data());
    }
}

// A hostile public key: a 65536-bit modulus and an exponent nearly as long,
// which would make one verification take half a minute. Loading must refuse it
// in far less than a second.
void RsaRefuseHostileKey(benchmark::State& state)
{
    const CryptoPP::Integer modulus = CryptoPP::Integer::Power2(65535) + CryptoPP::Integer::One();
    const CryptoPP::Integer exponent = CryptoPP::Integer::Power2(65534) + CryptoPP::Integer::One();
    CryptoPP::RSAFunction hostile;
    hostile.Initialize(modulus, exponent);
    CryptoPP::ByteQueue queue;
    hostile.Save(queue);
    Bytes der(static_cast<std::size_t>(queue.MaxRetrievable()));
    queue.Get(der.data(), der.size());
    for (auto _ : state) {
        CryptoPP::RSAFunction key;
        try {
            tarv_sec::GetPublicKey(der, key);
            state.SkipWithError("the hostile key was accepted");
        } catch (const tarv_sec::RsaKeyValidationFailed&) {
        }
    }
}

BENCHMARK(RsaGenerateKeyPair)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(RsaSign)->Unit(benchmark::kMicrosecond);
BENCHMARK(RsaVerify)->Unit(benchmark::kMicrosecond);
BENCHMARK(RsaEncryptBlock)->Unit(benchmark::kMicrosecond);
BENCHMARK(RsaDecryptBlock)->Unit(benchmark::kMicrosecond);
BENCHMARK(RsaRefuseHostileKey)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
