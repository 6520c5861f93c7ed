#include "storage/czech.h"

#include <array>
#include <cassert>

#include "platform/text.h"

namespace pz::storage {
namespace {

using Tabulka = std::array<unsigned char, 256>;

// Weights of the three spellings of the group CH, right after h (96) and before I (100).
constexpr unsigned char kVahaCH = 97;
constexpr unsigned char kVahaCh = 98;
constexpr unsigned char kVahach = 99;

unsigned char bajt(std::string_view cp1250, size_t i) { return static_cast<unsigned char>(cp1250[i]); }

Tabulka identita() {
  Tabulka t{};
  for (int i = 0; i < 256; ++i) t[i] = static_cast<unsigned char>(i);
  return t;
}

// Replaces each character of `z` by the character at the same position of `na` (UTF-8 literals of
// the source, one cp1250 byte each after conversion).
void prepis(Tabulka& t, std::string_view z, std::string_view na) {
  const std::string zc = platform::cz(z);
  const std::string nac = platform::cz(na);
  assert(zc.size() == nac.size());
  for (size_t i = 0; i < zc.size(); ++i) t[bajt(zc, i)] = bajt(nac, i);
}

Tabulka sestavVelka() {
  Tabulka t = identita();
  for (int c = 'a'; c <= 'z'; ++c) t[c] = static_cast<unsigned char>(c - 'a' + 'A');
  prepis(t, "áéíúýóěřščž", "ÁÉÍÚÝÓĚŘŠČŽ");
  return t;
}

Tabulka sestavBezDiakritiky() {
  Tabulka t = identita();
  prepis(t, "ÁÂĂÄĄČĆÇĎĐÉĚËĘÍÎĹĽŁŇŃÓÔŐÖŘŔŠŚŞŤŢÚŮŰÜÝŽŹŻ",
            "AAAAACCCDDEEEEIILLLNNOOOORRSSSTTUUUUYZZZ");
  prepis(t, "áâăäąčćçďđéěëęíîĺľłňńóôőöřŕšśşťţúůűüýžźż",
            "aaaaacccddeeeeiilllnnoooorrsssttuuuuyzzz");
  return t;
}

// Weights are handed out in rising order: the bytes 0 to 64 keep their codes, the letters follow
// from 65 with the three weights of CH after h, then the ASCII symbols that lie among the letters
// in the order of codes, then every other byte in code order up to 255.
Tabulka sestavVahy() {
  Tabulka vaha{};
  std::array<bool, 256> hotovo{};
  int dalsi = 0;
  auto pridej = [&](unsigned char c) {
    assert(!hotovo[c]);
    vaha[c] = static_cast<unsigned char>(dalsi++);
    hotovo[c] = true;
  };
  auto pridejVse = [&](std::string_view utf8) {
    const std::string cp = platform::cz(utf8);
    for (size_t i = 0; i < cp.size(); ++i) pridej(bajt(cp, i));
  };

  for (int c = 0; c <= 64; ++c) pridej(static_cast<unsigned char>(c));  // controls, blank, digits, "@"
  pridejVse("AaÁáÂĂÄäBbCcČčDdĎďEeÉéĚěęëFfGgHh");
  dalsi += 3;  // CH, Ch, ch: given to the group by CeskyKlic, never to a byte
  pridejVse("IiÍíîJjKkLlĹľMmNnŇňOoÓóőÔôŐÖöPpQqRrŘřSsŠšTtŤťUuÚúŮůŰűÜüVvWwXxYyÝýZzŽž");
  pridejVse("[\\]^_`{|}~");
  // Those three weights leave room for only 253 bytes, so three bytes share the weight of a
  // character they stand close to: the no-break space sorts as a blank, the caron and the breve
  // as the acute accent. None of them can pass for CH.
  const unsigned char nbsp = 0xA0, hacek = 0xA1, oblouk = 0xA2, carka = 0xB4;
  hotovo[nbsp] = hotovo[hacek] = hotovo[oblouk] = true;
  for (int c = 0; c < 256; ++c)
    if (!hotovo[c]) pridej(static_cast<unsigned char>(c));
  assert(dalsi == 256);
  vaha[nbsp] = vaha[' '];
  vaha[hacek] = vaha[oblouk] = vaha[carka];
  return vaha;
}

const Tabulka& velka() {
  static const Tabulka t = sestavVelka();
  return t;
}

const Tabulka& bezDiakritiky() {
  static const Tabulka t = sestavBezDiakritiky();
  return t;
}

const Tabulka& vahy() {
  static const Tabulka t = sestavVahy();
  return t;
}

std::string preloz(std::string_view text, const Tabulka& t) {
  std::string out(text.size(), '\0');
  for (size_t i = 0; i < text.size(); ++i) out[i] = static_cast<char>(t[bajt(text, i)]);
  return out;
}

}  // namespace

char VelkePismeno(char c) { return static_cast<char>(velka()[static_cast<unsigned char>(c)]); }

std::string VelkaPismena(std::string_view text) { return preloz(text, velka()); }

char BezDiakritiky(char c) { return static_cast<char>(bezDiakritiky()[static_cast<unsigned char>(c)]); }

std::string BezDiakritiky(std::string_view text) { return preloz(text, bezDiakritiky()); }

std::string HledaciTvar(std::string_view text) { return VelkaPismena(BezDiakritiky(text)); }

std::string CeskyKlic(std::string_view text) {
  const Tabulka& vaha = vahy();
  std::string klic;
  klic.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const char d = i + 1 < text.size() ? text[i + 1] : '\0';
    unsigned char w;
    if (c == 'C' && d == 'H') {
      w = kVahaCH;
    } else if (c == 'C' && d == 'h') {
      w = kVahaCh;
    } else if (c == 'c' && d == 'h') {
      w = kVahach;
    } else {
      klic += static_cast<char>(vaha[bajt(text, i)]);
      continue;
    }
    klic += static_cast<char>(w);
    ++i;  // the group is one letter
  }
  return klic;
}

