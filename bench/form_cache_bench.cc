// The form cache on a 2,000-field form: UpdateCache (one save of a new cache) and
// InitializeCache of that cache (one load), against writing and reading the same number of
// bytes raw with the same durability (written beside, flushed to disk, renamed into place).
// bench/run prints milliseconds and ratios; target: within 4x of raw I/O.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "platform/automation/class_registry.h"
#include "platform/automation/current_error.h"
#include "platform/web/posted_form.h"
#include "tests/support/test_installation.h"

namespace quorvan {
namespace {

constexpr int kFields = 2000;

struct Fixture {
  Fixture() {
    form = std::make_shared<web::PostedForm>();
    form->AddField("HTMLFORMNAME", {"RFQEDIT"});
    for (int i = 0; i < kFields; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "TXT_FIELD_%04d", i);
      form->AddField(name, {"value of field " + std::to_string(i) + " with some ordinary text"});
    }
  }
  testing::TestInstallation installation;
  std::shared_ptr<web::PostedForm> form;
  std::string key;
  std::string file;  // the cache file the last save wrote
};

Fixture& TheFixture() {
  static Fixture* fixture = new Fixture();
  return *fixture;
}

std::string NewestCacheFile(const Fixture& fixture) {
  std::string newest;
  for (const auto& entry : std::filesystem::directory_iterator(
           fixture.installation.dir() + "/Tesmik/FileStorage/Application/Cache")) {
    newest = entry.path().string();
  }
  return newest;
}

void BM_UpdateCache2000Fields(benchmark::State& state) {
  Fixture& fixture = TheFixture();
  CallScope scope;
  for (auto _ : state) {
    state.PauseTiming();
    ObjectPtr cache = CreateObject("QuorvanUtility.FormCache");
    Variant args[] = {Variant(1), Variant("BENCH"), Variant("")};
    cache->Invoke("InitializeCache", args);
    fixture.key = args[2].ToString();
    state.ResumeTiming();
    Variant form[] = {Variant(ObjectPtr(fixture.form))};
    cache->Invoke("UpdateCache", form);
  }
  fixture.file = NewestCacheFile(fixture);
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(fixture.file));
}

void BM_InitializeCache2000Fields(benchmark::State& state) {
  Fixture& fixture = TheFixture();
  CallScope scope;
  for (auto _ : state) {
    ObjectPtr cache = CreateObject("QuorvanUtility.FormCache");
    Variant args[] = {Variant(1), Variant("BENCH"), Variant(fixture.key)};
    cache->Invoke("InitializeCache", args);
    benchmark::DoNotOptimize(cache);
  }
}

void BM_RawWriteSameBytes(benchmark::State& state) {
  Fixture& fixture = TheFixture();
  std::string bytes(std::filesystem::file_size(fixture.file), 'x');
  const std::string path = fixture.installation.dir() + "/raw.bin";
  for (auto _ : state) {
    const std::string temporary = path + ".tmp";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    benchmark::DoNotOptimize(::write(fd, bytes.data(), bytes.size()));
    ::fsync(fd);
    ::close(fd);
    ::rename(temporary.c_str(), path.c_str());
  }
}

void BM_RawReadSameBytes(benchmark::State& state) {
  Fixture& fixture = TheFixture();
  std::string bytes(std::filesystem::file_size(fixture.file), '\0');
  for (auto _ : state) {
    const int fd = ::open(fixture.file.c_str(), O_RDONLY);
    benchmark::DoNotOptimize(::read(fd, bytes.data(), bytes.size()));
    ::close(fd);
  }
}

BENCHMARK(BM_UpdateCache2000Fields)->Iterations(20)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InitializeCache2000Fields)
    ->Iterations(20)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawWriteSameBytes)->Iterations(20)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawReadSameBytes)->Iterations(200)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quorvan

BENCHMARK_MAIN();
