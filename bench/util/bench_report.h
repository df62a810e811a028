// The one report of every benchmark program: each operation's time goes into a named series
// ("<case>: ours" for our side, "<case>: <peer name>" for each peer), and the program ends with
// a summary in one format: per case, ours and each peer at p50 and p99, and the ratio
// ours / peer (below 1: ours is faster).
#pragma once

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <string>
#include <type_traits>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

// The per-operation times of one side of a case, in seconds. Used by one thread at a time.
class Series {
public:
    // The series `name`, emptied. A benchmark function starts its series on every run, so what
    // the summary shows is the run Google Benchmark reports, not its trial runs. With the bytes
    // one operation handles, the summary adds the throughput at p50.
    static Series& Start(const std::string& name, double bytesPerOperation = 0);

    void Add(double seconds) { m_seconds.push_back(seconds); }
    void Add(Clock::duration elapsed) { Add(std::chrono::duration<double>(elapsed).count()); }

    // Times one call of `operation` and hands back what it returns.
    template <typename Operation>
    auto Time(Operation&& operation);

    // The nearest-rank percentile (`fraction` 0.5 for p50) in seconds; 0 without samples.
    double Percentile(double fraction) const;
    double Mean() const;
    std::size_t Count() const { return m_seconds.size(); }
    double BytesPerOperation() const { return m_bytes; }

private:
    std::vector<double> m_seconds;
    double m_bytes = 0;
};

// The loop of a Google Benchmark function that does not pause its timing, with every iteration
// timed into a series:  for (auto _ : bench::Timed(state, series)) { ... }
// Iterations shorter than 10 us are timed in batches lasting at least that long, a sample being
// the batch's mean, so that reading the clock does not weigh on what is measured.
class Timed {
public:
    Timed(benchmark::State& state, Series& series) : m_state(state), m_series(series) {}
    Timed(benchmark::State& state, const std::string& name, double bytesPerOperation = 0)
        : Timed(state, Series::Start(name, bytesPerOperation)) {}

    class Iterator {
    public:
        Iterator(benchmark::State::StateIterator inner, Timed* loop)
            : m_inner(inner), m_loop(loop) {}
        benchmark::State::StateIterator::Value operator*() const { return *m_inner; }
        Iterator& operator++() {
            m_loop->Lap();
            ++m_inner;
            return *this;
        }
        bool operator!=(const Iterator& end) {
            if (m_inner != end.m_inner) return true;
            m_loop->Finish();
            return false;
        }

    private:
        benchmark::State::StateIterator m_inner;
        Timed* m_loop;
    };

    Iterator begin() { return Iterator(m_state.begin(), this); }
    Iterator end();

private:
    void Lap();
    void Finish();

    benchmark::State& m_state;
    Series& m_series;
    Clock::time_point m_batchStart;
    long m_batch = 1;  // iterations per sample
    long m_inBatch = 0;
};

// Prints the summary of every series started so far.
void PrintSummary(std::FILE* out = stdout);

// The body of a benchmark program's main: runs the registered benchmarks with Google
// Benchmark's console table, then prints the summary.
int RunBenchmarks(int argc, char** argv);

// Registers `function(state, name)` as the benchmark `name`, so that Google Benchmark's table
// and the summary call it alike; `function` starts the series of that name.
benchmark::internal::Benchmark* Register(const std::string& name,
                                         void (*function)(benchmark::State&, const std::string&));

template <typename Operation>
auto Series::Time(Operation&& operation) {
    const auto start = Clock::now();
    if constexpr (std::is_void_v<std::invoke_result_t<Operation>>) {
        operation();
        Add(Clock::now() - start);
    } else {
        auto result = operation();
        Add(Clock::now() - start);
        return result;
    }
}

}  // namespace bench
