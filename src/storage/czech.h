// Czech letters of program text (cp1250, one byte a character): the upper-casing under which keys,
// names and codes are compared, the folding that searches use, and the collation key that turns
// Czech alphabetical order into plain byte order. Every other place takes these from here.
#pragma once

#include <string>
#include <string_view>

namespace pz::storage {

// a to z and the Czech letters á é í ú ý ó ě ř š č ž become capitals. Every other byte stays,
// ů, ď, ť, ň and foreign letters included, so keys that differ only in ů and Ů stay different.
char VelkePismeno(char c);
std::string VelkaPismena(std::string_view text);

// A letter with a diacritic mark becomes the plain ASCII letter of the same case (ř -> r,
// Ů -> U, Ł -> L). Every other byte stays.
char BezDiakritiky(char c);
std::string BezDiakritiky(std::string_view text);

// The form in which searches compare texts: diacritics removed, then upper-cased, so "kůň",
// "KŮŇ" and "kun" all read "KUN".
std::string HledaciTvar(std::string_view text);

// Collation key: a text of weights whose byte comparison gives Czech alphabetical order. Letters
// are ordered A a Á á ... Z z Ž ž with the capital before the small letter of each pair; the
// group CH (spelt CH, Ch or ch, wherever it occurs) is one letter between H and I, so the key can
// be shorter than the text. Controls, the blank, digits and punctuation up to "@" come before the
// letters and keep their codes; the other symbols come after "ž".
std::string CeskyKlic(std::string_view text);

// The Kamenický code page of the older DOS programs of the suite: its Czech and Slovak letters
// (0x80 to 0xAB) become their cp1250 letters and back. Every other byte stays.
std::string ZKamenickeho(std::string_view text);
std::string DoKamenickeho(std::string_view text);

// Text for a printer, or a program, that reads a DOS code page: the Kamenický page, code page 852,
// or plain ASCII. A letter without a code in the target page loses its diacritics; any other
// character without one becomes "?", so no cp1250 byte ever reaches the device as it is. Bytes
// below 128 (control characters included) stay.
enum class DosKod { Kamenicky, Latin2, Ascii };
std::string DoDosKodu(std::string_view text, DosKod kod);

}  // namespace pz::storage
