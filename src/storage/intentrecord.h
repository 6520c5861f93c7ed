// The pieces of a small record that says what a multi-file change is about to do, so that a
// change cut off by a crash can be finished or undone by whoever comes next: little-endian
// numbers appended to and read from a byte string, the FNV-1a checksums that close such records,
// and the write that puts a record in place only whole (beside it, synced, then renamed).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pz::storage {

std::uint32_t Fnv1a32(std::string_view b);
std::uint64_t Fnv1a64(std::string_view b);

// `v` appended to `s` in its size, least significant byte first.
template <typename T>
void PridejLE(std::string& s, T v) {
  for (std::size_t i = 0; i < sizeof v; ++i) s.push_back(static_cast<char>((static_cast<std::uint64_t>(v) >> (8 * i)) & 0xff));
}

// Reads a record from its start; a read past its end gives 0 or nothing and clears `ok`.
struct CteniLE {
  std::string_view b;
  std::size_t pos = 0;
  bool ok = true;
  template <typename T>
  T cislo() {
    if (b.size() - pos < sizeof(T)) {
      ok = false;
      return 0;
    }
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i) v |= static_cast<std::uint64_t>(static_cast<unsigned char>(b[pos + i])) << (8 * i);
    pos += sizeof(T);
    return static_cast<T>(v);
  }
  std::string_view kus(std::size_t n) {
    if (b.size() - pos < n) {
      ok = false;
      return {};
    }
    const std::string_view k = b.substr(pos, n);
    pos += n;
    return k;
  }
};

// The name a record is written under before it takes its place: its last character "~".
std::string DocasnyZaznam(const std::string& zaznam);

// Writes `obsah` whole as `zaznam`: first under DocasnyZaznam, synced, then renamed over `zaznam`,
// so that a record under its own name is always whole. An I/O code (0 = done); on a failure the
// temporary file is removed and `zaznam` is as it was.
int ZapisZaznamCely(const std::string& zaznam, std::string_view obsah);

// The cash desk stores a document's save in files that saves of every series write (the batch, the
// cash journal, the invoices); a save cut off there is undone when its own series is opened next,
// unless a writer of such a file has it undone first. Writers below the cash desk call
// VratPrerusenaUlozeniNad holding the write lock (or the open that keeps saves out) of the files in
// `zamcene`, before they read them; false when such a save could not be undone now (the user was
// told) and nothing may be written. The cash desk registers the undo at program start; with none
// registered the answer is true.
using VraceniPrerusenych = bool (*)(const std::vector<std::string>& zamcene);
void NastavVraceniPrerusenych(VraceniPrerusenych vraceni);
bool VratPrerusenaUlozeniNad(const std::vector<std::string>& zamcene);

}  // namespace pz::storage
