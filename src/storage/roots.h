// Where a relative name lives. Every file the program touches is named relative to one of three
// directories:
//   - the working directory: the process's current directory at start (address files, the
//     station's "master.job", "par\" files, report files); names used as they are;
//   - the data root: the first line of "data.adr" in the working directory (shared record files,
//     the shared "master.job", logs); names go through DataCesta;
//   - the program root: the first line of "prog.adr" (help texts, field descriptions); names go
//     through ProgCesta.
// A missing or empty address file gives the empty root, so that names stay relative to the
// working directory. Each root is read once per run and remembered; only a successful read is
// remembered, so that a busy "data.adr" never sends a whole run to the working directory.
#pragma once

#include <string>
#include <string_view>

namespace pz::storage {

// The path of a data file. One leading "\" is dropped; "=" + path is a literal path; a redirect
// file "^" + name in the working directory names the directory of that one file (a missing final
// "\" is supplied); otherwise the data root followed by the name. An empty name gives the root.
std::string DataCesta(std::string_view name);

// The path of a support file below the program root (one leading "\" is dropped).
std::string ProgCesta(std::string_view name);

// The longest directory line an address file may hold.
inline constexpr size_t kNejdelsiKoren = 80;

// Start-up check of both address files, before anything else reads a data file. A file that
// exists but is held by another process is waited for in the wait window; a file that cannot be
// read, or names a directory longer than kNejdelsiKoren, gets a message and the answer false:
// the program must end rather than work on the wrong directory.
bool NactiAdresy();

// Forgets the remembered roots (tests, and a new run in the same process).
void ZapomenAdresy();

}  // namespace pz::storage
