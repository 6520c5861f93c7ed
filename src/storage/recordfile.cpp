#include "storage/recordfile.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <deque>
#include <limits>

#include "platform/io.h"
#include "platform/text.h"
#include "storage/czech.h"
#include "storage/fields.h"
#include "storage/interaction.h"
#include "storage/masterjob.h"
#include "storage/roots.h"
#include "storage/probes.h"
#include "storage/settings.h"
#include "storage/textutil.h"

namespace pz::storage {

using namespace platform;

namespace {

constexpr size_t kPolozkaPoradi = 8;     // bytes of one order-file entry
constexpr size_t kNejdelsiZacatek = 80;  // characters of a prefix search
constexpr size_t kKlicPocitadla = 8;

Sharing g_defaultSharing;
Sharing* g_sharing = nullptr;

// Appends `piece` and cuts the text to `limit` characters.
void pripoj(std::string& text, std::string_view piece, size_t limit) {
  text += piece;
  if (text.size() > limit) text.resize(limit);
}

std::string kod(int code) { return DoplnZleva(std::to_string(code), 6); }

std::string zprava(std::string_view verb, std::string_view name, int code, size_t l2, size_t l3, size_t l4) {
  std::string t;
  pripoj(t, "Uz: " + settings().user, 6);
  pripoj(t, verb, l2);
  pripoj(t, name, l3);
  pripoj(t, " err ", l4);
  return t + kod(code);
}

// An I/O failure that no fixed message covers ends the operation with this one.
void chybaIO(std::string_view path, int code) {
  interaction().message(cz("Chyba vstupu/výstupu ") + std::to_string(code) + ": " + std::string(path), true);
}

// A counter stored as text; older tables keep it right-aligned with blanks in front.
std::int32_t cislo(const std::string& text) {
  const std::string t = Orez(text);
  std::int32_t v = 0;
  auto [p, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
  return ec == std::errc() && p == t.data() + t.size() ? v : 0;
}

std::string koren() { return DataCesta(""); }

}  // namespace

// ---------------------------------------------------------------------------------------------
// Sharing hook

bool Sharing::Zamkni(const std::string&, char) { return true; }
void Sharing::Odemkni(const std::string&) {}
std::string Sharing::IfVolny(const std::string&) { return {}; }

Sharing& sharing() { return g_sharing ? *g_sharing : g_defaultSharing; }
void setSharing(Sharing* s) { g_sharing = s; }

// ---------------------------------------------------------------------------------------------
// Messages

std::string ZpravaOtevreni(std::string_view name, int code) {
  return zprava(" otvira soubor: ", name, code, 22, 122, 127);
}
std::string ZpravaCteni(std::string_view name, int code) {
  return zprava(" cte soubor: ", name, code, 19, 119, 124);
}
std::string ZpravaZapisu(std::string_view name, int code) {
  return zprava(" pise soubor: ", name, code, 20, 120, 125);
}
std::string ZpravaSouboru(std::string_view path, int code) {
  return "Uz: " + settings().user + " Soub: " + std::string(path) + " err " + kod(code);
}

// ---------------------------------------------------------------------------------------------
// Opening


// ---------------------------------------------------------------------------------------------
// Reading in blocks

struct RecordFile::Bloky {
  struct Blok {
    std::int64_t first = 0, count = 0;  // units from 0
    std::vector<std::uint8_t> bytes;
  };
  size_t unit = 0;
  std::int64_t perBlock = 1;
  size_t maxBlocks = 1;
  std::deque<Blok> blocks;

