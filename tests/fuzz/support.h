// A working directory of its own for a fuzz run, so that targets that read files can write the
// input where the program looks for it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace pz::fuzz {

// The native path of the run's working directory (made on first use, set as the program's).
const std::string& workDir();
// Writes the bytes as a file relative to the working directory.
void put(const std::string& relative, const uint8_t* data, size_t size);
// Writes the NUL-separated parts of the input as these files, in order; a file the input has no
// part for is removed, as a file missing at an installation.
void putParts(std::string_view all, std::initializer_list<const char*> relatives);
// Makes the program's messages go nowhere: a question takes its default answer and a wait gives
// up after its first attempt.
void silence();

}  // namespace pz::fuzz
