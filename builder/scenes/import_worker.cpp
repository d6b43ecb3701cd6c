#include "builder/scenes/import_worker.h"

#include <atomic>
#include <exception>
#include <new>
#include <string>
#include <thread>

namespace prismora::scenes {

ImportOutcome ImportWhileResponsive(const std::function<ImportOutcome()>& import, platform::MessagePump& pump,
                                    ImportProgress& progress) {
  ImportOutcome outcome;
  std::atomic<bool> done{false};
  std::thread worker([&] {
    try {
      outcome = import();
    } catch (const std::bad_alloc&) {
      outcome = {};
      outcome.error = "Not enough memory to import this scene";
      outcome.outOfMemory = true;
    } catch (const std::exception& e) {
      outcome = {};
      outcome.error = std::string("The import failed: ") + e.what();
    } catch (...) {
      outcome = {};
      outcome.error = "The import failed";
    }
    done.store(true, std::memory_order_release);
  });
  // Joined and the progress hidden however this ends: a message handler that throws
  // while the window waits must not leave a thread running or the window up.
  struct End {
    std::thread& worker;
    ImportProgress& progress;
    bool shown = false;
    ~End() {
      if (worker.joinable()) worker.join();
      if (shown) progress.Hide();
    }
  } end{worker, progress};
  int waited = 0;
  while (!done.load(std::memory_order_acquire)) {
    pump.Pause(kImportPollMs);
    waited += kImportPollMs;
    if (!end.shown && waited >= kImportProgressDelayMs && !done.load(std::memory_order_acquire)) {
      progress.Show(kImportProgressText);
      end.shown = true;
    }
  }
  worker.join();
  return outcome;
}

}  // namespace prismora::scenes
