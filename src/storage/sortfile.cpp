// The engine first, then the three uses of it: SetridSoubor, VytvorPoradi, SetridVety.
//
// In memory a run is sorted as an array of (first sixteen key bytes, position) items, so the
// entries themselves never move and most comparisons touch only the items. Runs beyond the first
// go to the work file one after another; the output then merges all runs in one pass, each run
// read through its own share of the entry buffer.
#include "storage/sortfile.h"

#include <algorithm>
#include <cstring>
#include <random>
#include <utility>

#include "platform/fs.h"
#include "platform/io.h"
#include "platform/text.h"
#include "storage/fields.h"
#include "storage/filehelpers.h"
#include "storage/interaction.h"
#include "storage/textutil.h"

namespace pz::storage {

using namespace platform;

namespace {

constexpr size_t kBlokVstupu = 1 << 20;   // bytes read or written at a time
constexpr std::int64_t kKrokPrubehu = 65536;

// The key's length: the length byte, but never past the entry.
inline std::uint32_t delkaKlice(const std::uint8_t* e, std::int32_t velikost) {
  return std::min<std::uint32_t>(e[0], static_cast<std::uint32_t>(velikost - 1));
}

// Key bytes `od` to `od` + 7 as one number, missing bytes as 0: of two keys whose earlier bytes
// are equal, a smaller number means a smaller key, an equal number means the rest decides.
inline std::uint64_t osmBajtu(const std::uint8_t* e, std::int32_t velikost, std::uint32_t od) {
  const std::uint32_t delka = delkaKlice(e, velikost);
  std::uint8_t b[8] = {};
  if (delka > od) std::memcpy(b, e + 1 + od, std::min<std::uint32_t>(delka - od, 8));
  std::uint64_t v = 0;
  for (std::uint8_t x : b) v = (v << 8) | x;
  return v;
}

// Negative, 0 or positive as key a is before, equal to or after key b; their first `znamo`
// bytes are known to be equal.
inline int porovnejOd(const std::uint8_t* a, const std::uint8_t* b, std::int32_t velikost, std::uint32_t znamo) {
  const std::uint32_t la = delkaKlice(a, velikost);
  const std::uint32_t lb = delkaKlice(b, velikost);
  const std::uint32_t spolecna = std::min(la, lb);
  const std::uint32_t od = std::min(znamo, spolecna);
  if (spolecna > od) {
    const int c = std::memcmp(a + 1 + od, b + 1 + od, spolecna - od);
    if (c != 0) return c;
  }
  return la < lb ? -1 : (la > lb ? 1 : 0);
}

std::string kod(int code, size_t sirka) { return DoplnZleva(std::to_string(code), sirka); }

// Writes whole blocks of output to a file as entries come.
class Zapisovac {
 public:
  explicit Zapisovac(File& f) : f_(f) { blok_.reserve(kBlokVstupu); }
  int pridej(const std::uint8_t* data, size_t n) {
    blok_.insert(blok_.end(), data, data + n);
    return blok_.size() >= kBlokVstupu ? vyprazdni() : kIoOk;
  }
  int vyprazdni() {
    if (blok_.empty()) return kIoOk;
    const int code = f_.writeAt(pozice_, blok_.data(), blok_.size());
    pozice_ += static_cast<std::int64_t>(blok_.size());
    blok_.clear();
    return code;
  }

 private:
  File& f_;
  std::vector<std::uint8_t> blok_;
  std::int64_t pozice_ = 0;
};

// Reads a file of fixed-size entries in large blocks and hands out one entry at a time.
class Ctenar {
 public:
  Ctenar(const File& f, std::int32_t velikost, std::int64_t pocet)
      : f_(f), velikost_(velikost), zbyva_(pocet) {
    const size_t naBlok = std::max<size_t>(1, kBlokVstupu / static_cast<size_t>(velikost));
    blok_.resize(naBlok * static_cast<size_t>(velikost));
  }
  // The next entry, or nullptr at the end or after a failed read (`code` tells which).
  const std::uint8_t* dalsi() {
    if (i_ == vBloku_) {
      if (zbyva_ == 0) return nullptr;
      const std::int64_t n = std::min<std::int64_t>(zbyva_, static_cast<std::int64_t>(blok_.size() / velikost_));
      code = f_.readAt(pozice_, blok_.data(), static_cast<size_t>(n) * velikost_);
      if (code != kIoOk) return nullptr;
      pozice_ += n * velikost_;
      zbyva_ -= n;
      vBloku_ = n;
      i_ = 0;
    }
    return blok_.data() + static_cast<size_t>(i_++) * velikost_;
  }
  int code = kIoOk;

