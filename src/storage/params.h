// Parameter files: text lines key " : " value, read and written through an in-memory cache of
// whole files. Window geometry alone asks for dozens of keys per opened window, so a file is read
// once and served from memory until the next UlozPar; nothing reaches the disk before that.
//
// Reading a line: it is split at its first ":"; the key is the text before the character in
// front of the colon (the blank of " : "), the value the text from the second character after
// the colon, at most kNejdelsiHodnota characters. Lines without a colon are ignored. Keys are
// matched under Czech upper-casing and keep the form in which they were first stored.
// Writing a file: one line key " : " value per key with a non-empty value, in the order the keys
// were first stored, into a new file that then replaces the old one, so that a crash or a full
// disk never leaves a half-written settings file.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace pz::storage {

inline constexpr size_t kNejvicSouboru = 100;   // files in the cache
inline constexpr size_t kNejvicKlicu = 4000;    // keys of one file; more overwrite the last
inline constexpr size_t kNejdelsiHodnota = 64;  // characters of a value read from a file

// The value of a key of a parameter file, or empty text when the file or the key does not
// exist. The file name is used as given: relative names are relative to the working directory.
std::string CtiPar(std::string_view soubor, std::string_view klic);

// Stores the value and marks the file changed; the whole value is kept until the file is written
// (only its first 64 characters come back after a reload). A line break in the value becomes a
// blank. A key that is empty or holds ":" or a line break could not be read back and is refused
// (false).
bool PisPar(std::string_view soubor, std::string_view klic, std::string_view hodnota);

// Deletes a parameter file: its cached keys are forgotten with any unwritten changes, and the
// file is removed from the disk, so that the next CtiPar finds no key in it. False when the file
// exists but could not be removed.
bool SmazParametry(std::string_view soubor);

// Writes every changed cached file and empties the cache. A file that cannot be written (its
// directory cannot be made, it is busy or read-only) stays cached with its changes while the
// others are written, and the next UlozPar tries it again. False then.
bool UlozPar();

// The end of a task: closes the code-list windows that pickers left open, then UlozPar (its
// result).
bool DokonciUlohu();

// The files whose changes still wait in the cache because they could not be written.
std::vector<std::string> NeulozeneParametry();

// A picker that leaves its code-list window open registers how to close it under the window's
// name (a later registration of the same window replaces the earlier one); DokonciUlohu closes
// each once and forgets them.
void NechanoOtevrene(const std::string& okno, std::function<void()> zavri);
// Forgets the windows left open without closing them (program start).
void ZapomenOtevrenaOkna();

// Files now in the cache (for tests and diagnostics).
size_t PocetSouboruParametru();
// Drops the whole cache without writing anything (tests).
void ZahodParametry();

}  // namespace pz::storage
