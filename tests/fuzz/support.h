// A working directory of its own for a fuzz run, so that targets that read files can write the
// input where the program looks for it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace pz::fuzz {

// The native path of the run's working directory (made on first use, set as the program's).
const std::string& workDir();
// Writes the bytes as a file relative to the working directory.
void put(const std::string& relative, const uint8_t* data, size_t size);

}  // namespace pz::fuzz
