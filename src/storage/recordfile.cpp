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
// The probes of one key search: one record per block, so that a probe costs no more than a plain
// read; once the bisection has closed in on a span of this many bytes, the span is read whole.
constexpr size_t kZbytekBisekce = 8192;
constexpr size_t kBlokPridanych = 65536;  // the appended records, read in arrival order
constexpr size_t kBlokuKlice = 64;
}  // namespace

std::int32_t RecordFile::HledejKlic(std::string_view key) {
  CteniVBlocich bloky(*this, static_cast<size_t>(std::max(size_, 1)), kPolozkaPoradi, kBlokuKlice);
  std::int32_t last = 0;
  auto klic = [&](std::int32_t n) {
    last = n;
    return KlicRadku(n);
  };
  if (sorted_ > 0) {
    const std::string first = klic(1);
    if (key == first) return 1;
    if (key > first) {
      const std::string end = klic(sorted_);
      if (key == end) return sorted_;
      if (key < end) {
        std::int32_t lo = 1, hi = sorted_;
        while (hi - lo > 1) {
          predNactiRozpeti(lo, hi);
          const std::int32_t mid = lo + (hi - lo) / 2;
          const std::string k = klic(mid);
          if (k == key) return mid;
          if (key < k)
            hi = mid;
          else
            lo = mid;
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

// In file order, rows are records: once the bisection's span is small, one read brings it all.
void RecordFile::predNactiRozpeti(std::int32_t lo, std::int32_t hi) const {
  if (activeOrder_ != 0 || !blokyDat_) return;
  if (static_cast<size_t>(hi - lo + 1) * static_cast<size_t>(size_) > kZbytekBisekce) return;
  NactiBlok(lo, hi);
}

std::int32_t RecordFile::HledejZacatek(std::string_view text) {
  CteniVBlocich bloky(*this, static_cast<size_t>(std::max(size_, 1)), kPolozkaPoradi, kBlokuKlice);
  const std::string_view t = text.substr(0, kNejdelsiZacatek);
  std::int32_t last = 0;
  auto zacatek = [&](std::int32_t n) {
    last = n;
    std::string k = KlicRadku(n);
    if (k.size() > t.size()) k.resize(t.size());
    return k;
  };
  if (sorted_ <= 0) return 0;
  const std::string first = zacatek(1);
  if (t == first) return 1;
  if (t < first) return -last;
  const std::string end = zacatek(sorted_);
  if (t == end) return sorted_;
  if (t > end) return -last;
  std::int32_t lo = 1, hi = sorted_;
  while (hi - lo > 1) {
    predNactiRozpeti(lo, hi);
    const std::int32_t mid = lo + (hi - lo) / 2;
    const std::string k = zacatek(mid);
    if (k == t) return mid;
    if (t < k)
      hi = mid;
    else
      lo = mid;
  }
  return -last;
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
