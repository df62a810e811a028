// CRC-32, Base64 and Blowfish beside zlib and OpenSSL, measured in the same run.
#define OPENSSL_SUPPRESS_DEPRECATED
#include <benchmark/benchmark.h>
#include <openssl/blowfish.h>
#include <openssl/evp.h>
#include <zlib.h>

#include <map>
#include <random>
#include <string>

#include "bench_report.h"
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

// The timed loop of a case whose argument is the number of bytes one operation handles.
bench::Timed Loop(benchmark::State& state, const std::string& name) {
    return bench::Timed(state, name, static_cast<double>(state.range(0)));
}

void Crc32Ours(benchmark::State& state, const std::string& name) {
    const std::string& data = RandomBytes(static_cast<std::size_t>(state.range(0)));
    for (auto _ : Loop(state, name))
        benchmark::DoNotOptimize(
            CCrcUtil::GetInstance()->Crc32(U(data), static_cast<std::int32_t>(data.size())));
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

void Crc32Zlib(benchmark::State& state, const std::string& name) {
    const std::string& data = RandomBytes(static_cast<std::size_t>(state.range(0)));
    for (auto _ : Loop(state, name))
        benchmark::DoNotOptimize(crc32(0, U(data), static_cast<uInt>(data.size())));
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

void EncodeOurs(benchmark::State& state, const std::string& name) {
    const std::string& data = RandomBytes(static_cast<std::size_t>(state.range(0)));
    for (auto _ : Loop(state, name))
        benchmark::DoNotOptimize(Base64Encode(U(data), static_cast<std::uint32_t>(data.size())));
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

// OpenSSL writes into a buffer allocated once, outside the timing: the stricter comparison.
void EncodeOpenSsl(benchmark::State& state, const std::string& name) {
    const std::string& data = RandomBytes(static_cast<std::size_t>(state.range(0)));
    std::string out(data.size() / 3 * 4 + 8, '\0');
    for (auto _ : Loop(state, name)) {
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
void DecodeOurs(benchmark::State& state, const std::string& name) {
    const std::string& text = EncodedText(static_cast<std::size_t>(state.range(0)));
    for (auto _ : Loop(state, name)) benchmark::DoNotOptimize(Base64Decode(text));
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

void DecodeOpenSsl(benchmark::State& state, const std::string& name) {
    const std::string& text = EncodedText(static_cast<std::size_t>(state.range(0)));
    std::string out(text.size() / 4 * 3 + 8, '\0');
    for (auto _ : Loop(state, name)) {
        benchmark::DoNotOptimize(EVP_DecodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                                                 U(text), static_cast<int>(text.size())));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

const unsigned char kBfKey[] = "8304364395620975745";

void DecipherOurs(benchmark::State& state, const std::string& name) {
    std::string data = RandomBytes(static_cast<std::size_t>(state.range(0)));
    CBlowfish bf(kBfKey, sizeof kBfKey - 1);
    for (auto _ : Loop(state, name)) {
        bf.DecipherBuffer(reinterpret_cast<unsigned char*>(data.data()), data.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

void DecipherOpenSsl(benchmark::State& state, const std::string& name) {
    std::string data = RandomBytes(static_cast<std::size_t>(state.range(0)));
    BF_KEY key;
    BF_set_key(&key, sizeof kBfKey - 1, kBfKey);
    auto* p = reinterpret_cast<unsigned char*>(data.data());
    for (auto _ : Loop(state, name)) {
        for (std::size_t i = 0; i + 8 <= data.size(); i += 8)
            BF_ecb_encrypt(p + i, p + i, &key, BF_DECRYPT);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
}  // namespace

int main(int argc, char** argv) {
    struct Case {
        const char* name;
        void (*function)(benchmark::State&, const std::string&);
        std::int64_t bytes;
    };
    const Case cases[] = {
        {"crc32 64MiB: ours", Crc32Ours, 64 * MiB},
        {"crc32 64MiB: zlib crc32", Crc32Zlib, 64 * MiB},
        {"crc32 256KiB: ours", Crc32Ours, 256 * KiB},
        {"crc32 256KiB: zlib crc32", Crc32Zlib, 256 * KiB},
        {"base64 encode 1KiB: ours", EncodeOurs, KiB},
        {"base64 encode 1KiB: EVP_EncodeBlock", EncodeOpenSsl, KiB},
        {"base64 encode 16MiB: ours", EncodeOurs, 16 * MiB},
        {"base64 encode 16MiB: EVP_EncodeBlock", EncodeOpenSsl, 16 * MiB},
        {"base64 decode 1KiB: ours", DecodeOurs, KiB},
        {"base64 decode 1KiB: EVP_DecodeBlock", DecodeOpenSsl, KiB},
        {"base64 decode 16MiB: ours", DecodeOurs, 16 * MiB},
        {"base64 decode 16MiB: EVP_DecodeBlock", DecodeOpenSsl, 16 * MiB},
        {"blowfish decipher 64KiB: ours", DecipherOurs, 64 * KiB},
        {"blowfish decipher 64KiB: BF_ecb_encrypt", DecipherOpenSsl, 64 * KiB},
    };
    for (const Case& c : cases) bench::Register(c.name, c.function)->Arg(c.bytes);
    return bench::RunBenchmarks(argc, argv);
}
