#include "ui/export.h"

#include <algorithm>
#include <cstdio>

#include "platform/clock.h"
#include "platform/io.h"
#include "storage/czech.h"
#include "storage/textutil.h"

namespace pz::ui {

namespace {

constexpr std::size_t kBlok = 64 * 1024;  // bytes collected before one write
constexpr std::uint8_t kJazykCp1250 = 0xC8;  // dBASE language driver: Windows EE (cp1250)
constexpr int kNejsirsiCislo = 19;          // widest numeric column dBASE III readers accept

bool jeDatum(const TypPole& t) { return t.datum(); }

// The stored digits of a date field (6 or 8 characters by type).
std::string ulozeneDatum(const PoleVyvozu& p, storage::ConstBytes veta) {
  const bool dlouhy = p.typ.druh == DruhPole::DatumRRMD || p.typ.druh == DruhPole::DatumDMRR;
  return storage::readShortString(veta, p.offset, dlouhy ? 8 : 6);
}

// The digits of a shown number as dBASE writes them: "-1234.50"; empty for a blank or an
// overflowing ("*") value.
std::string cisloDbf(const std::string& zobrazeno, int desetin) {
  if (zobrazeno.find('*') != std::string::npos) return {};
  std::string cela, des;
  bool zaporne = false, zaTeckou = false;
  for (char c : zobrazeno) {
    if (c == '-') zaporne = true;
    else if (c == '.' || c == ',') zaTeckou = true;
    else if (c >= '0' && c <= '9') (zaTeckou ? des : cela) += c;
  }
  if (cela.empty() && des.empty()) cela = "0";
  if (cela.empty()) cela = "0";
  des.resize(static_cast<std::size_t>(desetin), '0');
  const bool nula = std::all_of(cela.begin(), cela.end(), [](char c) { return c == '0'; }) &&
                    std::all_of(des.begin(), des.end(), [](char c) { return c == '0'; });
  std::string s = (zaporne && !nula ? "-" : "") + cela;
  if (desetin > 0) s += "." + des;
  return s;
}

// The column name of a label: without diacritics, upper-cased, letters, digits and "_" only,
// starting with a letter, at most ten characters.
std::string jmenoSloupce(const std::string& popis, std::size_t cislo) {
  std::string s;
  for (char c : storage::VelkaPismena(storage::BezDiakritiky(popis))) {
    if (s.size() >= 10) break;
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) s += c;
    else if ((c == ' ' || c == '_' || c == '.') && !s.empty() && s.back() != '_') s += '_';
  }
  while (!s.empty() && s.back() == '_') s.pop_back();
  if (s.empty() || !(s[0] >= 'A' && s[0] <= 'Z')) s = ("P" + std::to_string(cislo) + "_" + s).substr(0, 10);
  while (!s.empty() && s.back() == '_') s.pop_back();
  return s;
}

void pisU16(std::string& s, std::size_t at, std::uint32_t v) {
  s[at] = static_cast<char>(v & 0xFF);
  s[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}

void pisU32(std::string& s, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) s[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

}  // namespace

std::string JmenoVyvozu(const std::string& soubor) {
  std::string s = soubor;
  if (!s.empty() && s[0] == '=') s.erase(0, 1);
  const std::size_t lomitko = s.find_last_of("\\/:");
  if (lomitko != std::string::npos) s.erase(0, lomitko + 1);
  const std::size_t tecka = s.find('.');
  if (tecka != std::string::npos) s.erase(tecka);
  return storage::VelkaPismena(s);
}

std::string HodnotaCsv(const PoleVyvozu& p, storage::ConstBytes veta) {
  std::string z = ZobrazPole(p.typ, p.sirka, veta, p.offset);
  if (p.typ.ciselny()) {
    if (const std::size_t t = z.find('.'); t != std::string::npos) z[t] = ',';
    return z + ";";
  }
  if (jeDatum(p.typ)) {
    for (char& c : z) c = storage::dateDigit(c);
    z.erase(std::remove(z.begin(), z.end(), '.'), z.end());
    return z + ";";
  }
  std::string q = "\"";
  for (char c : z) {
    if (c == '"') q += '"';
    q += c;
  }
  return q + "\";";
}

// ---------------------------------------------------------------------------------------------
// Text file

void VyvozCsv::pis(const std::string& s) {
  buf_ += s;
  if (buf_.size() >= kBlok) vyprazdni();
}

void VyvozCsv::vyprazdni() {
  if (!buf_.empty() && chyba_ == 0) chyba_ = file_.write(buf_.data(), buf_.size());
  buf_.clear();
}

bool VyvozCsv::otevri(const std::string& cesta, const std::vector<PoleVyvozu>& pole) {
  pole_ = pole;
  chyba_ = 0;
  buf_.clear();
  if (file_.open(cesta, platform::Access::Write, platform::Share::DenyWrite, platform::Create::CreateAlways) !=
      platform::kIoOk)
    return false;
  std::string r1, r2;
  for (const auto& p : pole_) {
    r1 += storage::NaSirku(p.popis, p.sirka) + ";";
    char kod[16];
    std::snprintf(kod, sizeof kod, "%02d", static_cast<int>(p.typ.druh) % 99 + 1);
    r2 += std::string(kod) + ";";
  }
  pis(r1 + "\r\n" + r2 + "\r\n");
  return true;
}

void VyvozCsv::pridej(storage::ConstBytes veta) {
  std::string r;
  for (const auto& p : pole_) r += HodnotaCsv(p, veta);
  pis(r + "\r\n");
}

bool VyvozCsv::zavri() {
  vyprazdni();
  file_.close();
  return chyba_ == 0;
}

// ---------------------------------------------------------------------------------------------
// dBASE III table

SirkaDbf SirkaCislaDbf(const std::string& obrazek) {
  int cislic = 0, desetin = 0;
  bool zaTeckou = false;
  for (char c : obrazek) {
    if (c == '#' || c == '@') {
      ++cislic;
      if (zaTeckou) ++desetin;
    } else if ((c == '.' || c == ',') && !zaTeckou) {
      zaTeckou = true;
    }
  }
  // Digits, the point and a sign.
  int sirka = cislic + (desetin > 0 ? 1 : 0) + 1;
  sirka = std::clamp(sirka, 1, kNejsirsiCislo);
  desetin = std::min(desetin, std::max(0, sirka - 3));
  return {sirka, desetin};
}

void VyvozDbf::pis(const std::string& s) {
  buf_ += s;
  if (buf_.size() >= kBlok) vyprazdni();
}

void VyvozDbf::vyprazdni() {
  if (!buf_.empty() && chyba_ == 0) chyba_ = file_.writeAt(pozice_, buf_.data(), buf_.size());
  pozice_ += static_cast<std::int64_t>(buf_.size());
  buf_.clear();
}

bool VyvozDbf::otevri(const std::string& cesta, const std::vector<PoleVyvozu>& pole) {
  pole_ = pole;
  sloupce_.clear();
  jmena_.clear();
  buf_.clear();
  pozice_ = 0;
  pocet_ = 0;
  chyba_ = 0;
  if (file_.open(cesta, platform::Access::ReadWrite, platform::Share::DenyWrite, platform::Create::CreateAlways) !=
      platform::kIoOk)
    return false;

  int delkaVety = 1;  // the deletion flag
  for (std::size_t i = 0; i < pole_.size(); ++i) {
    const TypPole& t = pole_[i].typ;
    Sloupec s{'C', static_cast<int>(std::clamp<std::size_t>(pole_[i].sirka, 1, 254)), 0};
    if (t.ciselny()) {
      const SirkaDbf d = SirkaCislaDbf(t.obrazek);
      s = {'N', d.sirka, d.desetin};
    } else if (t.datum()) {
      s = {'D', 8, 0};
    } else if (t.druh == DruhPole::Cas) {
      s = {'C', 8, 0};
    }
    sloupce_.push_back(s);
    delkaVety += s.sirka;
    std::string j = jmenoSloupce(pole_[i].popis, i + 1);
    // Readers key columns by name: a repeated name gets a number at its end.
    for (int k = 2; std::find(jmena_.begin(), jmena_.end(), j) != jmena_.end(); ++k) {
      const std::string kk = std::to_string(k);
      j = j.substr(0, 10 - kk.size()) + kk;
    }
    jmena_.push_back(j);
  }

  const std::size_t delkaHlavicky = 32 + 32 * pole_.size() + 1;
  std::string h(delkaHlavicky, '\0');
  const platform::Date d = platform::clock().today();
  h[0] = 0x03;
  h[1] = static_cast<char>(std::clamp(d.year - 1900, 0, 255));
  h[2] = static_cast<char>(d.month);
  h[3] = static_cast<char>(d.day);
  pisU32(h, 4, 0);
  pisU16(h, 8, static_cast<std::uint32_t>(delkaHlavicky));
  pisU16(h, 10, static_cast<std::uint32_t>(delkaVety));
  h[29] = static_cast<char>(kJazykCp1250);
  for (std::size_t i = 0; i < sloupce_.size(); ++i) {
    const std::size_t at = 32 + 32 * i;
    std::copy(jmena_[i].begin(), jmena_[i].end(), h.begin() + static_cast<std::ptrdiff_t>(at));
    h[at + 11] = sloupce_[i].typ;
    h[at + 16] = static_cast<char>(sloupce_[i].sirka);
    h[at + 17] = static_cast<char>(sloupce_[i].desetin);
  }
  h[delkaHlavicky - 1] = 0x0D;
  pis(h);
  return true;
}

void VyvozDbf::pridej(storage::ConstBytes veta) {
  std::string r = " ";
  for (std::size_t i = 0; i < pole_.size(); ++i) {
    const PoleVyvozu& p = pole_[i];
    const Sloupec& s = sloupce_[i];
    const std::size_t w = static_cast<std::size_t>(s.sirka);
    if (s.typ == 'N') {
      std::string c = cisloDbf(ZobrazPole(p.typ, p.sirka, veta, p.offset), s.desetin);
      r += c.size() > w ? std::string(w, ' ') : storage::DoplnZleva(c, w);
    } else if (s.typ == 'D') {
      const auto den = RozeberDatum(p.typ.pismeno, ulozeneDatum(p, veta));
      char t[16];
      if (den) std::snprintf(t, sizeof t, "%04d%02d%02d", den->rok, den->mesic, den->den);
      r += den ? std::string(t, 8) : std::string(8, ' ');
    } else {
      r += storage::NaSirku(ZobrazPole(p.typ, p.sirka, veta, p.offset), w);
    }
  }
  ++pocet_;
  pis(r);
}

bool VyvozDbf::zavri() {
  pis(std::string(1, '\x1A'));
  vyprazdni();
  std::string n(4, '\0');
  pisU32(n, 0, pocet_);
  if (chyba_ == 0) chyba_ = file_.writeAt(4, n.data(), n.size());
  file_.close();
  return chyba_ == 0;
}

}  // namespace pz::ui
