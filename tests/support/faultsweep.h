// Sweeps the fault set over every call an operation makes: a fault-free run counts the calls of
// each kind, then the operation runs again once for each fault of the set at each of those calls.
#pragma once

#include <array>
#include <functional>
#include <string>

#include "support/faults.h"

namespace pz::test {

// The part of a run that the faults reach: the body given is run under the injector.
using UnderFaults = std::function<void(const std::function<void()>& body)>;

// `prepare` puts the files back before each run; `run` does what surrounds the operation (a key
// script read, say) and passes the operation itself to the UnderFaults it is given. `check` is told
// which fault ran ("torn write #3") and whether the operation reached the call it was planned at.
// Answers the faults that fired.
// `which`, when given, picks the faults of the set that are swept.
inline int sweepFaults(const std::function<void()>& prepare, const std::function<void(const UnderFaults&)>& run,
                       const std::function<void(const FaultCase& f, const std::string& fault, bool fired)>& check,
                       const std::function<bool(const FaultCase& f)>& which = {}) {
  std::array<int, static_cast<size_t>(FaultOp::Count)> calls{};
  prepare();
  run([&](const std::function<void()>& body) {
    FaultInjector counting;
    body();
    for (size_t op = 0; op < calls.size(); ++op) calls[op] = counting.calls(static_cast<FaultOp>(op));
  });
  int fired = 0;
  for (const FaultCase& f : everyFault()) {
    if (which && !which(f)) continue;
    for (int n = 1; n <= calls[static_cast<size_t>(f.op)]; ++n) {
      prepare();
      bool hit = false;
      run([&](const std::function<void()>& body) {
        FaultInjector faults;
        faults.plan(f, n);
        body();
        hit = faults.calls(f.op) >= n;
      });
      fired += hit ? 1 : 0;
      check(f, std::string(f.name) + " #" + std::to_string(n), hit);
    }
  }
  return fired;
}

}  // namespace pz::test