 private:
  const File& f_;
  std::int32_t velikost_;
  std::int64_t zbyva_;
  std::int64_t pozice_ = 0;
  std::vector<std::uint8_t> blok_;
  std::int64_t vBloku_ = 0, i_ = 0;
};

std::mt19937& nahoda() {
  static std::mt19937 g{std::random_device{}()};
  return g;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Engine

// One entry of the run's order: its first 16 key bytes, so that most comparisons never touch the
// entry, and its position in the run, which also decides between equal keys.
struct TridiciStroj::Polozka {
  std::uint64_t prvni, druhych;
  std::uint32_t pozice;
};

TridiciStroj::TridiciStroj(std::int32_t velikost, LimityTrideni limity, std::string adresar)
    : velikost_(velikost), limity_(limity), adresar_(std::move(adresar)) {
  if (velikost_ <= 1) {
    stav_ = kStavMalaPolozka;
    return;
  }
  const std::int64_t vPameti = std::max<std::int64_t>(1, limity_.pamet / velikost_);
  kapacita_ = static_cast<std::int32_t>(std::clamp<std::int64_t>(vPameti, 1, std::max(1, limity_.beh)));
  if (!adresar_.empty() && adresar_.back() != '\\' && adresar_.back() != '/') adresar_ += '\\';
}

TridiciStroj::~TridiciStroj() { zrusPracovni(); }

void TridiciStroj::Ocekavej(std::int64_t polozek) {
  if (stav_ != kStavSetrideno) return;
  const std::int64_t vBehu = std::clamp<std::int64_t>(polozek, 0, kapacita_);
  if (buffer_.size() < static_cast<size_t>(vBehu) * velikost_) buffer_.resize(static_cast<size_t>(vBehu) * velikost_);
}

bool TridiciStroj::Pridej(const std::uint8_t* polozka) {
  if (stav_ != kStavSetrideno) return false;
  if (info_.polozek >= limity_.polozek) {
    stav_ = kStavPrilisMnoho;
    return false;
  }
  if (vBehu_ == kapacita_) {
    seradBeh();
    const int code = zapisBeh();
    if (code != kIoOk) {
      stav_ = code;
      return false;
    }
  }
  const size_t kam = static_cast<size_t>(vBehu_) * velikost_;
  if (buffer_.size() < kam + velikost_) {
    // Grows by doubling up to one run, so that a short list never takes the whole budget.
    const size_t polozek = std::min<size_t>(kapacita_, std::max<size_t>(1024, 2 * static_cast<size_t>(vBehu_)));
    buffer_.resize(polozek * velikost_);
  }
  std::memcpy(buffer_.data() + kam, polozka, velikost_);
  ++vBehu_;
  ++info_.polozek;
  return true;
}

void TridiciStroj::seradBeh() {
  const std::int32_t n = vBehu_;
  poradi_.resize(static_cast<size_t>(n));
  const std::uint8_t* data = buffer_.data();
  const std::int32_t v = velikost_;
  for (std::int32_t i = 0; i < n; ++i) {
    const std::uint8_t* e = data + static_cast<size_t>(i) * v;
    poradi_[i] = {osmBajtu(e, v, 0), osmBajtu(e, v, 8), static_cast<std::uint32_t>(i)};
  }
  // A total order: the key, then the position in the run. Any sort then gives what a stable sort
  // by the key gives, and only the items move, never the entries.
  std::sort(poradi_.begin(), poradi_.end(), [data, v](const Polozka& a, const Polozka& b) {
    if (a.prvni != b.prvni) return a.prvni < b.prvni;
    if (a.druhych != b.druhych) return a.druhych < b.druhych;
    const int c = porovnejOd(data + static_cast<size_t>(a.pozice) * v, data + static_cast<size_t>(b.pozice) * v, v, 16);
    return c != 0 ? c < 0 : a.pozice < b.pozice;
  });
}

int TridiciStroj::zalozPracovni() {
  std::uniform_int_distribution<int> cislo(0, 9999);
  int code = kIoSharingViolation;
  // A name that another sort of this working directory uses is left to it.
  for (int pokus = 0; pokus < 100; ++pokus) {
    const std::string jmeno = adresar_ + "SORT" + DoplnZleva(std::to_string(cislo(nahoda())), 4, '0') + ".WRK";
    if (fileExists(jmeno)) continue;
    code = pracovni_.open(jmeno, Access::ReadWrite, Share::DenyReadWrite, Create::CreateAlways);
    if (code == kIoSharingViolation) continue;
    if (code == kIoOk) {
      jmenoPracovniho_ = jmeno;
      info_.pracovniSoubor = jmeno;
    }
    return code;
  }
  return code;
}

int TridiciStroj::zapisBeh() {
  if (!pracovni_.isOpen()) {
    const int code = zalozPracovni();
    if (code != kIoOk) return code;
  }
  std::int64_t od = 0;
  for (std::int64_t d : delkyBehu_) od += d;
  std::vector<std::uint8_t> blok;
  blok.reserve(kBlokVstupu + velikost_);
  std::int64_t pozice = od * velikost_;
  for (std::int32_t i = 0; i < vBehu_; ++i) {
    const std::uint8_t* e = buffer_.data() + static_cast<size_t>(poradi_[i].pozice) * velikost_;
    blok.insert(blok.end(), e, e + velikost_);
    if (blok.size() >= kBlokVstupu || i + 1 == vBehu_) {
      const int code = pracovni_.writeAt(pozice, blok.data(), blok.size());
      if (code != kIoOk) return code;
      pozice += static_cast<std::int64_t>(blok.size());
      blok.clear();
    }
  }
  delkyBehu_.push_back(vBehu_);
  info_.behu = static_cast<int>(delkyBehu_.size());
  vBehu_ = 0;
  return kIoOk;
}

void TridiciStroj::zrusPracovni() {
  pracovni_.close();
  if (!jmenoPracovniho_.empty()) {
    removeFile(jmenoPracovniho_);
    jmenoPracovniho_.clear();
  }
}

int TridiciStroj::Vydej(const std::function<int(const std::uint8_t*)>& vystup, const PrubehTrideni& prubeh) {
  if (stav_ != kStavSetrideno && stav_ != kStavPrilisMnoho) {
    zrusPracovni();
    return stav_;
  }
  int code;
  if (delkyBehu_.empty()) {
    seradBeh();
    code = vydejZPameti(vystup, prubeh);
  } else {
    if (vBehu_ > 0) seradBeh();
    code = vBehu_ > 0 ? zapisBeh() : kIoOk;
    poradi_ = {};
    if (code == kIoOk) code = vydejSlitim(vystup, prubeh);
  }
  zrusPracovni();
  buffer_ = {};
  poradi_ = {};
  if (code != kIoOk) stav_ = code;
  return stav_;
}

int TridiciStroj::vydejZPameti(const std::function<int(const std::uint8_t*)>& vystup, const PrubehTrideni& prubeh) {
  for (std::int32_t i = 0; i < vBehu_; ++i) {
    if (const int code = vystup(buffer_.data() + static_cast<size_t>(poradi_[i].pozice) * velikost_)) return code;
    if (prubeh && (i + 1) % kKrokPrubehu == 0) prubeh(i + 1, vBehu_);
  }
  if (prubeh) prubeh(vBehu_, vBehu_);
  return kIoOk;
}

int TridiciStroj::vydejSlitim(const std::function<int(const std::uint8_t*)>& vystup, const PrubehTrideni& prubeh) {
  // Each run reads through its own share of the entry buffer.
  const size_t behu = delkyBehu_.size();
  const size_t naBeh = std::max<size_t>(1, buffer_.size() / velikost_ / behu);
  buffer_.resize(std::max(buffer_.size(), naBeh * behu * velikost_));

  struct Beh {
    std::uint8_t* blok;
    std::int64_t dalsi;   // the next entry of the file to read
    std::int64_t zbyva;   // entries of the run not yet read
    std::int64_t vBloku = 0, i = 0;
  };
  std::vector<Beh> b(behu);
  std::int64_t od = 0;
  for (size_t r = 0; r < behu; ++r) {
    b[r] = {buffer_.data() + r * naBeh * velikost_, od, delkyBehu_[r]};
    od += delkyBehu_[r];
  }
  const std::int64_t celkem = od;
  auto nacti = [&](Beh& x) -> int {
    const std::int64_t n = std::min<std::int64_t>(x.zbyva, static_cast<std::int64_t>(naBeh));
    const int code = pracovni_.readAt(x.dalsi * velikost_, x.blok, static_cast<size_t>(n) * velikost_);
    if (code != kIoOk) return code;
    x.dalsi += n;
    x.zbyva -= n;
    x.vBloku = n;
    x.i = 0;
    return kIoOk;
  };
  auto aktualni = [&](size_t r) { return b[r].blok + static_cast<size_t>(b[r].i) * velikost_; };

  // A heap of the runs by their current entry; equal keys go to the earlier run, which came
  // earlier in the input.
  struct Uzel {
    std::uint64_t prvni, druhych;
    std::uint32_t beh;
  };
  const std::int32_t v = velikost_;
  auto pred = [&](const Uzel& x, const Uzel& y) {
    if (x.prvni != y.prvni) return x.prvni < y.prvni;
    if (x.druhych != y.druhych) return x.druhych < y.druhych;
    const int c = porovnejOd(aktualni(x.beh), aktualni(y.beh), v, 16);
    return c != 0 ? c < 0 : x.beh < y.beh;
  };
  auto uzel = [&](size_t r) {
    const std::uint8_t* e = aktualni(r);
    return Uzel{osmBajtu(e, v, 0), osmBajtu(e, v, 8), static_cast<std::uint32_t>(r)};
  };
  std::vector<Uzel> halda;
  halda.reserve(behu);
  auto nahoru = [&](size_t i) {
    while (i > 0) {
      const size_t otec = (i - 1) / 2;
      if (!pred(halda[i], halda[otec])) break;
      std::swap(halda[i], halda[otec]);
      i = otec;
    }
  };
  auto dolu = [&](size_t i) {
    for (;;) {
      const size_t l = 2 * i + 1, p = l + 1;
      size_t m = i;
      if (l < halda.size() && pred(halda[l], halda[m])) m = l;
      if (p < halda.size() && pred(halda[p], halda[m])) m = p;
      if (m == i) return;
      std::swap(halda[i], halda[m]);
      i = m;
    }
  };
  for (size_t r = 0; r < behu; ++r) {
    if (b[r].zbyva == 0) continue;
    if (const int code = nacti(b[r])) return code;
    halda.push_back(uzel(r));
    nahoru(halda.size() - 1);
  }

  std::int64_t hotovo = 0;
  while (!halda.empty()) {
    const size_t r = halda.front().beh;
    if (const int code = vystup(aktualni(r))) return code;
    if (prubeh && ++hotovo % kKrokPrubehu == 0) prubeh(hotovo, celkem);
    Beh& x = b[r];
    if (++x.i == x.vBloku) {
      if (x.zbyva == 0) {
        halda.front() = halda.back();
        halda.pop_back();
        if (!halda.empty()) dolu(0);
        continue;
      }
      if (const int code = nacti(x)) return code;
    }
    halda.front() = uzel(r);
    dolu(0);
  }
  if (prubeh) prubeh(celkem, celkem);
  return kIoOk;
}

// ---------------------------------------------------------------------------------------------
// Uses

int SetridSoubor(std::string_view soubor, std::int32_t velikost, const PrubehTrideni& prubeh,
                 const LimityTrideni& limity, InfoTrideni* info) {
  if (velikost <= 1) return kStavMalaPolozka;
  TridiciStroj stroj(velikost, limity);
  {
    File vstup;
    int code = vstup.open(soubor, Access::Read, Share::DenyWrite);
    if (code != kIoOk) return code;
    std::int64_t bajtu = 0;
    code = vstup.size(bajtu);
    if (code != kIoOk) return code;
    Ctenar ctenar(vstup, velikost, bajtu / velikost);
    stroj.Ocekavej(bajtu / velikost);
    while (const std::uint8_t* e = ctenar.dalsi())
      if (!stroj.Pridej(e)) break;
    if (ctenar.code != kIoOk) return ctenar.code;
  }
  if (info) *info = stroj.info();
  if (stroj.stav() != kStavSetrideno && stroj.stav() != kStavPrilisMnoho) {
    stroj.Vydej([](const std::uint8_t*) { return 0; });  // deletes the work file
    return stroj.stav();
  }

  File vystup;
  int code = vystup.open(soubor, Access::Write, Share::DenyReadWrite, Create::CreateAlways);
  if (code != kIoOk) return code;
  Zapisovac z(vystup);
  const std::int32_t cast = std::min(velikost, kPolozkaPoradi);
  const int stav = stroj.Vydej(
      [&](const std::uint8_t* e) { return z.pridej(e + velikost - cast, static_cast<size_t>(cast)); }, prubeh);
  code = z.vyprazdni();
  if (info) *info = stroj.info();
  return stav != kStavSetrideno ? stav : code;
}

int SetridSoubor(std::int32_t velikost) { return SetridSoubor(kPracovniSoubor, velikost); }

namespace {

// The second field of every order entry becomes the row of record k, which the browse window
// needs to keep the cursor on a record when it changes orders; the sort itself leaves the record
// number there.
int doplnRadky(std::string_view soubor) {
  File f;
  int code = f.open(soubor, Access::ReadWrite, Share::DenyReadWrite);
  if (code != kIoOk) return code;
  std::int64_t bajtu = 0;
  if ((code = f.size(bajtu)) != kIoOk) return code;
  const std::int64_t n = bajtu / kPolozkaPoradi;
  std::vector<std::uint8_t> data(static_cast<size_t>(n * kPolozkaPoradi));
  if ((code = f.readAt(0, data.data(), data.size())) != kIoOk) return code;
  std::vector<std::int32_t> radek(static_cast<size_t>(n), 0);
  for (std::int64_t k = 0; k < n; ++k) {
    const std::int32_t vet = readI32(data, static_cast<size_t>(k * kPolozkaPoradi));
    if (vet >= 1 && vet <= n && radek[vet - 1] == 0) radek[vet - 1] = static_cast<std::int32_t>(k + 1);
  }
  for (std::int64_t k = 0; k < n; ++k)
    writeI32(data, static_cast<size_t>(k * kPolozkaPoradi + 4), radek[k] != 0 ? radek[k] : static_cast<std::int32_t>(k + 1));
  return f.writeAt(0, data.data(), data.size());
}

void hlasNezdar(int stav) {
  if (stav == kStavPrilisMnoho) {
    interaction().message(cz("Víc než 10000000 vět nelze setřídit, pořadí zůstává beze změny"), true);
  } else {
    interaction().message(cz("Err. ") + kod(stav, 5) + cz(" při třídění souboru ") + kPracovniSoubor, true);
  }
}

}  // namespace

int VytvorPoradi(std::string_view cestaPoradi, std::int32_t pocet, const KlicVety& klic,
                 const PrubehTrideni& prubeh) {
  int code;
  {
    File w;
    code = w.open(kPracovniSoubor, Access::Write, Share::DenyReadWrite, Create::CreateAlways);
    if (code == kIoOk) {
      Zapisovac z(w);
      std::uint8_t e[kPolozkaTrideni];
      for (std::int32_t cislo = 1; cislo <= pocet && code == kIoOk; ++cislo) {
        std::string k = klic(cislo);
        if (k.size() > static_cast<size_t>(kDelkaKlice)) k.resize(kDelkaKlice);
        std::memset(e, 0, sizeof e);
        e[0] = static_cast<std::uint8_t>(k.size());
        std::memcpy(e + 1, k.data(), k.size());
        std::span<std::uint8_t> s(e, sizeof e);
        writeI32(s, 1 + kDelkaKlice, cislo);
        writeI32(s, 1 + kDelkaKlice + 4, cislo);
        code = z.pridej(e, sizeof e);
      }
      if (code == kIoOk) code = z.vyprazdni();
    }
  }
  if (code == kIoOk) code = SetridSoubor(kPracovniSoubor, kPolozkaTrideni, prubeh);
  if (code == kIoOk) code = doplnRadky(kPracovniSoubor);
  if (code != kIoOk) {
    hlasNezdar(code);
    removeFile(kPracovniSoubor);
    return code;
  }
  code = NahradSoubor(kPracovniSoubor, cestaPoradi);  // shows its own messages
  if (code != kIoOk) removeFile(kPracovniSoubor);
  return code;
}

int SetridVety(std::string_view zdroj, std::int32_t velikostVety, const KlicZaznamu& klic,
               std::string_view cil, std::int32_t delkaKlice, const PrubehTrideni& prubeh, const PonechVetu& ponech) {
  if (velikostVety < 1) return kStavMalaPolozka;
  delkaKlice = std::clamp(delkaKlice, 0, 255);
  const std::int32_t velikost = 1 + delkaKlice + velikostVety;  // key, then the whole record
  TridiciStroj stroj(velikost);

  File vstup;
  int code = vstup.open(zdroj, Access::Read, Share::DenyNone);
  if (code != kIoOk) return code;
  std::int64_t bajtu = 0;
  if ((code = vstup.size(bajtu)) != kIoOk) return code;
  const std::int64_t vet = bajtu / velikostVety;
  {
    Ctenar ctenar(vstup, velikostVety, vet);
    stroj.Ocekavej(vet);
    std::vector<std::uint8_t> e(static_cast<size_t>(velikost));
    std::int32_t cislo = 0;
    while (const std::uint8_t* r = ctenar.dalsi()) {
      const std::span<const std::uint8_t> veta(r, static_cast<size_t>(velikostVety));
      ++cislo;
      if (ponech && !ponech(veta)) continue;
      std::string k = klic(veta, cislo);
      if (k.size() > static_cast<size_t>(delkaKlice)) k.resize(static_cast<size_t>(delkaKlice));
      std::fill(e.begin(), e.end(), 0);
      e[0] = static_cast<std::uint8_t>(k.size());
      std::memcpy(e.data() + 1, k.data(), k.size());
      std::memcpy(e.data() + 1 + delkaKlice, r, static_cast<size_t>(velikostVety));
      if (!stroj.Pridej(e.data())) break;
    }
    if (ctenar.code != kIoOk) return ctenar.code;
  }
  // Records beyond the limit would be lost from the sorted file, so that is a failure here.
  if (stroj.stav() != kStavSetrideno) return stroj.stav();

  File vystup;
  code = vystup.open(cil, Access::Write, Share::DenyReadWrite, Create::CreateAlways);
  if (code != kIoOk) return code;
  Zapisovac z(vystup);
  code = stroj.Vydej(
      [&](const std::uint8_t* e) { return z.pridej(e + 1 + delkaKlice, static_cast<size_t>(velikostVety)); },
      prubeh);
  if (code == kIoOk) {
    const std::int64_t zbytek = bajtu - vet * velikostVety;
    if (zbytek > 0 && !ponech) {
      std::vector<std::uint8_t> ocas(static_cast<size_t>(zbytek));
      code = vstup.readAt(vet * velikostVety, ocas.data(), ocas.size());
      if (code == kIoOk) code = z.pridej(ocas.data(), ocas.size());
    }
  }
  if (code == kIoOk) code = z.vyprazdni();
  if (code == kIoOk) code = vystup.sync();
  if (code != kIoOk) {
    vystup.close();
    removeFile(cil);
  }
  return code;
}

}  // namespace pz::storage
