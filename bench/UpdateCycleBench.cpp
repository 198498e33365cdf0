// CPU cost of one update cycle of two sine channels, without the 20 ms pauses the wire needs.
// Goal: below 20 µs per cycle (the same cycle costs 200 ms of pauses on the wire).
#include "QvGen4.h"
#include "QvRecordingLink.h"

#include <benchmark/benchmark.h>

static void BM_SineCycleBothChannels(benchmark::State& State) {
    auto link = std::make_unique<TQvRecordingLink>();
    auto* raw = link.get();
    TQvGen4 gen(std::move(link), std::make_unique<TQvGen4ManualTicks>());
    gen.SetAutoUpdate(false);
    gen.ChA.SetMode(QGMdC_gen);
    gen.ChB.SetMode(QGMdC_gen);
    gen.SetActive(true);
    for (auto _ : State) {
        gen.UpdateMode();
        State.PauseTiming();
        raw->ClearWrites(); // keep the recording from growing without bound
        State.ResumeTiming();
    }
    State.counters["frames"] = 10;
}
BENCHMARK(BM_SineCycleBothChannels);
