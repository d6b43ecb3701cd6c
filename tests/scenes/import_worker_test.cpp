// The import off the window's thread: the window keeps handling messages while it
// runs, a long one shows the progress once the waits reach the delay and hides it at
// the end, and an exception on the worker becomes a failed outcome. Time is counted in
// the waits the pump was asked for, never read from a clock.
#include "builder/scenes/import_worker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

using namespace prismora;
using namespace prismora::scenes;

namespace {

// A pump that records how long it was asked to wait; `onPause` runs at each wait.
struct CountingPump : platform::MessagePump {
  int waitedMs = 0, pauses = 0;
  std::function<void()> onPause;
  void RunPending() override {}
  void Pause(int ms) override {
    waitedMs += ms;
    ++pauses;
    if (onPause) onPause();
  }
};

struct RecordedProgress : ImportProgress {
  std::vector<std::string> events;
  int waitedAtShow = -1;
  CountingPump* pump = nullptr;
  void Show(std::string_view text) override {
    events.push_back("show " + std::string(text));
    waitedAtShow = pump->waitedMs;
  }
  void Hide() override { events.push_back("hide"); }
};

}  // namespace

TEST(ImportWorker, ALongImportKeepsThePumpGoingAndShowsProgressAfterTheDelay) {
  CountingPump pump;
  RecordedProgress progress;
  progress.pump = &pump;
  std::atomic<bool> release{false};
  std::atomic<int> pausesSeenByImport{0};
  // The import ends only once the window's thread has waited well past the delay.
  pump.onPause = [&] {
    if (pump.waitedMs >= 3 * kImportProgressDelayMs) release = true;
  };
  const ImportOutcome out = ImportWhileResponsive(
      [&] {
        while (!release) std::this_thread::yield();
        pausesSeenByImport = pump.pauses;
        ImportOutcome o;
        o.number = 7;
        return o;
      },
      pump, progress);
  EXPECT_TRUE(out.ok());
  EXPECT_EQ(out.number, 7);
  EXPECT_GE(pausesSeenByImport, 3 * kImportProgressDelayMs / kImportPollMs) << "messages ran meanwhile";
  ASSERT_EQ(progress.events.size(), 2u);
  EXPECT_EQ(progress.events[0], "show " + std::string(kImportProgressText));
  EXPECT_EQ(progress.events[1], "hide");
  EXPECT_EQ(progress.waitedAtShow, kImportProgressDelayMs);
}

TEST(ImportWorker, ExceptionsOnTheWorkerBecomeFailuresAndTheProgressGoes) {
  for (int kind = 0; kind < 3; ++kind) {
    CountingPump pump;
    RecordedProgress progress;
    progress.pump = &pump;
    std::atomic<bool> release{false};
    pump.onPause = [&] {
      if (pump.waitedMs >= 2 * kImportProgressDelayMs) release = true;
    };
    const ImportOutcome out = ImportWhileResponsive(
        [&]() -> ImportOutcome {
          while (!release) std::this_thread::yield();
          if (kind == 0) throw std::bad_alloc();
          if (kind == 1) throw std::runtime_error("disk on fire");
          throw 42;
        },
        pump, progress);
    EXPECT_FALSE(out.ok()) << kind;
    EXPECT_EQ(out.outOfMemory, kind == 0);
    if (kind == 1) {
      EXPECT_NE(out.error.find("disk on fire"), std::string::npos) << out.error;
    }
    ASSERT_FALSE(progress.events.empty()) << kind;
    EXPECT_EQ(progress.events.back(), "hide") << kind;
  }
}
