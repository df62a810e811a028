// CRC-32, Base64 and Blowfish beside zlib and OpenSSL, measured in the same run.
#define OPENSSL_SUPPRESS_DEPRECATED
#include <benchmark/benchmark.h>
#include <openssl/blowfish.h>
#include <openssl/evp.h>
#include <zlib.h>

#include <map>
#include <random>
#include <string>

#include "peer_report.h"
#include "support/base64.h"
#include "support/blowfish.h"
#include "support/crc_util.h"

namespace {
constexpr std::size_t KiB = 1024, MiB = 1024 * KiB;

const std::string& RandomBytes(std::size_t n) {
    static std::map<std::size_t, std::string> cache;
    auto& s = cache[n];
    if (s.size() != n) {
        std::mt19937_64 rng(n);
        s.resize(n);
        for (auto& c : s) c = static_cast<char>(rng());
    }
    return s;
}

const unsigned char* U(const std::string& s) {
    return reinterpret_cast<const unsigned char*>(s.data());
}

void Crc32Ours(benchmark::State& state) {
    const std::string& data = RandomBytes(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(
            CCrcUtil::GetInstance()->Crc32(U(data), static_cast<std::int32_t>(data.size())));
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

void Crc32Zlib(benchmark::State& state) {
    const std::string& data = RandomBytes(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(crc32(0, U(data), static_cast<uInt>(data.size())));
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

void EncodeOurs(benchmark::State& state) {
    const std::string& data = RandomBytes(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(Base64Encode(U(data), static_cast<std::uint32_t>(data.size())));
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

// OpenSSL writes into a buffer allocated once, outside the timing: the stricter comparison.
void EncodeOpenSsl(benchmark::State& state) {
    const std::string& data = RandomBytes(static_cast<std::size_t>(state.range(0)));
    std::string out(data.size() / 3 * 4 + 8, '\0');
    for (auto _ : state) {
        benchmark::DoNotOptimize(EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                                                 U(data), static_cast<int>(data.size())));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

const std::string& EncodedText(std::size_t bytes) {
    static std::map<std::size_t, std::string> cache;
    auto& s = cache[bytes];
    if (s.empty()) s = Base64Encode(U(RandomBytes(bytes)), static_cast<std::uint32_t>(bytes));
    return s;
}

// Decoding is counted in bytes of output, the same for both.
void DecodeOurs(benchmark::State& state) {
    const std::string& text = EncodedText(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(Base64Decode(text));
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

void DecodeOpenSsl(benchmark::State& state) {
    const std::string& text = EncodedText(static_cast<std::size_t>(state.range(0)));
    std::string out(text.size() / 4 * 3 + 8, '\0');
    for (auto _ : state) {
        benchmark::DoNotOptimize(EVP_DecodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                                                 U(text), static_cast<int>(text.size())));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

const unsigned char kBfKey[] = "8304364395620975745";

void DecipherOurs(benchmark::State& state) {
    std::string data = RandomBytes(static_cast<std::size_t>(state.range(0)));
    CBlowfish bf(kBfKey, sizeof kBfKey - 1);
    for (auto _ : state) {
        bf.DecipherBuffer(reinterpret_cast<unsigned char*>(data.data()), data.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

void DecipherOpenSsl(benchmark::State& state) {
    std::string data = RandomBytes(static_cast<std::size_t>(state.range(0)));
    BF_KEY key;
    BF_set_key(&key, sizeof kBfKey - 1, kBfKey);
    auto* p = reinterpret_cast<unsigned char*>(data.data());
    for (auto _ : state) {
        for (std::size_t i = 0; i + 8 <= data.size(); i += 8)
            BF_ecb_encrypt(p + i, p + i, &key, BF_DECRYPT);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
}  // namespace

BENCHMARK(Crc32Ours)->Name("crc32 64MiB: ours")->Arg(64 * MiB);
BENCHMARK(Crc32Zlib)->Name("crc32 64MiB: zlib crc32")->Arg(64 * MiB);
BENCHMARK(Crc32Ours)->Name("crc32 256KiB: ours")->Arg(256 * KiB);
BENCHMARK(Crc32Zlib)->Name("crc32 256KiB: zlib crc32")->Arg(256 * KiB);
BENCHMARK(EncodeOurs)->Name("base64 encode 1KiB: ours")->Arg(KiB);
BENCHMARK(EncodeOpenSsl)->Name("base64 encode 1KiB: EVP_EncodeBlock")->Arg(KiB);
BENCHMARK(EncodeOurs)->Name("base64 encode 16MiB: ours")->Arg(16 * MiB);
BENCHMARK(EncodeOpenSsl)->Name("base64 encode 16MiB: EVP_EncodeBlock")->Arg(16 * MiB);
BENCHMARK(DecodeOurs)->Name("base64 decode 1KiB: ours")->Arg(KiB);
BENCHMARK(DecodeOpenSsl)->Name("base64 decode 1KiB: EVP_DecodeBlock")->Arg(KiB);
BENCHMARK(DecodeOurs)->Name("base64 decode 16MiB: ours")->Arg(16 * MiB);
BENCHMARK(DecodeOpenSsl)->Name("base64 decode 16MiB: EVP_DecodeBlock")->Arg(16 * MiB);
BENCHMARK(DecipherOurs)->Name("blowfish decipher 64KiB: ours")->Arg(64 * KiB);
BENCHMARK(DecipherOpenSsl)->Name("blowfish decipher 64KiB: BF_ecb_encrypt")->Arg(64 * KiB);

int main(int argc, char** argv) {
    return RunWithPeerReport(argc, argv);
}
