// The cost of a late-bound walk through the simulated Word: name lookup, argument matching,
// logging and reference counting per call. Useful to keep the Wine suites fast.
#include <benchmark/benchmark.h>

#include "host/word.h"
#include "simword/word.h"

namespace {

void BM_ExitFormsDesignWalk(benchmark::State& state) {
  simword::Word word;
  word.open();
  auto app = word.application();
  for (auto _ : state) {
    host::ExitFormsDesign(app);
    if (word.log().records().size() > 10000) word.log().clear();
  }
  state.SetItemsProcessed(state.iterations() * 2);  // two host calls per walk
}
BENCHMARK(BM_ExitFormsDesignWalk);

}  // namespace
