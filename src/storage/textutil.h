// Small text helpers for the fixed-width world of records, rows and report lines. A blank here is
// the character 32 only: control characters such as the form feed that starts a report page are
// never trimmed away.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace pz::storage {

// Puts the fill character in front of / after the text until it is `sirka` characters long;
// a longer text comes back unchanged. DoplnZleva("42", 6, '0') is "000042".
std::string DoplnZleva(std::string_view text, size_t sirka, char vypln = ' ');
std::string DoplnZprava(std::string_view text, size_t sirka, char vypln = ' ');

// Exactly `sirka` characters: filled after the text, or cut from the right.
std::string NaSirku(std::string_view text, size_t sirka, char vypln = ' ');
// NaSirku with blanks, appended to `out` (a report line built piece by piece); returns `out`.
std::string& PridejNaSirku(std::string& out, std::string_view text, size_t sirka);

// Left-aligned field: leading blanks removed, blanks appended, cut to the width.
std::string ZarovnejVlevo(std::string_view text, size_t sirka);
// Right-aligned field: trailing blanks removed, blanks put in front, the last `sirka` characters.
std::string ZarovnejVpravo(std::string_view text, size_t sirka);

std::string OrezZleva(std::string_view text);   // leading blanks removed
std::string OrezZprava(std::string_view text);  // trailing blanks removed
std::string Orez(std::string_view text);        // both

std::string BezMezer(std::string_view text);    // every blank removed
std::string SlucMezery(std::string_view text);  // every run of blanks becomes one blank

}  // namespace pz::storage
