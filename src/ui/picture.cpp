// Field pictures and types. Map of this file:
//   - the picture filler             a value laid into a picture such as "### ###.##-"
//   - entered numbers, numeric fields, texts, dates (helpers)
//   - formatting                     FormatE, FormatR, FormatC, VejdeSe
//   - parsing                        TextNaCele
//   - field types                    RozeberTyp, storage widths, UpravPole, ZobrazPole
//   - dates and times                checking, showing and storing dates and times

#include "ui/picture.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/clock.h"
#include "storage/money.h"
#include "storage/textutil.h"

namespace pz::ui {
namespace {

using storage::Decimal;

constexpr std::size_t kMaxPicture = 80;
constexpr int kMaxIntegerDigits = 18;  // beyond this the number shows as "*"

bool isDigitPosition(char c) { return c == '#' || c == '@'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view cutPicture(std::string_view picture) { return picture.substr(0, kMaxPicture); }

// Digit positions after the first decimal separator.
int pictureDecimals(std::string_view picture) {
  int decimals = 0;
  bool after = false;
  for (char c : cutPicture(picture)) {
    if (c == '.' || c == ',') after = true;
    if (after && isDigitPosition(c)) ++decimals;
  }
  return decimals;
}

// --- the picture filler ------------------------------------------------------------------------

struct Filled {
  bool lostDigit = false;  // a non-zero digit fell off the left
  bool lostSign = false;   // a non-zero negative value shows without its "-"
};

// Fills the picture into `text` (pic.size() characters) with the digits of a number already
// rounded to the picture's decimals (`number`: its digits, any other characters are skipped;
// ignored with `stars`).
Filled fillDigits(std::string_view pic, char* text, std::string_view number, bool negative, bool roundsToZero,
                  bool stars) {
  Filled out;
  for (std::size_t i = 0; i < pic.size(); ++i) {
    const char c = pic[i];
    text[i] = !isDigitPosition(c) ? c : stars ? '*' : c == '@' ? '0' : ' ';
  }
  if (stars) {
    out.lostDigit = true;
  } else {
    // Walk both texts from the right; a digit position takes the next digit of the number.
    long j = static_cast<long>(number.size()) - 1;
    for (long i = static_cast<long>(pic.size()) - 1; i >= 0; --i) {
      if (!isDigitPosition(pic[static_cast<std::size_t>(i)])) continue;
      while (j >= 0 && !isDigit(number[static_cast<std::size_t>(j)])) --j;
      if (j < 0) break;
      text[i] = number[static_cast<std::size_t>(j--)];
    }
    for (long k = 0; k <= j; ++k) {
      const char c = number[static_cast<std::size_t>(k)];
      if (isDigit(c) && c != '0') out.lostDigit = true;
    }
  }

  const std::size_t signPosition = pic.rfind('-');
  if (signPosition != std::string_view::npos) {
    text[signPosition] = negative ? '-' : ' ';
  } else if (negative) {
    const std::string_view shown(text, pic.size());
    const std::size_t first = shown.find_first_not_of(' ');
    if (first != std::string_view::npos && first > 0)
      text[first - 1] = '-';
    else
      out.lostSign = !roundsToZero;
  }
  return out;
}

// Fills the picture with the number. `value` is nullopt for a value that has no decimal (NaN,
// infinity); it shows as stars. The sign comes from the value before rounding, so −0.004 with two
// decimals still counts as negative.
Filled fill(std::string_view pic, char* text, const std::optional<Decimal>& value) {
  const int decimals = pictureDecimals(pic);
  if (!value) return fillDigits(pic, text, {}, false, true, true);
  const Decimal rounded = storage::roundHalfAway(*value, decimals);
  if (storage::integerDigits(rounded) > kMaxIntegerDigits) return fillDigits(pic, text, {}, value->negative, false, true);
  return fillDigits(pic, text, storage::fixedText(*value, decimals), value->negative, rounded.isZero(), false);
}

// The picture filled by `fill`, with the blanking of near-zero values and the " 0.00-" cleanup.
std::string format(std::string_view picture, const std::optional<Decimal>& value, bool nearZero, bool cleanup) {
  const std::string_view pic = cutPicture(picture);
  std::string out(pic.size(), ' ');
  if (!nearZero || (!pic.empty() && pic.back() == '@')) {
    const Filled f = fill(pic, out.data(), value);
    // Shown to a user, a number never loses digits or its sign: it shows as stars instead.
    if (cleanup && (f.lostDigit || f.lostSign))
      for (std::size_t i = 0; i < pic.size(); ++i)
        if (isDigitPosition(pic[i])) out[i] = '*';
  }
  if (cleanup) {
    const std::size_t pos = out.find(" 0.00-");
    if (pos != std::string::npos) out.replace(pos, 6, 6, ' ');
  }
  return out;
}

bool belowMillionth(double v) { return std::fabs(v) < 0.000001; }

// --- entered numbers -------------------------------------------------------------------------

// The number TextNaReal reads, as an exact decimal.
Decimal decimalFromEntry(std::string_view text) {
  bool negative = false;
  std::string kept;
  for (char c : text) {
    if (c == '-') {
      negative = true;
      continue;
    }
    if (c == ',') c = '.';
    if ((isDigit(c) || c == '.') && kept.size() < 40) kept += c;
  }
  return storage::parseDecimal(kept, negative);
}

std::optional<std::int64_t> tenThousandthsFromEntry(std::string_view text) {
  bool negative = false;
  bool inDecimals = false;
  int place = 0;
  std::int64_t total = 0;
  for (char c : text) {
    if (c == '-') {
      negative = true;
    } else if (c == '.' || c == ',') {
      inDecimals = true;
    } else if (isDigit(c)) {
      const int digit = c - '0';
      std::int64_t add = 0;
      if (!inDecimals) {
        if (__builtin_mul_overflow(total, std::int64_t{10}, &total)) return std::nullopt;
        add = digit * std::int64_t{10000};
      } else {
        ++place;
        static constexpr std::int64_t kPlace[] = {0, 1000, 100, 10, 1};
        if (place <= 4)
          add = digit * kPlace[place];
        else if (place == 5)
          add = digit >= 5 ? 1 : 0;  // a tenth of a unit, rounded half away
      }
      if (__builtin_add_overflow(total, add, &total)) return std::nullopt;
    }
  }
  return negative ? -total : total;
}

// --- numeric fields --------------------------------------------------------------------------

struct Number {
  Decimal value;  // rounded to the picture's decimals
  ChybaPole chyba = ChybaPole::Zadna;
  std::int64_t whole = 0;        // integer types: the value cut to a whole number
  storage::Real48 real48{};      // "R"
  double real = 0.0;             // "D"
};

// True when the storage gives back the same value at the picture's decimals.
bool keepsDecimals(double stored, const Decimal& rounded, int decimals) {
  const auto back = storage::decimalOf(stored);
  return back && storage::roundHalfAway(*back, decimals) == rounded;
}

Number readNumber(const TypPole& typ, std::string_view text) {
  Number n;
  // Stars are a number that did not fit its picture when shown: it cannot be read back as one.
  if (text.find('*') != std::string_view::npos) {
    n.chyba = ChybaPole::NevejdeSe;
    return n;
  }
  const int decimals = pictureDecimals(typ.obrazek);
  Decimal value;
  if (typ.druh == DruhPole::Penize) {
    const auto units = tenThousandthsFromEntry(text);
    if (!units) {
      n.chyba = ChybaPole::MimoRozsah;
      return n;
    }
    value = storage::decimalOfScaled(*units, 4);
  } else {
    value = decimalFromEntry(text);
  }
  n.value = storage::roundHalfAway(value, decimals);
  const std::string_view pic = cutPicture(typ.obrazek);
  std::string shownText(pic.size(), ' ');
  const Filled shown = fill(pic, shownText.data(), n.value);
  if (shown.lostDigit || shown.lostSign) {
    n.chyba = ChybaPole::NevejdeSe;
    return n;
  }

  auto wholeIn = [&](std::int64_t lo, std::int64_t hi) {
    const auto w = storage::toScaled(storage::truncateDecimals(n.value, 0), 0);
    if (!w || *w < lo || *w > hi) return false;
    n.whole = *w;
    return true;
  };
  bool ok = true;
  switch (typ.druh) {
    case DruhPole::Bajt: ok = wholeIn(0, 255); break;
    case DruhPole::Slovo: ok = wholeIn(0, 65535); break;
    case DruhPole::Cele:
    case DruhPole::DlouheCele: ok = wholeIn(INT32_MIN, INT32_MAX); break;
    case DruhPole::Real: {
      const auto bytes = storage::decimalToReal48(n.value);
      ok = bytes && keepsDecimals(storage::real48ToDecimal(*bytes), n.value, decimals);
      if (ok) n.real48 = *bytes;
      break;
    }
    case DruhPole::Dvojite:
      n.real = storage::toDouble(n.value);
      ok = std::isfinite(n.real) && keepsDecimals(n.real, n.value, decimals);
      break;
    case DruhPole::Penize: {
      const auto units = storage::toScaled(storage::roundHalfAway(n.value, 4), 4);
      ok = units.has_value();
      if (ok) n.whole = *units;
      break;
    }
    default: break;
  }
  if (!ok) n.chyba = ChybaPole::MimoRozsah;
  return n;
}

std::string showNumber(const std::string& picture, const Decimal& value) {
  return format(picture, value, belowMillionth(storage::toDouble(value)), true);
}

// --- texts -----------------------------------------------------------------------------------

std::string blanksToZeros(std::string s) {
  for (char& c : s)
    if (c == ' ') c = '0';
  return s;
}

// The text as a text field of this type holds it; nullopt when it is longer than the field.
// `leaving` adds the trimming done when the user leaves the field.
std::optional<std::string> textForField(DruhPole druh, std::size_t width, std::string_view text, bool leaving) {
  std::string out;
  switch (druh) {
    case DruhPole::Text:
    case DruhPole::TextKod:
      out = leaving ? storage::Orez(text) : storage::DoplnZprava(text, width);
      break;
    case DruhPole::TextVpravo:
      out = storage::DoplnZleva(leaving ? storage::OrezZprava(text) : std::string(text), width);
      break;
    case DruhPole::Ucet: out = blanksToZeros(storage::DoplnZprava(storage::OrezZleva(text), width, '0')); break;
    case DruhPole::Kod: out = blanksToZeros(storage::DoplnZleva(storage::OrezZprava(text), width, '0')); break;
    default: out = storage::DoplnZprava(text, width); break;
  }
  if (out.size() > width) return std::nullopt;
  return out;
}

// --- dates -----------------------------------------------------------------------------------

struct DateLayout {
  bool yearFirst;
  bool longYear;
  std::size_t size() const { return longYear ? 8 : 6; }
  std::size_t yearAt() const { return yearFirst ? 0 : 4; }
  std::size_t monthAt() const { return yearFirst ? (longYear ? 4 : 2) : 2; }
  std::size_t dayAt() const { return yearFirst ? (longYear ? 6 : 4) : 0; }
  std::size_t yearLength() const { return longYear ? 4 : 2; }
};

DateLayout layoutOf(char typ) {
  switch (typ) {
    case 'D': return {true, false};
    case 'Q': return {true, true};
    case 'q': return {false, true};
    default: return {false, false};  // 'd'
  }
}

bool allOf(std::string_view s, char c) { return s.find_first_not_of(c) == std::string_view::npos; }

std::optional<int> digitsValue(std::string_view s) {
  if (s.empty()) return std::nullopt;
  int v = 0;
  for (char c : s) {
    if (!isDigit(c)) return std::nullopt;
    v = v * 10 + (c - '0');
  }
  return v;
}

// Entered dates and times: the letters O, o and l read as digits, the text split at separators.
// A separator at the very end ("1.2.") is allowed; an empty part anywhere else makes it invalid.
std::optional<std::vector<std::string>> splitEntry(std::string_view entry, std::string_view separators) {
  std::string t;
  for (char c : storage::Orez(entry)) t += (c == 'O' || c == 'o') ? '0' : (c == 'l' ? '1' : c);
  std::vector<std::string> parts(1);
  for (char c : t) {
    if (separators.find(c) != std::string_view::npos)
      parts.emplace_back();
    else if (isDigit(c))
      parts.back() += c;
    else
      return std::nullopt;
  }
  if (parts.size() > 1 && parts.back().empty()) parts.pop_back();
  for (const auto& p : parts)
    if (p.empty()) return std::nullopt;
  return parts;
}

std::string twoDigits(int v) {
  std::string s = std::to_string(v % 100);
  return s.size() < 2 ? "0" + s : s;
}

}  // namespace

// --- formatting ------------------------------------------------------------------------------

std::string FormatE(std::string_view picture, double value) {
  return format(picture, storage::decimalOf(value), belowMillionth(value), true);
}

std::string FormatPlainE(std::string_view picture, double value) {
  return format(picture, storage::decimalOf(value), false, false);
}

std::string FormatR(std::string_view picture, const storage::Real48& value) {
  return FormatE(picture, storage::real48ToDecimal(value));
}

std::string FormatPlainR(std::string_view picture, const storage::Real48& value) {
  return FormatPlainE(picture, storage::real48ToDecimal(value));
}

ObrazekPenez::ObrazekPenez(std::string_view picture)
    : obrazek_(cutPicture(picture)), desetinna_(pictureDecimals(obrazek_)), znamenko_(obrazek_.rfind('-')) {
  jinaPomlcka_ = znamenko_ != std::string::npos && obrazek_.find('-') < znamenko_;
  prazdny_ = obrazek_;
  for (std::size_t i = prazdny_.size(); i-- > 0;)
    if (isDigitPosition(prazdny_[i])) {
      prazdny_[i] = prazdny_[i] == '@' ? '0' : ' ';
      cifry_.push_back(static_cast<std::uint8_t>(i));
    }
}

// The filling of `fill` done on the integer alone: the digits of the rounded value go into the
// digit positions from the right, at least one before the decimal separator. Its integer part
// never passes the star limit.
void ObrazekPenez::pridej(std::string& out, std::int64_t tenThousandths) const {
  const bool nearZero = tenThousandths > -10 && tenThousandths < 10;  // below 0.001
  if (desetinna_ > 4) {
    out += format(obrazek_, storage::decimalOfScaled(tenThousandths, 4), nearZero, true);
    return;
  }
  const std::size_t start = out.size();
  if (nearZero && (obrazek_.empty() || obrazek_.back() != '@')) {
    out.append(obrazek_.size(), ' ');
    return;
  }
  static constexpr std::uint64_t kDivisor[] = {10000, 1000, 100, 10, 1};
  const bool negative = tenThousandths < 0;
  const std::uint64_t magnitude =
      negative ? 0 - static_cast<std::uint64_t>(tenThousandths) : static_cast<std::uint64_t>(tenThousandths);
  const std::uint64_t d = kDivisor[desetinna_];
  std::uint64_t v = magnitude / d;
  if ((magnitude % d) * 2 >= d) ++v;  // half away from zero
  const bool roundsToZero = v == 0;

  out += prazdny_;
  char* text = out.data() + start;
  std::size_t n = 0;
  for (; n < cifry_.size() && (v > 0 || static_cast<int>(n) <= desetinna_); ++n, v /= 10)
    text[cifry_[n]] = static_cast<char>('0' + v % 10);
  bool lost = v > 0;  // a non-zero digit fell off the left
  if (znamenko_ != std::string::npos) {
    text[znamenko_] = negative ? '-' : ' ';
  } else if (negative) {
    const std::size_t first = std::string_view(text, obrazek_.size()).find_first_not_of(' ');
    if (first != std::string_view::npos && first > 0)
      text[first - 1] = '-';
    else
      lost = lost || !roundsToZero;
  }
  // Shown to a user, a number never loses digits or its sign: it shows as stars instead.
  if (lost)
    for (std::uint8_t i : cifry_) text[i] = '*';
  if (negative || jinaPomlcka_) {
    const std::string_view shown(text, obrazek_.size());
    const std::size_t pos = shown.find(" 0.00-");
    if (pos != std::string_view::npos) out.replace(start + pos, 6, 6, ' ');
  }
}

std::string FormatC(std::string_view picture, std::int64_t tenThousandths) {
  std::string out;
  ObrazekPenez(picture).pridej(out, tenThousandths);
  return out;
}

bool VejdeSe(std::string_view picture, double value) {
  const std::string_view pic = cutPicture(picture);
  if (belowMillionth(value) && (pic.empty() || pic.back() != '@')) return true;
  std::string text(pic.size(), ' ');
  const Filled f = fill(pic, text.data(), storage::decimalOf(value));
  return !f.lostDigit && !f.lostSign;
}

// --- parsing ---------------------------------------------------------------------------------

std::int32_t TextNaCele(std::string_view text) {
  int sign = 1;
  std::string kept;
  for (char c : text) {
    if (c == '-') {
      sign = -1;
      c = ' ';
    } else if (c == '+') {
      sign = 1;
      c = ' ';
    } else if (c == ',') {
      c = '.';
    }
    if (c != ' ' && c != '.' && !isDigit(c)) return 0;
    if (kept.size() < 40) kept += c;
  }
  std::size_t i = kept.find_first_not_of(' ');
  std::int64_t v = 0;
  for (; i < kept.size() && isDigit(kept[i]); ++i) {
    v = v * 10 + (kept[i] - '0');
    if (v > std::int64_t{INT32_MAX} + 1) return 0;
  }
  v *= sign;
  if (v < INT32_MIN || v > INT32_MAX) return 0;
  return static_cast<std::int32_t>(v);
}

double TextNaReal(std::string_view text) { return storage::toDouble(decimalFromEntry(text)); }

std::int64_t TextNaPenize(std::string_view text) { return tenThousandthsFromEntry(text).value_or(0); }

// --- field types -----------------------------------------------------------------------------

std::optional<TypPole> RozeberTyp(std::string_view typ) {
  if (typ.empty() || typ.size() > 30) return std::nullopt;
  TypPole t;
  t.pismeno = typ.front();
  switch (typ.front()) {
    case 'X': case 'x': t.druh = DruhPole::Text; return t;
    case 'K': t.druh = DruhPole::TextKod; return t;
    case 'Y': case 'y': t.druh = DruhPole::TextVpravo; return t;
    case 'L': case 'l': t.druh = DruhPole::Ucet; return t;
    case 'P': case 'p': t.druh = DruhPole::Kod; return t;
    case 'D': t.druh = DruhPole::DatumRMD; return t;
    case 'd': t.druh = DruhPole::DatumDMR; return t;
    case 'Q': t.druh = DruhPole::DatumRRMD; return t;
    case 'q': t.druh = DruhPole::DatumDMRR; return t;
    case 'T': case 't': t.druh = DruhPole::Cas; return t;
    case ' ': case 'm': t.druh = DruhPole::TextPevny; return t;
    default: break;
  }
  t.pismeno = typ.back();
  switch (typ.back()) {
    case 'B': t.druh = DruhPole::Bajt; break;
    case 'W': t.druh = DruhPole::Slovo; break;
    case 'I': t.druh = DruhPole::Cele; break;
    case 'L': t.druh = DruhPole::DlouheCele; break;
    case 'R': t.druh = DruhPole::Real; break;
    case 'D': t.druh = DruhPole::Dvojite; break;
    case 'C': t.druh = DruhPole::Penize; break;
    default: return std::nullopt;
  }
  t.obrazek = typ.substr(0, typ.size() - 1);
  if (t.obrazek.find_first_of("#@") == std::string::npos) return std::nullopt;
  return t;
}

std::size_t SirkaUlozeni(const TypPole& typ, std::size_t sirka) {
  switch (typ.druh) {
    case DruhPole::Bajt: return 1;
    case DruhPole::Slovo: return 2;
    case DruhPole::Cele:
    case DruhPole::DlouheCele: return 4;
    case DruhPole::Real: return 6;
    case DruhPole::Dvojite:
    case DruhPole::Penize: return 8;
    case DruhPole::DatumRMD:
    case DruhPole::DatumDMR:
    case DruhPole::Cas: return 7;
    case DruhPole::DatumRRMD:
    case DruhPole::DatumDMRR: return 9;
    default: return sirka + 1;
  }
}

UpravenyText UpravPole(const TypPole& typ, std::size_t sirka, std::string_view text, int rokDnes) {
  if (typ.ciselny()) {
    const Number n = readNumber(typ, text);
    if (n.chyba != ChybaPole::Zadna) return {std::string(text), n.chyba};
    return {showNumber(typ.obrazek, n.value), ChybaPole::Zadna};
  }
  if (typ.datum()) {
    const auto stored = CtiDatum(typ.pismeno, text, rokDnes);
    if (!stored) return {std::string(text), ChybaPole::ChybneDatum};
    return {ZobrazDatum(typ.pismeno, *stored), ChybaPole::Zadna};
  }
  if (typ.druh == DruhPole::Cas) {
    const auto stored = CtiCas(text);
    if (!stored) return {std::string(text), ChybaPole::ChybnyCas};
    return {ZobrazCas(*stored), ChybaPole::Zadna};
  }
  const auto shown = textForField(typ.druh, sirka, text, true);
  if (!shown) return {std::string(text), ChybaPole::DlouhyText};
  return {*shown, ChybaPole::Zadna};
}

ChybaPole UlozPole(const TypPole& typ, std::size_t sirka, std::string_view text, storage::Bytes veta,
                   std::size_t offset, int rokDnes) {
  if (!veta.fits(offset, SirkaUlozeni(typ, sirka))) return ChybaPole::MimoVetu;
  if (typ.ciselny()) {
    const Number n = readNumber(typ, text);
    if (n.chyba != ChybaPole::Zadna) return n.chyba;
    switch (typ.druh) {
      case DruhPole::Bajt: storage::writeU8(veta, offset, static_cast<std::uint8_t>(n.whole)); break;
      case DruhPole::Slovo: storage::writeU16(veta, offset, static_cast<std::uint16_t>(n.whole)); break;
      case DruhPole::Cele:
      case DruhPole::DlouheCele: storage::writeI32(veta, offset, static_cast<std::int32_t>(n.whole)); break;
      case DruhPole::Real: storage::writeReal48Bytes(veta, offset, n.real48); break;
      case DruhPole::Dvojite: storage::writeDouble(veta, offset, n.real); break;
      case DruhPole::Penize: storage::writeI64(veta, offset, n.whole); break;
      default: break;
    }
    return ChybaPole::Zadna;
  }
  std::optional<std::string> stored;
  std::size_t width = sirka;
  ChybaPole failure = ChybaPole::DlouhyText;
  if (typ.datum()) {
    stored = CtiDatum(typ.pismeno, text, rokDnes);
    width = layoutOf(typ.pismeno).size();
    failure = ChybaPole::ChybneDatum;
  } else if (typ.druh == DruhPole::Cas) {
    stored = CtiCas(text);
    width = 6;
    failure = ChybaPole::ChybnyCas;
  } else {
    stored = textForField(typ.druh, sirka, text, false);
  }
  if (!stored) return failure;
  return storage::writeShortString(veta, offset, width, *stored) ? ChybaPole::Zadna : ChybaPole::DlouhyText;
}

std::string ZobrazPole(const TypPole& typ, std::size_t sirka, storage::ConstBytes veta, std::size_t offset) {
  switch (typ.druh) {
    case DruhPole::Bajt: return FormatE(typ.obrazek, storage::readU8(veta, offset));
    case DruhPole::Slovo: return FormatE(typ.obrazek, storage::readU16(veta, offset));
    case DruhPole::Cele:
    case DruhPole::DlouheCele: return FormatE(typ.obrazek, storage::readI32(veta, offset));
    case DruhPole::Real: return FormatE(typ.obrazek, storage::readReal48(veta, offset));
    case DruhPole::Dvojite: return FormatE(typ.obrazek, storage::readDouble(veta, offset));
    case DruhPole::Penize:
      return showNumber(typ.obrazek, storage::decimalOfScaled(storage::readI64(veta, offset), 4));
    case DruhPole::DatumRMD:
    case DruhPole::DatumDMR:
    case DruhPole::DatumRRMD:
    case DruhPole::DatumDMRR: {
      const DateLayout l = layoutOf(typ.pismeno);
      return ZobrazDatum(typ.pismeno, storage::readShortString(veta, offset, l.size()));
    }
    case DruhPole::Cas: return ZobrazCas(storage::readShortString(veta, offset, 6));
    default: return storage::readShortString(veta, offset, sirka);
  }
}

void ZobrazPole(std::string& out, const TypPole& typ, std::size_t sirka, storage::ConstBytes veta, std::size_t offset) {
  switch (typ.druh) {
    case DruhPole::Bajt:
    case DruhPole::Slovo:
    case DruhPole::Cele:
    case DruhPole::DlouheCele:
    case DruhPole::Real:
    case DruhPole::Dvojite:
    case DruhPole::Penize:
    case DruhPole::DatumRMD:
    case DruhPole::DatumDMR:
    case DruhPole::DatumRRMD:
    case DruhPole::DatumDMRR:
    case DruhPole::Cas: out = ZobrazPole(typ, sirka, veta, offset); return;
    default: break;
  }
  // A short string, as readShortString reads it: at most `sirka` bytes, zeros past the buffer.
  const std::size_t len = std::min<std::size_t>(veta.at(offset), sirka);
  if (veta.fits(offset + 1, len)) {
    out.assign(reinterpret_cast<const char*>(veta.data()) + offset + 1, len);
    return;
  }
  out.resize(len);
  for (std::size_t i = 0; i < len; ++i) out[i] = static_cast<char>(veta.at(offset + 1 + i));
}

// --- dates and times -------------------------------------------------------------------------

bool PlatnyDen(const Den& d) {
  if (d.rok < 1 || d.rok > 9999 || d.mesic < 1 || d.mesic > 12 || d.den < 1) return false;
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (d.rok % 4 == 0 && d.rok % 100 != 0) || d.rok % 400 == 0;
  const int last = kDays[d.mesic - 1] + (d.mesic == 2 && leap ? 1 : 0);
  return d.den <= last;
}

int DnesniRok() { return platform::clock().today().year; }

std::string ZobrazDatum(char typ, std::string_view ulozene) {
  const DateLayout l = layoutOf(typ);
  std::string s(ulozene.substr(0, l.size()));
  s.resize(l.size(), ' ');
  if (allOf(s, ' ') || allOf(s, '0')) return std::string(l.longYear ? 10 : 8, ' ');
  s[l.dayAt()] = storage::dateDigit(s[l.dayAt()]);
  s[l.yearAt()] = storage::dateDigit(s[l.yearAt()]);
  return s.substr(l.dayAt(), 2) + "." + s.substr(l.monthAt(), 2) + "." + s.substr(l.yearAt(), l.yearLength());
}

std::optional<std::string> CtiDatum(char typ, std::string_view zadani, int rokDnes) {
  const DateLayout l = layoutOf(typ);
  if (storage::Orez(zadani).empty()) return std::string(l.size(), ' ');
  const auto parts = splitEntry(zadani, ",-./");
  if (!parts) return std::nullopt;
  std::string day, month, year;
  const auto& p = *parts;
  if (p.size() == 1) {
    const std::string& s = p[0];
    if (s.size() != 4 && s.size() != 6 && s.size() != 8) return std::nullopt;
    day = s.substr(0, 2);
    month = s.substr(2, 2);
    year = s.substr(4);
  } else if (p.size() <= 3) {
    day = p[0];
    month = p[1];
    if (p.size() == 3) year = p[2];
  } else {
    return std::nullopt;
  }
  if (day.size() > 2 || month.size() > 2) return std::nullopt;
  if (!year.empty() && year.size() != 2 && year.size() != 4) return std::nullopt;

  Den d;
  d.den = digitsValue(day).value_or(0);
  d.mesic = digitsValue(month).value_or(0);
  if (year.empty())
    d.rok = rokDnes > 0 ? rokDnes : DnesniRok();
  else if (year.size() == 2)
    d.rok = storage::widenYear(*digitsValue(year));
  else
    d.rok = *digitsValue(year);
  // A two-digit type keeps only the years its widening gives back.
  if (!l.longYear && (d.rok < 1940 || d.rok > 2039)) return std::nullopt;
  if (!PlatnyDen(d)) return std::nullopt;
  return UlozenyDatum(typ, d);
}

std::optional<Den> RozeberDatum(char typ, std::string_view ulozene) {
  const DateLayout l = layoutOf(typ);
  if (ulozene.size() < l.size()) return std::nullopt;
  std::string s(ulozene.substr(0, l.size()));
  for (char& c : s) c = storage::dateDigit(c);
  if (allOf(s, '0')) return std::nullopt;
  const auto day = digitsValue(std::string_view(s).substr(l.dayAt(), 2));
  const auto month = digitsValue(std::string_view(s).substr(l.monthAt(), 2));
  const auto year = digitsValue(std::string_view(s).substr(l.yearAt(), l.yearLength()));
  if (!day || !month || !year) return std::nullopt;
  Den d{l.longYear ? *year : storage::widenYear(*year), *month, *day};
  if (!PlatnyDen(d)) return std::nullopt;
  return d;
}

std::string UlozenyDatum(char typ, const Den& den) {
  const DateLayout l = layoutOf(typ);
  std::string year = l.longYear ? storage::DoplnZleva(std::to_string(den.rok), 4, '0') : twoDigits(den.rok);
  const std::string dm = twoDigits(den.den);
  const std::string mm = twoDigits(den.mesic);
  return l.yearFirst ? year + mm + dm : dm + mm + year;
}

std::string ZobrazCas(std::string_view ulozeny) {
  std::string s(ulozeny.substr(0, 6));
  s.resize(6, ' ');
  if (allOf(s, ' ')) return std::string(8, ' ');
  return s.substr(0, 2) + ":" + s.substr(2, 2) + ":" + s.substr(4, 2);
}

std::optional<std::string> CtiCas(std::string_view zadani) {
  if (storage::Orez(zadani).empty()) return std::string(6, ' ');
  const auto parts = splitEntry(zadani, ":.,-/");
  if (!parts) return std::nullopt;
  const auto& p = *parts;
  std::string h, m, s;
  if (p.size() == 1) {
    const std::string& t = p[0];
    if (t.size() <= 2) {
      h = t;
    } else if (t.size() == 4 || t.size() == 6) {
      h = t.substr(0, 2);
      m = t.substr(2, 2);
      s = t.substr(4);
    } else {
      return std::nullopt;
    }
  } else if (p.size() <= 3) {
    h = p[0];
    m = p[1];
    if (p.size() == 3) s = p[2];
  } else {
    return std::nullopt;
  }
  if (h.size() > 2 || m.size() > 2 || s.size() > 2) return std::nullopt;
  const int hh = digitsValue(h).value_or(0);
  const int mi = m.empty() ? 0 : digitsValue(m).value_or(0);
  const int ss = s.empty() ? 0 : digitsValue(s).value_or(0);
  if (hh > 23 || mi > 59 || ss > 59) return std::nullopt;
  return twoDigits(hh) + twoDigits(mi) + twoDigits(ss);
}

}  // namespace pz::ui
