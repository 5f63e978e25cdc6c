// Indexing speed of vCard data files: reading every card and writing the
// index sorted by name (IndexFileOn) or by UID (IndexFile).
#include <benchmark/benchmark.h>

#include "BenchSupport.h"
#include "versitlib.h"

namespace {

void BM_IndexFileOnName(benchmark::State& state) {
  bench::ScratchDir dir;
  std::string data = dir.Write("data.vcf", bench::GeneratedCards(static_cast<int>(state.range(0))));
  std::string index = dir.Path() + "/data.idx";
  for (auto _ : state) {
    VersitFile file;
    if (!file.Open(data.c_str(), false)) {
      state.SkipWithError("cannot open the data file");
      break;
    }
    file.IndexFileOn(index.c_str(), kVCardFN, nullptr, nullptr);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_IndexFileOnName)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_ReadAllCards(benchmark::State& state) {
  bench::ScratchDir dir;
  std::string data = dir.Write("data.vcf", bench::GeneratedCards(static_cast<int>(state.range(0))));
  for (auto _ : state) {
    VersitFile file;
    if (!file.Open(data.c_str(), false)) {
      state.SkipWithError("cannot open the data file");
      break;
    }
    int cards = 0;
    while (VCard* card = file.GetVCardFromFile()) {
      ++cards;
      delete card;
    }
    benchmark::DoNotOptimize(cards);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ReadAllCards)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