  const std::uint8_t* najdi(std::int64_t index) const {
    // The newest block first: a pass reads forwards, a bisection closes in.
    for (auto it = blocks.rbegin(); it != blocks.rend(); ++it)
      if (index >= it->first && index < it->first + it->count)
        return it->bytes.data() + static_cast<size_t>(index - it->first) * unit;
    return nullptr;
  }
  bool nacti(const File& f, std::int64_t first, std::int64_t count) {
    if (count <= 0) return false;
    Blok b;
    // The oldest block gives way and lends its storage: a pass reads block after block without
    // taking fresh memory (and its page faults) for each.
    if (blocks.size() >= maxBlocks) {
      b.bytes = std::move(blocks.front().bytes);
      blocks.pop_front();
    }
    b.first = first;
    b.bytes.resize(static_cast<size_t>(count) * unit);
    size_t got = 0;
    const int code = f.readAt(first * static_cast<std::int64_t>(unit), b.bytes.data(), b.bytes.size(), &got);
    if (code != kIoOk && code != kIoReadPastEnd) return false;
    b.count = static_cast<std::int64_t>(got / unit);  // a file that shrank meanwhile gives fewer
    if (b.count == 0) return false;
    b.bytes.resize(static_cast<size_t>(b.count) * unit);
    blocks.push_back(std::move(b));
    return true;
  }
};

RecordFile::CteniVBlocich::CteniVBlocich(RecordFile& f, size_t blokDat, size_t blokPoradi, size_t nejvicBloku) {
  if (f.blokyDat_ || f.size_ <= 0) return;
  f_ = &f;
  auto nove = [&](size_t unit, size_t blokBajtu) {
    auto b = std::make_unique<Bloky>();
    b->unit = unit;
    b->perBlock = static_cast<std::int64_t>(std::max<size_t>(1, blokBajtu / unit));
    b->maxBlocks = std::max<size_t>(1, nejvicBloku);
    return b;
  };
  f.blokyDat_ = nove(static_cast<size_t>(f.size_), blokDat);
  f.blokyPoradi_ = nove(kPolozkaPoradi, blokPoradi);
}

RecordFile::CteniVBlocich::~CteniVBlocich() {
  if (!f_) return;
  f_->blokyDat_.reset();
  f_->blokyPoradi_.reset();
}

const std::uint8_t* RecordFile::zBloku(Bloky& b, const File& f, std::int64_t index, std::int64_t total) {
  if (index < 0 || index >= total) return nullptr;
  if (const std::uint8_t* p = b.najdi(index)) return p;
  const std::int64_t first = index / b.perBlock * b.perBlock;
  if (!b.nacti(f, first, std::min(b.perBlock, total - first))) return nullptr;
  return b.najdi(index);
}

void RecordFile::NactiBlok(std::int32_t first, std::int32_t last) const {
  if (!blokyDat_ || first < 1 || last > count_ || first > last) return;
  if (blokyDat_->najdi(first - 1) && blokyDat_->najdi(last - 1)) return;
  blokyDat_->nacti(file_, first - 1, static_cast<std::int64_t>(last - first) + 1);
}

const std::uint8_t* RecordFile::VetaZBloku(std::int32_t n) {
  if (!blokyDat_ || n < 1 || n > count_) return nullptr;
  const std::int32_t record = CisloZPoradi(n);
  const std::uint8_t* p = zBloku(*blokyDat_, file_, record - 1, count_);
  if (p) lastRecord_ = record;
  return p;
}

void RecordFile::zahodBloky() const {
  if (blokyDat_) blokyDat_->blocks.clear();
  if (blokyPoradi_) blokyPoradi_->blocks.clear();
}

RecordFile::RecordFile() = default;
RecordFile::~RecordFile() { ZavriSoubor(); }

std::string RecordFile::CestaPoradi(std::string_view path, int i) {
  std::string p(path);
  if (!p.empty()) p.back() = static_cast<char>('0' + i);
  return p;
}

// Opens the data file, creating it only when it is missing or shorter than 2 bytes. A size that
// cannot be read (access denied, a network error, a file held by a sort) is an error, never a
// reason to start the file again: that would wipe every record.
int RecordFile::otevriData(File& f, bool& created) {
  created = false;
  const std::int64_t size = VelikostSouboru(path_);
  if (size >= 2) {
    // A file this station may only read (a read-only installation) is still listed; each write
    // is then refused with the write message.
    const int code = f.open(path_, Access::ReadWrite, Share::DenyNone);
    return code == kIoAccessDenied ? f.open(path_, Access::Read, Share::DenyNone) : code;
  }
  if (size != -kIoFileNotFound && size != 0 && size != 1) return static_cast<int>(-size);
  int code = f.open(path_, Access::ReadWrite, Share::DenyNone, Create::OpenAlways);
  if (code != kIoOk) return code;
  std::int64_t now = 0;
  if ((code = f.size(now)) != kIoOk) return code;
  // A stray byte is no record; a file that grew meanwhile belongs to someone else's append.
  if (now == 1) code = f.truncate(0);
  created = now < 2;
  return code;
}

void RecordFile::nastavPocet(std::int64_t bytes) {
  const std::int64_t n = size_ > 0 ? bytes / size_ : 0;
  count_ = static_cast<std::int32_t>(std::min<std::int64_t>(n, std::numeric_limits<std::int32_t>::max()));
}

void RecordFile::prectiPocitadlo() {
  counter_ = 0;
  if (!counterKey_.empty()) counter_ = std::max(0, cislo(CtiJobV(koren(), counterKey_)));
  sorted_ = counter_ > 0 ? std::max(0, count_ - counter_) : count_;
}

void RecordFile::upravRadky() {
  rows.top = std::max(0, std::min(rows.top, count_ - rows.visible));
  if (rows.current > count_) rows.current = count_;
}

bool RecordFile::OtevriSoubor(std::string_view name, std::int32_t size) {
  ZavriSoubor();
  activeOrder_ = 0;
  withOrders_ = size >= kSPoradim;
  size_ = withOrders_ ? size - kSPoradim : size;
  const bool counter = counterRequested_;
  counterRequested_ = false;
  counterKey_.clear();
  counter_ = 0;
  lastRecord_ = 0;
  name_ = std::string(name);
  buffer_.assign(static_cast<size_t>(std::max(size_, 0)), 0);
  compare_ = buffer_;
  if (name.empty()) {
    path_.clear();
    return true;
  }
  count_ = sorted_ = 0;  // until this file is measured: a failed open leaves nothing to read
  path_ = name.front() == '=' ? std::string(name.substr(1)) : DataCesta(name);
  if (size_ <= 0) {
    interaction().message(ZpravaOtevreni(name_, kIoAccessDenied), true);
    return false;
  }
  registered_ = !withoutLock_ && sharing().Zamkni(path_, 0);
  const bool odmitnuto = !withoutLock_ && !registered_ && sharing().Odmitnuto();
  withoutLock_ = false;
  // The lock layer has said why; the file stays closed rather than open without its lock.
  if (odmitnuto) return false;
  if (withOrders_) otevriPoradi();

  bool created = false;
  int code = otevriData(file_, created);
  if (code != kIoOk) {
    interaction().message(ZpravaOtevreni(name_, code), true);
    ZavriSoubor();
    return false;
  }
  if (counter) {
    counterKey_ = VelkaPismena(name_.substr(0, name_.find('.'))).substr(0, kKlicPocitadla);
    if (created) PisJobV(koren(), counterKey_, "");
  }
  std::int64_t bytes = 0;
  file_.size(bytes);
  nastavPocet(bytes);
  prectiPocitadlo();
  upravRadky();
  return true;
}

void RecordFile::ZavriSoubor() {
  zahodBloky();
  napoveda_.clear();
  zavriPoradi();
  file_.close();
  if (registered_) sharing().Odemkni(path_);
  registered_ = false;
}

bool RecordFile::ObnovSoubor() {
  if (!file_.isOpen()) return false;
  File fresh;
  bool created = false;
  const int code = otevriData(fresh, created);
  if (code != kIoOk) {
    interaction().message(ZpravaSouboru(path_, code), true);
    return false;
  }
  file_ = std::move(fresh);
  zahodBloky();
  std::int64_t bytes = 0;
  file_.size(bytes);
  nastavPocet(bytes);
  if (withOrders_) {
    // A sort may have replaced the order files meanwhile.
    const int active = activeOrder_;
    otevriPoradi();
    if (active > 0 && orders_[active - 1].count > 0) activeOrder_ = active;
  }
  prectiPocitadlo();
  upravRadky();
  return true;
}

// ---------------------------------------------------------------------------------------------
// Order files

void RecordFile::otevriPoradi() {
  zavriPoradi();
  for (int i = 1; i <= kPoradi; ++i) {
    Order& o = orders_[i - 1];
    const std::string p = CestaPoradi(path_, i);
    int code = o.file.open(p, Access::ReadWrite, Share::DenyNone);
    if (code == kIoAccessDenied) code = o.file.open(p, Access::Read, Share::DenyNone);
    if (code == kIoFileNotFound || code == kIoPathNotFound) continue;
    if (code != kIoOk) {
      interaction().message(ZpravaSouboru(path_, code), true);
      continue;
    }
    std::int64_t bytes = 0;
    o.file.size(bytes);
    if (bytes <= 2) {
      o.file.close();
      continue;
    }
    o.count = static_cast<std::int32_t>(
        std::min<std::int64_t>(bytes / kPolozkaPoradi, std::numeric_limits<std::int32_t>::max()));
  }
}

void RecordFile::zavriPoradi() {
  for (Order& o : orders_) {
    o.file.close();
    o.count = 0;
  }
  activeOrder_ = 0;
}

bool RecordFile::NastavPoradi(int i) {
  if (i == 0) {
    activeOrder_ = 0;
    return true;
  }
  if (i < 1 || i > kPoradi || orders_[i - 1].count <= 0) return false;
  activeOrder_ = i;
  return true;
}

std::int32_t RecordFile::mapuj(std::int32_t n, int field) const {
  if (n < 1 || n > count_ || activeOrder_ == 0) return n;
  const Order& o = orders_[activeOrder_ - 1];
  if (o.count <= 0 || o.count < n) return n;
  std::array<std::uint8_t, kPolozkaPoradi> entry{};
  if (const std::uint8_t* p = blokyPoradi_ ? zBloku(*blokyPoradi_, o.file, n - 1, o.count) : nullptr) {
    std::memcpy(entry.data(), p, entry.size());
    const std::int32_t v = readI32(entry, field == 0 ? 0 : 4);
    return v >= 1 && v <= count_ ? v : 0;
  }
  const int code = o.file.readAt(static_cast<std::int64_t>(n - 1) * kPolozkaPoradi, entry.data(), entry.size());
  if (code != kIoOk) {
    chybaIO(CestaPoradi(path_, activeOrder_), code);
    return 0;
  }
  const std::int32_t v = readI32(entry, field == 0 ? 0 : 4);
  return v >= 1 && v <= count_ ? v : 0;
}

std::int32_t RecordFile::CisloZPoradi(std::int32_t n) const {
  const std::int32_t r = mapuj(n, 0);
  return r == 0 ? n : r;  // a damaged entry shows the record of the row itself
}

std::int32_t RecordFile::CisloZPoradi2(std::int32_t n) const {
  const std::int32_t r = mapuj(n, 1);
  return r == 0 ? n : r;
}

// Entry `record` of every open order file becomes (record, record). Entries missing before it
// (an order file older than the records) are filled with the identity, which is how such rows
// were shown anyway; concurrent appenders write the same bytes there.
void RecordFile::pridejDoPoradi(std::int32_t record) {
  for (int i = 1; i <= kPoradi; ++i) {
    Order& o = orders_[i - 1];
    if (!o.file.isOpen() || o.count <= 0) continue;
    std::int64_t bytes = 0;
    o.file.size(bytes);
    const std::int64_t have = bytes / static_cast<std::int64_t>(kPolozkaPoradi);
    const std::int64_t from = std::min<std::int64_t>(have + 1, record);
    std::vector<std::uint8_t> entries(static_cast<size_t>(record - from + 1) * kPolozkaPoradi);
    for (std::int64_t j = from; j <= record; ++j) {
      const size_t at = static_cast<size_t>(j - from) * kPolozkaPoradi;
      writeI32(entries, at, static_cast<std::int32_t>(j));
      writeI32(entries, at + 4, static_cast<std::int32_t>(j));
    }
    const int code = o.file.writeAt((from - 1) * static_cast<std::int64_t>(kPolozkaPoradi), entries.data(), entries.size());
    if (code != kIoOk) {
      chybaIO(CestaPoradi(path_, i), code);
      continue;
    }
    o.count = static_cast<std::int32_t>(std::max<std::int64_t>(have, record));
  }
}

// ---------------------------------------------------------------------------------------------
// Records

bool RecordFile::cti(std::int32_t record, std::vector<std::uint8_t>& into, Buffer which) {
  lastRecord_ = record;
  if (const std::uint8_t* p = blokyDat_ ? zBloku(*blokyDat_, file_, record - 1, count_) : nullptr) {
    std::memcpy(into.data(), p, into.size());
    if (settings().gdpr) PoCteni(into, which);
    return true;
  }
  const int code = file_.readAt(static_cast<std::int64_t>(record - 1) * size_, into.data(), into.size());
  if (code != kIoOk) {
    interaction().message(ZpravaCteni(name_, code), true);
    return false;
  }
  if (settings().gdpr) PoCteni(into, which);
  return true;
}

bool RecordFile::pis(std::int32_t record) {
  lastRecord_ = record;
  zahodBloky();
  int code;
  if (settings().gdpr) {
    std::vector<std::uint8_t> copy = buffer_;
    PredZapisem(copy);
    code = file_.writeAt(static_cast<std::int64_t>(record - 1) * size_, copy.data(), copy.size());
  } else {
    code = file_.writeAt(static_cast<std::int64_t>(record - 1) * size_, buffer_.data(), buffer_.size());
  }
  if (code != kIoOk) {
    interaction().message(ZpravaZapisu(name_, code), true);
    return false;
  }
  return true;
}

bool RecordFile::CtiVetu(std::int32_t n) {
  if (n < 1 || n > count_) return false;
  return cti(CisloZPoradi(n), buffer_, Buffer::Record);
}

bool RecordFile::CtiPuvodni(std::int32_t n) {
  if (n < 1 || n > count_) return false;
  return cti(CisloZPoradi(n), compare_, Buffer::Compare);
}

bool RecordFile::CtiVetuPrimo(std::int32_t record) {
  if (record < 1 || record > count_) return false;
  return cti(record, buffer_, Buffer::Record);
}

bool RecordFile::PisVetu(std::int32_t n) {
  if (n < 1 || n > count_) return false;
  // The row must map to a record that exists: a stale or damaged order file would otherwise
  // send the write over another record or past the end of the file.
  if (mapuj(n, 0) == 0) {
    interaction().message(cz("Vadný soubor pořadí ") + CestaPoradi(path_, activeOrder_) +
                              cz(", věta nebyla zapsána"),
                          true);
    return false;
  }
  const std::int32_t record = CisloZPoradi(n);
  if (record < 1 || record > count_) return false;
  return pis(record);
}

bool RecordFile::PisVetuPrimo(std::int32_t record) {
  if (record < 1 || record > count_) return false;
  return pis(record);
}

bool RecordFile::PridejVetu() {
  if (!file_.isOpen()) {
    interaction().message(ZpravaZapisu(name_, kIoFileNotOpen), true);
    return false;
  }
  std::int64_t at = 0;
  int code;
  zahodBloky();
  if (settings().gdpr) {
    std::vector<std::uint8_t> copy = buffer_;
    PredZapisem(copy);
    code = file_.appendRecord(copy.data(), copy.size(), &at);
  } else {
    code = file_.appendRecord(buffer_.data(), buffer_.size(), &at);
  }
  if (code != kIoOk) {
    interaction().message(ZpravaZapisu(name_, code), true);
    return false;
  }
  const std::int64_t record = at / size_ + 1;
  if (record > std::numeric_limits<std::int32_t>::max()) return false;
  count_ = static_cast<std::int32_t>(record);
  lastRecord_ = count_;
  pridejDoPoradi(count_);

  if (!counterKey_.empty()) {
    std::int32_t now = counter_;
    // Written as a plain number under the table's deny-write open, so that no station's step
    // is lost and no value is cut to five digits.
    UpravJobV(koren(), counterKey_, [&](const std::string& stored) {
      now = std::max(0, cislo(stored)) + 1;
      return std::to_string(now);
    });
    counter_ = now;
    sorted_ = std::max(0, count_ - counter_);
  } else {
    sorted_ = count_;
  }

  if (rows.visible < rows.maxVisible) ++rows.visible;
  rows.visible = std::min(rows.visible, count_);
  rows.current = count_;
  if (rows.gridVisible) PrekresliRadky();
  return true;
}

// ---------------------------------------------------------------------------------------------
// Key searches

namespace {
constexpr size_t kBlokKlice = 4096;       // the records read around a guess, in one call
constexpr size_t kBlokPridanych = 65536;  // the appended records, read in arrival order
constexpr size_t kBlokuKlice = 64;
constexpr size_t kOknoOdhadu = 8;  // bytes of a key, after the common prefix, that the guess weighs
constexpr size_t kNejvicNapovedy = 1024;  // keys kept from earlier searches, as guesses

// Where `t` lies between the keys `a` < t < `b`, from 0 to 1, taking the bytes after the common
// prefix of a and b as the digits of a number. The base is the range of bytes the three keys use
// there (ten when they are all digits), so that numbers written as text are placed as numbers.
double Podil(std::string_view a, std::string_view t, std::string_view b) {
  size_t p = 0;
  while (p < a.size() && p < b.size() && a[p] == b[p]) ++p;
  const size_t delka = std::max({a.size(), t.size(), b.size()});
  const size_t okno = std::min(kOknoOdhadu, delka > p ? delka - p : 0);
  unsigned nejmensi = 255, nejvetsi = 0;
  bool kratsi = false, cislice = true;
  for (std::string_view s : {a, t, b}) {
    if (s.size() < p + okno) kratsi = true;
    for (size_t i = p; i < std::min(s.size(), p + okno); ++i) {
      const unsigned c = static_cast<std::uint8_t>(s[i]);
      nejmensi = std::min(nejmensi, c);
      nejvetsi = std::max(nejvetsi, c);
      cislice = cislice && c >= '0' && c <= '9';
    }
  }
  if (nejmensi > nejvetsi) return 0.5;
  if (cislice) nejmensi = '0', nejvetsi = '9';
  // A key that ends inside the window sorts before every longer one: its missing bytes weigh 0,
  // one below the smallest byte used.
  const unsigned posun = kratsi ? 1 : 0;
  const double zaklad = static_cast<double>(nejvetsi - nejmensi + 1 + posun);
  auto hodnota = [&](std::string_view s) {
    double v = 0;
    for (size_t i = p; i < p + okno; ++i)
      v = v * zaklad + (i < s.size() ? static_cast<double>(static_cast<std::uint8_t>(s[i]) - nejmensi + posun) : 0.0);
    return v;
  };
  const double va = hodnota(a), vt = hodnota(t), vb = hodnota(b);
  if (!(vb > va)) return 0.5;
  return std::clamp((vt - va) / (vb - va), 0.0, 1.0);
}

// Takes the row z (n = 0: none) as the lower or the upper bound of t when it is nearer than the
// one held.
template <class Z>
void zuz(Z& dolni, Z& horni, const Z& z, std::string_view t) {
  if (z.n > dolni.n && z.k < t) dolni = z;
  if (z.n > 0 && z.n < horni.n && t < z.k) horni = z;
}
}  // namespace

std::int32_t RecordFile::klicuNaBlok() const {
  return static_cast<std::int32_t>(std::max<size_t>(1, kBlokKlice / static_cast<size_t>(std::max(size_, 1))));
}

std::string RecordFile::klicDo(std::int32_t n, size_t delka) {
  std::string k = KlicRadku(n);
  if (k.size() > delka) k.resize(delka);
  return k;
}

// The bisection between rows lo < hi, with exactly the answers of the plain bisection (the row
// found or, through `last`, the last midpoint) but few reads. `dolni` and `horni` are rows read in
// this search whose keys lie below and above `t`; over the sorted part every row below dolni has a
// key below t too, and every row above horni a key above it, so the midpoints outside them are
// answered without reading. What is read are blocks of records in one call each: around the
// place the keys of dolni and horni predict for t and, in turn, the bisection's midpoint alone,
// so that a key distribution the guess misses (clusters, long runs of one prefix) still costs no
// more than twice the bisection's steps; once few rows are left between them, those whole.
// `delka` cuts every key to that many characters (the prefix search). On return dolni and horni
// are the nearest rows read. 0: not found.
std::int32_t RecordFile::bisekce(std::int32_t lo, std::int32_t hi, Znamy& dolni, Znamy& horni, std::string_view t,
                                 size_t delka, std::int32_t& last) {
  auto poznej = [&](std::int32_t n, std::string k) {
    if (k < t && n > dolni.n)
      dolni = {n, std::move(k)};
    else if (t < k && n < horni.n)
      horni = {n, std::move(k)};
  };
  // Rows through an order are not neighbours in the file: there every midpoint is read alone.
  const bool vBlocich = activeOrder_ == 0 && blokyDat_;
  const std::int32_t naBlok = klicuNaBlok();
  // Reads `sirka` rows around `stred` between the known bounds in one call, and learns the keys
  // at the ends (not needed when the block holds every row between the bounds).
  auto nactiOkoli = [&](std::int32_t stred, std::int32_t sirka) {
    std::int32_t od = std::max(dolni.n + 1, stred - sirka / 2);
    const std::int32_t po = std::min(horni.n - 1, od + sirka - 1);
    od = std::max(dolni.n + 1, po - sirka + 1);
    NactiBlok(od, po);
    if (od == dolni.n + 1 && po == horni.n - 1) return;
    poznej(od, klicDo(od, delka));
    if (po != od) poznej(po, klicDo(po, delka));
  };
  bool odhad = true;
  while (hi - lo > 1) {
    const std::int32_t mid = lo + (hi - lo) / 2;
    last = mid;
    if (mid <= dolni.n) {
      lo = mid;
      continue;
    }
    if (mid >= horni.n) {
      hi = mid;
      continue;
    }
    if (vBlocich && !blokyDat_->najdi(mid - 1)) {
      if (horni.n - dolni.n - 1 <= naBlok) {
        nactiOkoli(mid, naBlok);  // what is left, whole
      } else if (odhad) {
        const double podil = Podil(dolni.k, t, horni.k);
        nactiOkoli(dolni.n + static_cast<std::int32_t>(podil * static_cast<double>(horni.n - dolni.n) + 0.5), naBlok);
        odhad = false;
        continue;  // the midpoint again, now perhaps answered by the block
      } else {
        odhad = true;  // the midpoint alone, read below
      }
    }
    std::string k = klicDo(mid, delka);  // from a block, or one read
    if (k == t) return mid;
    if (t < k)
      hi = mid;
    else
      lo = mid;
    poznej(mid, std::move(k));
  }
  return 0;
}

// The keys that earlier searches read, by row, place t between two of them; the block around
// that place is read. True when its first and last keys enclose t (then so do the first and last
// keys of the sorted part, and the bisection finds its answer in the block); d and h are its
// first and last rows either way (n = 0 when nothing was read).
bool RecordFile::zNapovedy(std::string_view t, size_t delka, Znamy& d, Znamy& h) {
  d = h = Znamy{};
  if (activeOrder_ != 0 || !blokyDat_ || napovedaSerazeno_ != sorted_ || napoveda_.empty()) return false;
  auto rez = [&](const std::string& k) { return std::string_view(k).substr(0, delka); };
  const auto pod = std::partition_point(napoveda_.begin(), napoveda_.end(), [&](const Znamy& z) { return rez(z.k) < t; });
  const auto nad = std::partition_point(pod, napoveda_.end(), [&](const Znamy& z) { return !(t < rez(z.k)); });
  if (pod == napoveda_.begin() || nad == napoveda_.end()) return false;
  const Znamy& a = *(pod - 1);
  const Znamy& b = *nad;
  if (b.n <= a.n || b.n > sorted_) return false;  // the file has changed since
  const double podil = Podil(rez(a.k), t, rez(b.k));
  const std::int32_t stred = a.n + static_cast<std::int32_t>(podil * static_cast<double>(b.n - a.n) + 0.5);
  const std::int32_t naBlok = klicuNaBlok();
  std::int32_t od = std::max(1, stred - naBlok / 2);
  const std::int32_t po = std::min(sorted_, od + naBlok - 1);
  od = std::max(1, po - naBlok + 1);
  NactiBlok(od, po);
  d = {od, klicDo(od, delka)};
  h = {po, klicDo(po, delka)};
  return d.k < t && t < h.k;
}

// Keeps full keys read by a search as guesses for the next ones, in row order.
void RecordFile::zapamatuj(Znamy z) {
  if (napovedaSerazeno_ != sorted_) napoveda_.clear();
  napovedaSerazeno_ = sorted_;
  if (z.n < 1 || z.n > sorted_) return;
  auto it = std::lower_bound(napoveda_.begin(), napoveda_.end(), z.n, [](const Znamy& a, std::int32_t n) { return a.n < n; });
  if (it != napoveda_.end() && it->n == z.n) {
    it->k = std::move(z.k);
    return;
  }
  if (napoveda_.size() >= kNejvicNapovedy) {
    // Full: every other one goes, so that they still cover the whole file.
    size_t j = 0;
    for (size_t i = 0; i < napoveda_.size(); i += 2) napoveda_[j++] = std::move(napoveda_[i]);
    napoveda_.resize(j);
    it = std::lower_bound(napoveda_.begin(), napoveda_.end(), z.n, [](const Znamy& a, std::int32_t n) { return a.n < n; });
  }
  napoveda_.insert(it, std::move(z));
}

std::int32_t RecordFile::HledejKlic(std::string_view key) {
  CteniVBlocich bloky(*this, static_cast<size_t>(std::max(size_, 1)), kPolozkaPoradi, kBlokuKlice);
  constexpr size_t cely = std::string::npos;
  std::int32_t last = 0;
  auto klic = [&](std::int32_t n) {
    last = n;
    return KlicRadku(n);
  };
  if (sorted_ > 0) {
    Znamy d, h;
    if (zNapovedy(key, cely, d, h)) {
      last = sorted_;  // as after reading the last key, which the block makes needless
      if (const std::int32_t n = bisekce(1, sorted_, d, h, key, cely, last); n > 0) return n;
    } else {
      std::string first = klic(1);
      if (key == first) return 1;
      if (key > first) {
        std::string end = klic(sorted_);
        if (key == end) return sorted_;
        if (key < end) {
          zapamatuj({1, first});
          zapamatuj({sorted_, end});
          Znamy dolni{1, std::move(first)}, horni{sorted_, std::move(end)};
          zuz(dolni, horni, d, key);
          zuz(dolni, horni, h, key);
          const std::int32_t n = bisekce(1, sorted_, dolni, horni, key, cely, last);
          zapamatuj(std::move(dolni));
          zapamatuj(std::move(horni));
          if (n > 0) {
            zapamatuj({n, std::string(key)});
            return n;
          }
        }
      }
    }
  }
  // Records appended since the last sort, in arrival order.
  const std::int32_t naBlok = static_cast<std::int32_t>(std::max<size_t>(1, kBlokPridanych / static_cast<size_t>(std::max(size_, 1))));
  for (std::int32_t n = std::max(sorted_, 0) + 1; n <= count_; ++n) {
    if (activeOrder_ == 0 && (n - std::max(sorted_, 0) - 1) % naBlok == 0) NactiBlok(n, std::min(count_, n + naBlok - 1));
    if (klic(n) == key) return n;
  }
  return -last;
}

std::int32_t RecordFile::HledejZacatek(std::string_view text) {
  CteniVBlocich bloky(*this, static_cast<size_t>(std::max(size_, 1)), kPolozkaPoradi, kBlokuKlice);
  const std::string_view t = text.substr(0, kNejdelsiZacatek);
  if (sorted_ <= 0) return 0;
  std::int32_t last = 0;
  Znamy d, h;
  if (zNapovedy(t, t.size(), d, h)) {
    last = sorted_;  // as after reading the last key, which the block makes needless
    const std::int32_t n = bisekce(1, sorted_, d, h, t, t.size(), last);
    return n > 0 ? n : -last;
  }
  auto zacatek = [&](std::int32_t n) {
    last = n;
    return klicDo(n, t.size());
  };
  std::string first = zacatek(1);
  if (t == first) return 1;
  if (t < first) return -last;
  std::string end = zacatek(sorted_);
  if (t == end) return sorted_;
  if (t > end) return -last;
  Znamy dolni{1, std::move(first)}, horni{sorted_, std::move(end)};
  zuz(dolni, horni, d, t);
  zuz(dolni, horni, h, t);
  const std::int32_t n = bisekce(1, sorted_, dolni, horni, t, t.size(), last);
  return n > 0 ? n : -last;
}

// ---------------------------------------------------------------------------------------------
// Change check and hooks

std::int32_t RecordFile::KontrolniSoucet() const {
  std::uint32_t sum = 0;
  for (std::uint8_t b : buffer_) sum += b;
  return static_cast<std::int32_t>(sum);
}

void RecordFile::PoCteni(std::span<std::uint8_t>, Buffer) {}
void RecordFile::PredZapisem(std::span<std::uint8_t>) {}
std::string RecordFile::KlicRadku(std::int32_t) { return {}; }
void RecordFile::PrekresliRadky() {}

}  // namespace pz::storage
