// Small probes of files that the storage layer and many windows use: the size of a file, the
// first line of a text file, and the creation of the directories along a path. Names are in
// program form ("par\okna2.par", "C:\DATA\kursy.dta").
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace pz::storage {

// The size of the file in bytes, or minus the I/O code when it cannot be opened (−2 a missing
// file, −3 a missing directory). While another process holds the file (code 32) the wait window
// shows "Err    32 name" and the open is tried again every 100 ms, until the file is free, the
// user gives up or a minute has passed; then the result is −32, which means "exists, busy",
// never "missing". Callers test for at least 1, 2 or 3 bytes to mean "exists and not empty".
std::int64_t VelikostSouboru(std::string_view name);

// The first line of a text file without its line end, or empty text when it cannot be read.
// A file held by another process shows the message "Err    32 name" first.
std::string PrvniRadek(std::string_view name);

// The first line and why it could not be read: kIoOk, or the I/O code (2 and 3: the file or its
// directory is missing). Shows no message; for callers that must tell "missing" from "busy".
int CtiPrvniRadek(std::string_view name, std::string& line);

// Creates every directory along the path up to its last "\" ("C:\A\B\x.par" creates C:\A and
// C:\A\B; "XLS\" creates XLS); a drive ("C:") or the root is never created, errors are ignored.
void ZalozCestu(std::string_view path);

// "Err" followed by the code right-aligned in five positions, a blank and the name: the text of
// the probes' messages and wait windows.
std::string TextChyby(int code, std::string_view name);

}  // namespace pz::storage
