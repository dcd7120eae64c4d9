// Late binding against direct calls, and object creation by class identifier.
// bench/run prints the ratios; targets: a late-bound call of a trivial member within 5x the
// direct call and under 1 microsecond.
#include <benchmark/benchmark.h>

#include "platform/automation/class_builder.h"
#include "platform/automation/class_registry.h"

namespace quorvan {
namespace {

class Counter : public Object {
 public:
  static const ClassInfo& Info() {
    static const ClassInfo info = ClassBuilder<Counter>("Bench.Counter")
                                      .Method<&Counter::Advance>("Advance", {In("i_lStep")})
                                      .Build();
    return info;
  }
  const ClassInfo& Class() const override { return Info(); }
  __attribute__((noinline)) int32_t Advance(int32_t step) { return total_ += step; }

 private:
  int32_t total_ = 0;
};

void BM_DirectCall(benchmark::State& state) {
  auto counter = std::make_shared<Counter>();
  Counter* target = counter.get();
  benchmark::DoNotOptimize(target);
  for (auto _ : state) benchmark::DoNotOptimize(target->Advance(1));
}
BENCHMARK(BM_DirectCall);

void BM_LateBoundInvoke(benchmark::State& state) {
  ObjectPtr counter = std::make_shared<Counter>();
  Variant args[] = {Variant(1)};
  for (auto _ : state) benchmark::DoNotOptimize(counter->Invoke("Advance", args));
}
BENCHMARK(BM_LateBoundInvoke);

void BM_LateBoundInvokeWithConversion(benchmark::State& state) {
  ObjectPtr counter = std::make_shared<Counter>();
  Variant args[] = {Variant("1")};
  for (auto _ : state) benchmark::DoNotOptimize(counter->Invoke("advance", args));
}
BENCHMARK(BM_LateBoundInvokeWithConversion);

void BM_CreateObjectOfLoadedClass(benchmark::State& state) {
  CreateObject("QuorvanUtility.ErrorHandler");  // loads the module once
  for (auto _ : state) benchmark::DoNotOptimize(CreateObject("QuorvanUtility.ErrorHandler"));
}
BENCHMARK(BM_CreateObjectOfLoadedClass);

}  // namespace
}  // namespace quorvan

BENCHMARK_MAIN();
