// Key scripts come from users and other programs: any bytes must parse or be refused cleanly.
#include <cstddef>
#include <cstdint>
#include <string>

#include "frontends/headless/script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<pz::headless::ScriptError> errors;
  auto steps = pz::headless::parseScript(std::string(reinterpret_cast<const char*>(data), size), errors);
  (void)steps;
  return 0;
}
