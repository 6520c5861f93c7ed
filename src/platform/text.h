// Text encodings. Inside the program every text is cp1250 (one byte a character), as the data
// files store it; UTF-8 is spoken only at the edges (presenters, key scripts, outside services).
#pragma once

#include <string>
#include <string_view>

namespace pz::platform {

// One cp1250 byte as a Unicode code point (0 for the five unassigned bytes).
char32_t cp1250ToUnicode(unsigned char byte);
// A code point as a cp1250 byte, or '?' when cp1250 has no such character.
char unicodeToCp1250(char32_t cp);

std::string cp1250ToUtf8(std::string_view cp1250);
// Malformed UTF-8 sequences and characters outside cp1250 become '?'.
std::string utf8ToCp1250(std::string_view utf8);

// Decodes one UTF-8 character starting at pos and moves pos past it; malformed input gives
// U+FFFD and advances by one byte so that a scan always ends.
char32_t nextUtf8(std::string_view utf8, size_t& pos);
void appendUtf8(std::string& out, char32_t cp);

// The source files are UTF-8; this turns a literal of the source into program text:
// cz("Valutová pokladna") is the cp1250 string the screens and files use.
inline std::string cz(std::string_view utf8) { return utf8ToCp1250(utf8); }

}  // namespace pz::platform
