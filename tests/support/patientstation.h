// A station of a two-process test that waits for a held lock by sleeping between tries, as the
// wait window's timer would, for a bounded time (about ten seconds) instead of showing a window.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "storage/interaction.h"

namespace pz::test {

class PatientStation : public storage::RecordingInteraction {
 public:
  bool waitFor(const std::string&, int, const std::function<bool()>& attempt) override {
    for (int i = 0; i < 20000; ++i) {
      if (attempt()) return true;
      std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    return false;
  }
};

}  // namespace pz::test