namespace {

// The cp1250 letters of the Kamenický codes 0x80, 0x81, ...
const std::string& kamenicky() {
  static const std::string t = platform::cz("ČüéďäĎŤčěĚĹÍľĺÄÁÉžŽôöÓůÚýÖÜŠĽÝŘťáíóúňŇŮÔšřŕŔ");
  return t;
}

char zKamenickeho(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u >= 0x80 && u < 0x80 + kamenicky().size() ? kamenicky()[u - 0x80] : c;
}

char doKamenickeho(char c) {
  if (static_cast<unsigned char>(c) < 0x80) return c;
  const size_t i = kamenicky().find(c);
  return i == std::string::npos ? c : static_cast<char>(0x80 + i);
}

// The cp1250 characters of the codes 0x80 to 0xFF of code page 852; "·" stands where cp1250 has
// none (852 itself has no "·").
const std::string& latin2() {
  static const std::string t = platform::cz(
      "ÇüéâäůćçłëŐőîŹÄĆÉĹĺôöĽľŚśÖÜŤťŁ×čáíóúĄąŽžĘę¬źČş«»·····ÁÂĚŞ····Żż·······Ăă·······¤đĐĎËďŇÍÎě····ŢŮ·ÓßÔŃńňŠšŔÚŕŰýÝ"
      "ţ´\u00AD˝˛ˇ˘§÷¸°¨˙űŘř·\u00A0");
  return t;
}

}  // namespace

std::string DoDosKodu(std::string_view text, DosKod kod) {
  static const char kZadny = platform::cz("·")[0];
  std::string t(text);
  for (char& c : t) {
    if (static_cast<unsigned char>(c) < 0x80) continue;
    size_t i = std::string::npos;
    if (kod == DosKod::Kamenicky) i = kamenicky().find(c);
    else if (kod == DosKod::Latin2 && c != kZadny) i = latin2().find(c);
    if (i != std::string::npos) {
      c = static_cast<char>(0x80 + i);
      continue;
    }
    const char prosty = BezDiakritiky(c);
    c = static_cast<unsigned char>(prosty) < 0x80 ? prosty : '?';
  }
  return t;
}

std::string ZKamenickeho(std::string_view text) {
  std::string t(text);
  for (char& c : t) c = zKamenickeho(c);
  return t;
}

std::string DoKamenickeho(std::string_view text) {
  std::string t(text);
  for (char& c : t) c = doKamenickeho(c);
  return t;
}

}  // namespace pz::storage
