// The shared event log "PROTOKOL.PRT" in the data root: 80-byte records (a length byte and 79
// cp1250 characters), one line per event, never changed once written. Every line starts with the
// date, the time, the workstation and the user.
#pragma once

#include <string>
#include <string_view>

namespace pz::storage {

inline constexpr size_t kLogRecord = 80;

// Appends one line. Appends of all workstations are serialised, so that two stations logging at
// the same moment both keep their line. A failure shows its message and returns false.
bool Zapis(std::string_view message);

// The prefix of a line written now: "dd.mm.yy hh:mm:ss ws us " (one-digit hours get a blank).
std::string PrefixProtokolu();

}  // namespace pz::storage
