// GetFileCrc of a 256 MiB file (in the page cache) beside Crc32 over the same bytes in
// memory, with the peak resident memory GetFileCrc adds above the process's baseline, and
// beside plain read() of the file without any CRC.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>

#include "bench_report.h"
#include "support/boost_file_utils.h"
#include "support/crc_util.h"
#include "temp_dir.h"

namespace {
constexpr std::size_t MiB = 1024 * 1024;
constexpr std::size_t kFileBytes = 256 * MiB;

// The test file, written in 1 MiB pieces and removed at exit.
class BigFile {
public:
    BigFile() : m_path(m_dir / "big.bin") {
        std::ofstream out(m_path, std::ios::binary);
        std::mt19937_64 rng(1);
        std::string piece(MiB, '\0');
        for (std::size_t done = 0; done < kFileBytes; done += MiB) {
            for (auto& c : piece) c = static_cast<char>(rng());
            out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
        }
    }
    const std::string& path() const { return m_path; }

private:
    testutil::TempDir m_dir;
    std::string m_path;
};

const BigFile& File() {
    static BigFile file;
    return file;
}

// A field of /proc/self/status in KiB ("VmRSS", "VmHWM").
long StatusKiB(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.compare(0, field.size() + 1, field + ":") == 0)
            return std::atol(line.c_str() + field.size() + 1);
    return -1;
}

// Resets the peak resident size to the current one.
void ResetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

void FileCrcOurs(benchmark::State& state, const std::string& name) {
    const std::string& path = File().path();
    ResetPeak();
    long baseline = StatusKiB("VmRSS");
    std::uint32_t crc = 0;
    for (auto _ : bench::Timed(state, name, kFileBytes))
        benchmark::DoNotOptimize(crc = CBoostFileUtils::GetInstance()->GetFileCrc(path));
    state.counters["peak_rss_above_baseline_KiB"] =
        static_cast<double>(StatusKiB("VmHWM") - baseline);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFileBytes));
}

void FileCrcMemory(benchmark::State& state, const std::string& name) {
    std::string bytes;
    CBoostFileUtils::GetInstance()->ReadBinaryFile(File().path(), bytes);
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    for (auto _ : bench::Timed(state, name, kFileBytes))
        benchmark::DoNotOptimize(
            CCrcUtil::GetInstance()->Crc32Update(0xFFFFFFFFu, p, bytes.size()));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFileBytes));
}
// What the page cache alone delivers to one thread through read() in 1 MiB pieces, no CRC:
// the ceiling of any reader that copies the file out, shown beside the CRC on memory.
void FileReadAlone(benchmark::State& state, const std::string& name) {
    std::string piece(MiB, '\0');
    for (auto _ : bench::Timed(state, name, kFileBytes)) {
        std::FILE* f = std::fopen(File().path().c_str(), "rb");
        std::setvbuf(f, nullptr, _IONBF, 0);
        while (std::fread(piece.data(), 1, piece.size(), f) == piece.size()) {
        }
        std::fclose(f);
        benchmark::DoNotOptimize(piece.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFileBytes));
}
}  // namespace

int main(int argc, char** argv) {
    bench::Register("crc32 256MiB file: ours", FileCrcOurs)->Unit(benchmark::kMillisecond);
    bench::Register("crc32 256MiB file: Crc32 on memory", FileCrcMemory)
        ->Unit(benchmark::kMillisecond);
    bench::Register("crc32 256MiB file: read() alone, one thread, no CRC", FileReadAlone)
        ->Unit(benchmark::kMillisecond);
    return bench::RunBenchmarks(argc, argv);
}
