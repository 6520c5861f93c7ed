#include "storage/layout.h"

#include <cctype>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "platform/file.h"
#include "platform/fs.h"
#include "platform/io.h"
#include "platform/text.h"
#include "storage/czech.h"
#include "storage/filehelpers.h"
#include "storage/interaction.h"
#include "storage/locks.h"
#include "storage/money.h"
#include "storage/probes.h"
#include "storage/textutil.h"

namespace pz::storage {

using platform::cz;

namespace {

// ---------------------------------------------------------------------------------------------
// Reading a description

bool jeCislo(char typ) { return typ != 'S'; }

std::size_t sirkaCisla(char typ) {
  switch (typ) {
    case 'B': return 1;
    case 'W': return 2;
    case 'I': return 4;
    case 'R': return 6;
    default: return 8;  // 'D', 'C'
  }
}

bool jeDatum6(char druh) { return druh == 'D' || druh == 'd' || druh == 'T' || druh == 't'; }
bool jeDatum8(char druh) { return druh == 'Q' || druh == 'q'; }

// Kinds whose texts are fitted alike; dates are kinds of their own, each letter.
char tridaDruhu(char druh) {
  switch (druh) {
    case 'X': case 'x': return 'X';
    case 'Y': case 'y': return 'Y';
    case 'L': case 'l': return 'L';
    case 'P': case 'p': return 'P';
    case 'T': case 't': return 'T';
    case 'D': case 'd': case 'Q': case 'q': return druh;
    default: return 'm';  // "m" and plain text: blank-padded, not trimmed
  }
}

// The text between the next pair of double quotes from `od`; `od` moves past the closing one.
std::string vUvozovkach(std::string_view radek, std::size_t& od) {
  const std::size_t a = radek.find('"', od);
  if (a == std::string_view::npos) {
    od = radek.size();
    return {};
  }
  std::size_t b = radek.find('"', a + 1);
  if (b == std::string_view::npos) b = radek.size();
  od = b + 1;
  return std::string(radek.substr(a + 1, b - a - 1));
}

// One field line; empty text when it is good, else what is wrong with it.
std::string ctiPolozku(std::string_view radek, tPolozka& p) {
  const std::size_t dvojtecka = radek.find(':');
  p.jmeno = VelkaPismena(BezMezer(radek.substr(0, dvojtecka))).substr(0, kDelkaJmenaPolozky);
  // The name, ":", exactly one separating character, the type letter.
  const std::size_t t = dvojtecka + 2;
  if (t >= radek.size()) return cz("chybí typ položky");
  char typ = static_cast<char>(std::toupper(static_cast<unsigned char>(radek[t])));
  if (typ == 'L') typ = 'I';
  std::size_t dal = t + 1;
  std::size_t pocet = 0;
  if (typ == 'S') {
    const std::size_t strednik = radek.find(';', dal);
    if (strednik == std::string_view::npos) return cz("u textu chybí délka a středník");
    const std::string cislo = Orez(radek.substr(dal, strednik - dal));
    if (cislo.empty() || cislo.size() > 3 || cislo.find_first_not_of("0123456789") != std::string::npos)
      return cz("chybná délka textu");
    pocet = static_cast<std::size_t>(std::stoi(cislo));
    if (pocet < 1 || pocet > 255) return cz("chybná délka textu");
    dal = strednik + 1;
  } else if (typ != 'B' && typ != 'W' && typ != 'I' && typ != 'R' && typ != 'D' && typ != 'C') {
    return cz("neznámý typ položky ") + std::string(1, radek[t]);
  }
  vUvozovkach(radek, dal);  // the label, not used here
  p.obrazek = vUvozovkach(radek, dal).substr(0, kDelkaObrazkuPolozky);
  p.typ = typ;
  p.druh = p.obrazek.empty() ? ' ' : p.obrazek[0];
  if (typ != 'S') {
    p.delka = p.sirka = sirkaCisla(typ);
  } else {
    p.delka = jeDatum6(p.druh) ? 6 : jeDatum8(p.druh) ? 8 : pocet;
    p.sirka = p.delka + 1;
  }
  return {};
}

// ---------------------------------------------------------------------------------------------
// Converting fields

// A stored date with its year widened: "D" DDMMYY / "d" YYMMDD into "Q" DDMMYYYY / "q" YYYYMMDD.
// Older data may hold the letter O or l as the first digit of the year. A blank date, "000000"
// or a year that is no number stays blank.
std::string rozsirDatum(std::string d, char z, char na) {
  d.resize(6, ' ');
  if (Orez(d).empty() || d == "000000") return std::string(8, ' ');
  const std::size_t rok = z == 'D' ? 4 : 0;
  d[rok] = dateDigit(d[rok]);
  if (d[rok] < '0' || d[rok] > '9' || d[rok + 1] < '0' || d[rok + 1] > '9') return std::string(8, ' ');
  const std::string celyRok = std::to_string(widenYear((d[rok] - '0') * 10 + (d[rok + 1] - '0')));
  const std::string den = z == 'D' ? d.substr(0, 2) : d.substr(4, 2);
  const std::string mesic = d.substr(2, 2);
  return na == 'Q' ? den + mesic + celyRok : celyRok + mesic + den;
}

// Exactly `sirka` characters: filled after the text and cut from the right, or (zleva) filled
// in front and cut from the left, so that the last characters stay.
std::string doSirky(std::string_view text, std::size_t sirka, char vypln, bool zleva) {
  if (!zleva) return NaSirku(text, sirka, vypln);
  const std::string t = DoplnZleva(text, sirka, vypln);
  return t.substr(t.size() - sirka);
}

// The text of the new field from the old text, or nullopt when the kinds have no conversion.
std::optional<std::string> prevedText(const tPolozka& s, const tPolozka& n, const std::string& text) {
  const char ts = tridaDruhu(s.druh), tn = tridaDruhu(n.druh);
  if (ts == tn) {
    switch (tn) {
      case 'Y': return doSirky(text, n.delka, ' ', true);
      case 'L': return doSirky(text, n.delka, '0', false);
      case 'P': return doSirky(text, n.delka, '0', true);
      case 'X': case 'm': return doSirky(text, n.delka, ' ', false);
      default: return text;  // dates and times keep their characters
    }
  }
  std::string d = text;
  if (ts == 'D' && tn == 'd') { d.resize(6, ' '); return d.substr(4, 2) + d.substr(2, 2) + d.substr(0, 2); }
  if (ts == 'd' && tn == 'D') { d.resize(6, ' '); return d.substr(4, 2) + d.substr(2, 2) + d.substr(0, 2); }
  if (ts == 'Q' && tn == 'q') { d.resize(8, ' '); return d.substr(4, 4) + d.substr(2, 2) + d.substr(0, 2); }
  if (ts == 'q' && tn == 'Q') { d.resize(8, ' '); return d.substr(6, 2) + d.substr(4, 2) + d.substr(0, 4); }
  if ((ts == 'D' || ts == 'd') && (tn == 'Q' || tn == 'q')) return rozsirDatum(d, ts, tn);
  return std::nullopt;
}

// A number field's value, in the form it is held in.
struct Hodnota {
  enum { Cele, Realne, Pevne } druh = Cele;
  std::int64_t cele = 0;  // Cele: the integer; Pevne: ten-thousandths
  double realne = 0;
};

Hodnota ctiCislo(ConstBytes v, const tPolozka& p) {
  Hodnota h;
  switch (p.typ) {
    case 'B': h.cele = readU8(v, p.offset); break;
    case 'W': h.cele = readU16(v, p.offset); break;
    case 'I': h.cele = readI32(v, p.offset); break;
    case 'R': h.druh = Hodnota::Realne; h.realne = readReal48(v, p.offset); break;
    case 'D': h.druh = Hodnota::Realne; h.realne = readDouble(v, p.offset); break;
    default: h.druh = Hodnota::Pevne; h.cele = readI64(v, p.offset); break;
  }
  return h;
}

// The value as a whole number, halves to the even neighbour.
std::optional<std::int64_t> celeCislo(const Hodnota& h) {
  if (h.druh == Hodnota::Cele) return h.cele;
  if (h.druh == Hodnota::Pevne) {
    std::int64_t q = h.cele / kMoneyScale, r = h.cele % kMoneyScale;
    if (r < 0) { r += kMoneyScale; --q; }
    if (r > kMoneyScale / 2 || (r == kMoneyScale / 2 && (q & 1))) ++q;
    return q;
  }
  if (!std::isfinite(h.realne) || std::fabs(h.realne) >= 9.2e18) return std::nullopt;
  return static_cast<std::int64_t>(std::nearbyint(h.realne));
}

double realneCislo(const Hodnota& h) {
  if (h.druh == Hodnota::Cele) return static_cast<double>(h.cele);
  if (h.druh == Hodnota::Pevne) return toDouble(decimalOfScaled(h.cele, 4));
  return h.realne;
}

// Writes the value into the new field; a value that the field cannot hold leaves it as it was.
void pisCislo(Bytes v, const tPolozka& p, const Hodnota& h) {
  auto rozsah = [&](std::int64_t lo, std::int64_t hi) -> std::optional<std::int64_t> {
    const auto c = celeCislo(h);
    if (!c || *c < lo || *c > hi) return std::nullopt;
    return c;
  };
  switch (p.typ) {
    case 'B': if (auto c = rozsah(0, 255)) writeU8(v, p.offset, static_cast<std::uint8_t>(*c)); break;
    case 'W': if (auto c = rozsah(0, 65535)) writeU16(v, p.offset, static_cast<std::uint16_t>(*c)); break;
    case 'I':
      if (auto c = rozsah(std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()))
        writeI32(v, p.offset, static_cast<std::int32_t>(*c));
      break;
    case 'R': (void)writeReal48(v, p.offset, realneCislo(h)); break;
    case 'D': writeDouble(v, p.offset, realneCislo(h)); break;
    default: {
      if (h.druh == Hodnota::Pevne) {
        writeI64(v, p.offset, h.cele);
      } else if (h.druh == Hodnota::Cele) {
        if (std::abs(h.cele) <= std::numeric_limits<std::int64_t>::max() / kMoneyScale)
          writeI64(v, p.offset, h.cele * kMoneyScale);
      } else if (const Money m = toTenThousandths(h.realne); m.ok()) {
        writeI64(v, p.offset, m.tenThousandths);
      }
    }
  }
}

std::string kod(int code) { return DoplnZleva(std::to_string(code), 6); }

// Reads and checks a description file; a message names the file when it is unusable.
std::optional<toPol> nactiPopis(const std::string& cesta) {
  std::string text;
  const int code = platform::readWholeFile(cesta, text, platform::Share::DenyNone);
  if (code != platform::kIoOk) {
    interaction().message(cz("Popis položek ") + cesta + cz(" nelze číst - err") + kod(code));
    return std::nullopt;
  }
  std::string chyba;
  auto popis = CtiPopis(text, &chyba);
  if (!popis) interaction().message(cz("Chybný popis položek ") + cesta + ": " + chyba);
  return popis;
}

// Is the data file in the old layout? The test looks at its second record (the first of a
// one-record file). A file that cannot be opened or read is not taken for a new one silently:
// the failure is shown, and the file is left as it is. A file shorter than a record is not old.
bool souborJeStary(const std::string& data, const toPol& stary, const toPol& novy) {
  platform::File f;
  std::int64_t velikost = 0;
  int code = f.open(data, platform::Access::Read, platform::Share::DenyNone);
  if (code == platform::kIoOk) code = f.size(velikost);
  std::string veta(stary.velikost, '\0');
  if (code == platform::kIoOk) {
    const std::int64_t od = velikost > static_cast<std::int64_t>(stary.velikost)
                                ? static_cast<std::int64_t>(stary.velikost) : 0;
    code = f.readAt(od, veta.data(), veta.size());
  }
  if (code == platform::kIoReadPastEnd) return false;
  if (code != platform::kIoOk) {
    interaction().message(cz("Soubor ") + data + cz(" nelze převést na nový tvar - err") + kod(code), true);
    return false;
  }
  return JeStaryTvar(stary, novy, velikost, veta);
}

// Writes every converted record into the work file. 0, or the I/O code of the first failure.
int prepis(const std::string& data, const std::string& prace, const toPol& stary, const toPol& novy) {
  platform::File vstup;
  // Nobody may write the data file while its records are copied.
  int code = vstup.open(data, platform::Access::Read, platform::Share::DenyWrite);
  if (code != platform::kIoOk) return code;
  std::int64_t velikost = 0;
  if ((code = vstup.size(velikost)) != platform::kIoOk) return code;
  platform::File vystup;
  code = vystup.open(prace, platform::Access::Write, platform::Share::DenyReadWrite, platform::Create::CreateAlways);
  if (code != platform::kIoOk) return code;
  const std::vector<std::uint8_t> prazdna = PrazdnaVeta(novy);
  const std::int64_t pocet = velikost / static_cast<std::int64_t>(stary.velikost);
  std::string stara(stary.velikost, '\0');
  std::vector<std::uint8_t> nova;
  for (std::int64_t i = 0; i < pocet; ++i) {
    code = vstup.readAt(i * static_cast<std::int64_t>(stary.velikost), stara.data(), stara.size());
    if (code != platform::kIoOk) return code;
    // Every record starts from the blank one, so that no value of the record before it
    // survives in a field that this record cannot fill.
    nova = prazdna;
    PrevedVetu(stary, novy, stara, nova);
    code = vystup.writeAt(i * static_cast<std::int64_t>(novy.velikost), nova.data(), nova.size());
    if (code != platform::kIoOk) return code;
  }
  return vystup.sync();
}

}  // namespace

std::optional<toPol> CtiPopis(std::string_view text, std::string* chyba) {
  toPol popis;
  std::size_t od = 0;
  int cisloRadku = 0;
  while (od < text.size()) {
    std::size_t konec = text.find('\n', od);
    if (konec == std::string_view::npos) konec = text.size();
    std::string_view radek = text.substr(od, konec - od);
    od = konec + 1;
    ++cisloRadku;
    if (!radek.empty() && radek.back() == '\r') radek.remove_suffix(1);
    if (radek.find(':') == std::string_view::npos) continue;
    tPolozka p;
    std::string vada = ctiPolozku(radek, p);
    if (vada.empty() && popis.polozky.size() >= kNejvicPolozekPopisu) vada = cz("více než 264 položek");
    if (!vada.empty()) {
      if (chyba) *chyba = cz("řádek ") + std::to_string(cisloRadku) + " - " + vada;
      return std::nullopt;
    }
    p.offset = popis.velikost;
    popis.velikost += p.sirka;
    popis.polozky.push_back(std::move(p));
    const int cislo = static_cast<int>(popis.polozky.size());
    if (popis.polozky.back().typ == 'S') {
      if (popis.prvniText == 0) popis.prvniText = cislo;
      else if (popis.druhyText == 0) popis.druhyText = cislo;
    }
  }
  if (popis.polozky.empty()) {
    if (chyba) *chyba = cz("žádná položka");
    return std::nullopt;
  }
  return popis;
}

std::vector<std::uint8_t> PrazdnaVeta(const toPol& popis) {
  std::vector<std::uint8_t> veta(popis.velikost, 0);
  for (const tPolozka& p : popis.polozky) {
    if (jeCislo(p.typ)) continue;
    // Only the capital kinds fill with "0": a blank "l" or "p" field stays blanks.
    const char vypln = p.druh == 'L' || p.druh == 'P' ? '0' : ' ';
    (void)writeShortString(veta, p.offset, p.delka, std::string(p.delka, vypln));
  }
  return veta;
}

void Sparuj(toPol& novy, const toPol& stary) {
  for (tPolozka& n : novy.polozky) {
    n.stara = 0;
    for (std::size_t i = 0; i < stary.polozky.size(); ++i)
      if (stary.polozky[i].jmeno == n.jmeno) n.stara = static_cast<int>(i + 1);
  }
}

void PrevedVetu(const toPol& stary, const toPol& novy, ConstBytes stara, Bytes nova) {
  for (const tPolozka& n : novy.polozky) {
    if (n.stara < 1 || n.stara > static_cast<int>(stary.polozky.size())) continue;
    const tPolozka& s = stary.polozky[static_cast<std::size_t>(n.stara - 1)];
    if (s.typ == 'S' && n.typ == 'S') {
      if (s.delka == n.delka && tridaDruhu(s.druh) == tridaDruhu(n.druh)) {
        // Copied unchanged, length byte included.
        for (std::size_t i = 0; i < n.sirka; ++i) writeU8(nova, n.offset + i, stara.at(s.offset + i));
      } else if (auto t = prevedText(s, n, readShortString(stara, s.offset, s.delka))) {
        (void)writeShortString(nova, n.offset, n.delka, doSirky(*t, n.delka, ' ', false));
      }
    } else if (s.typ == n.typ) {
      for (std::size_t i = 0; i < n.sirka; ++i) writeU8(nova, n.offset + i, stara.at(s.offset + i));
    } else if (jeCislo(s.typ) && jeCislo(n.typ)) {
      pisCislo(nova, n, ctiCislo(stara, s));
    }
  }
}

bool JeStaryTvar(const toPol& stary, const toPol& novy, std::int64_t velikost, ConstBytes zkusebni) {
  const auto so = static_cast<std::int64_t>(stary.velikost), sn = static_cast<std::int64_t>(novy.velikost);
  if (so == sn || so < 1 || sn < 1 || velikost == sn || velikost < so || velikost % so != 0) return false;
  // A one-old-record file is taken as it is, unless it could as well be whole new records.
  if (velikost == so && velikost % sn != 0) return true;
  // Texts are stored at their full width, so in the old layout the length bytes of the first
  // two text fields equal their declared widths.
  if (stary.prvniText == 0) return false;
  for (int cislo : {stary.prvniText, stary.druhyText}) {
    if (cislo == 0) continue;
    const tPolozka& p = stary.polozky[static_cast<std::size_t>(cislo - 1)];
    if (zkusebni.at(p.offset) != p.delka) return false;
  }
  return true;
}

bool PrevedSoubor(const std::string& data, const std::string& cil, const std::string& staryPopis,
                  const std::string& novyPopis) {
  const std::string cilova = cil.empty() ? data : cil;
  if (VelikostSouboru(staryPopis) < 2) {
    interaction().message(cz("Chybí popis vstupní položky ") + staryPopis);
    return false;
  }
  if (VelikostSouboru(novyPopis) < 2) {
    interaction().message(cz("Chybí popis výstupní položky ") + novyPopis);
    return false;
  }
  if (VelikostSouboru(data) < 2) {
    interaction().message(cz("Chybí vstupní soubor ") + data);
    return false;
  }
  auto stary = nactiPopis(staryPopis);
  if (!stary) return false;
  auto novy = nactiPopis(novyPopis);
  if (!novy) return false;
  if (stary->velikost == novy->velikost || !souborJeStary(data, *stary, *novy)) return false;

  // Another station's records appended between our read and the replacement would be lost:
  // the conversion runs only under this station's write lock, and the file is tested again
  // once the lock is held.
  const std::string jiny = IfVolny(data);
  if (!jiny.empty() || !Premkni(data)) {
    interaction().message(cz("Soubor ") + data + cz(" nelze převést na nový tvar, pracuje s ním ") +
                          (jiny.empty() ? cz("jiná stanice") : Orez(jiny)));
    return false;
  }
  struct Odemknuti {
    const std::string& cesta;
    ~Odemknuti() { Odemkni(cesta); }
  } odemknuti{data};
  if (!souborJeStary(data, *stary, *novy)) return false;

  Sparuj(*novy, *stary);
  // The work file lies beside the target, so that the replacement is one rename on one volume.
  const std::string prace = cilova + ".wrk";
  if (const int code = prepis(data, prace, *stary, *novy); code != platform::kIoOk) {
    platform::removeFile(prace);
    interaction().message(cz("Soubor ") + data + cz(" nelze převést na nový tvar - err") + kod(code), true);
    return false;
  }
  if (NahradSoubor(prace, cilova) != platform::kIoOk) {
    platform::removeFile(prace);
    return false;
  }
  return true;
}

}  // namespace pz::storage
