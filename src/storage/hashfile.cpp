#include "storage/hashfile.h"

#include <algorithm>
#include <limits>

#include "platform/fs.h"
#include "platform/io.h"
#include "platform/text.h"
#include "storage/interaction.h"
#include "storage/roots.h"
#include "storage/recordfile.h"

namespace pz::storage {

using namespace platform;

namespace {

constexpr std::uint8_t kVolny = 0, kPouzity = 1, kSmazany = 2;
constexpr int kSlotuNaCteni = 8;                // slots read at once while probing
constexpr size_t kBlokDat = size_t{1} << 20;    // bytes of data read at once while building
constexpr size_t kKusTabulky = 16384;           // bytes of a new table written at once
constexpr std::int32_t kNejvetsiTabulka = std::numeric_limits<std::int32_t>::max() / 2;

void chybaIO(std::string_view path, int code) {
  interaction().message(cz("Chyba vstupu/výstupu ") + std::to_string(code) + ": " + std::string(path), true);
}

// The hash table while it is built in memory: the same slots as the file, slot 0 the header.
struct Tabulka {
  size_t slot;
  std::int32_t n;
  std::int32_t used = 0;
  std::vector<std::uint8_t> bytes;

  Tabulka(size_t slotSize, std::int32_t size)
      : slot(slotSize), n(size), bytes((static_cast<size_t>(size) + 1) * slotSize, 0) {}

  // -1 when full, 0 when it was already more than three quarters full, else 1.
  int vloz(const std::string& key, std::int32_t record, size_t keySize) {
    if (used >= n) return -1;
    const int result = static_cast<std::int64_t>(used) * 4 > static_cast<std::int64_t>(n) * 3 ? 0 : 1;
    std::int32_t s = HashFile::Hash(key) % n;
    for (std::int32_t i = 0; i < n; ++i, s = s + 1 == n ? 0 : s + 1) {
      std::uint8_t* at = bytes.data() + (static_cast<size_t>(s) + 1) * slot;
      if (at[0] == kPouzity) continue;
      Bytes b(std::span<std::uint8_t>(at, slot));
      writeU8(b, 0, kPouzity);
      writeI32(b, 1, record);
      (void)writeShortString(b, 5, keySize - 1, key);
      ++used;
      return result;
    }
    return -1;
  }

  void hlavicka() {
    Bytes b(bytes);
    writeI32(b, 0, n);
    writeI32(b, 4, used);
  }
};

}  // namespace

HashFile::~HashFile() { ZavriHash(); }

std::int32_t HashFile::Hash(std::string_view key) {
  if (key.empty()) return 0;
  // Character codes are taken as the unsigned bytes of cp1250, so Š and Č hash like any letter.
  if (key.size() == 1) return static_cast<std::uint8_t>(key[0]);
  static constexpr std::int64_t kVaha[5] = {1, 10, 100, 1000, 10000};
  std::int64_t h = 0;
  for (size_t i = 1; i <= key.size(); ++i) {
    const std::int64_t m = i % 2 == 1 ? 3 : 1;
    h += kVaha[i % 5] * m * static_cast<std::uint8_t>(key[i - 1]);
    if (h > 1000000) h %= 1000000;
  }
  return static_cast<std::int32_t>(h);
}

// The key as a slot keeps it, so that an insert and a lookup of a long key agree.
std::string HashFile::klic(std::string_view key) const {
  const size_t keep = std::min<size_t>(kNejdelsiKlicHash, static_cast<size_t>(keySize_ - 1));
  return std::string(key.substr(0, keep));
}

std::int32_t HashFile::pocetDat() {
  std::int64_t bytes = 0;
  if (dta_.isOpen()) {
    dta_.size(bytes);
  } else {
    FileInfo info;
    if (fileInfo(dtaPath_, info) == kIoOk) bytes = info.size;
  }
  return static_cast<std::int32_t>(
      std::min<std::int64_t>(bytes / recordSize_, std::numeric_limits<std::int32_t>::max()));
}

// Builds the ".dti" from the data records, starting with `size` slots and doubling to twice the
// number of data records when the table fills beyond three quarters. The table is written in
// one go after it was built in memory, under an exclusive open, so that nobody reads half of it.
// `cesta` is the ".dti" itself or the work file of a table that grows.
bool HashFile::postav(std::int32_t size, const std::string& cesta) {
  // Built even when the write lock is not granted: the table is missing, and the exclusive
  // open below is what keeps two builders apart.
  const bool held = sharing().Zamkni(dtiPath_, 'W');
  File out;
  int code = out.open(cesta, Access::ReadWrite, Share::DenyReadWrite, Create::CreateAlways);
  if (code != kIoOk) {
    if (held) sharing().Odemkni(dtiPath_);
    // Another station is building it right now: it is there when that station is done.
    if (code == kIoSharingViolation && cesta == dtiPath_) return true;
    chybaIO(cesta, code);
    return false;
  }
  const size_t slot = static_cast<size_t>(keySize_) + 5;
  File data;
  std::int64_t dataBytes = 0;
  // Only data that does not exist yet gives an empty table; a table built without records that
  // could not be read would be taken for a whole one.
  int dataCode = data.open(dtaPath_, Access::Read, Share::DenyNone);
  if (dataCode == kIoOk) dataCode = data.size(dataBytes);
  if (dataCode == kIoFileNotFound) dataCode = kIoOk;

  Tabulka t(slot, std::max<std::int32_t>(size, 1));
  if (dataCode == kIoOk && dataBytes >= 3) {
    const std::int32_t count = static_cast<std::int32_t>(
        std::min<std::int64_t>(dataBytes / recordSize_, kNejvetsiTabulka / 2));
    interaction().waitFor(cz("Moment, rozšiřuji soubor"), 0, [&] {
      const size_t perBlock = std::max<size_t>(1, kBlokDat / static_cast<size_t>(recordSize_));
      std::vector<std::uint8_t> block(perBlock * static_cast<size_t>(recordSize_));
      for (;;) {
        bool again = false;
        for (std::int32_t first = 1; first <= count && !again; first += static_cast<std::int32_t>(perBlock)) {
          const std::int32_t inBlock = std::min<std::int32_t>(static_cast<std::int32_t>(perBlock), count - first + 1);
          dataCode = data.readAt(static_cast<std::int64_t>(first - 1) * recordSize_, block.data(),
                                 static_cast<size_t>(inBlock) * static_cast<size_t>(recordSize_));
          if (dataCode != kIoOk) return true;
          for (std::int32_t k = 0; k < inBlock && !again; ++k) {
            std::span<const std::uint8_t> rec(block.data() + static_cast<size_t>(k) * static_cast<size_t>(recordSize_),
                                              static_cast<size_t>(recordSize_));
            const std::int32_t n = first + k;
            std::optional<std::string> key =
                fill_ ? fill_(n, rec) : std::optional<std::string>(readShortString(rec, 0, static_cast<size_t>(keySize_ - 1)));
            if (!key) continue;
            if (t.vloz(klic(*key), n, static_cast<size_t>(keySize_)) != 1) again = true;
          }
        }
        if (!again) return true;
        t = Tabulka(slot, std::min(kNejvetsiTabulka, std::max(count * 2, t.n + 1)));
      }
    });
  }
  if (dataCode != kIoOk) {
    out.close();
    if (held) sharing().Odemkni(dtiPath_);
    interaction().message(ZpravaCteni(dtaPath_, dataCode), true);
    removeFile(cesta);
    return false;
  }
  t.hlavicka();
  // Written in small pieces: a file cached in large pieces makes every later one-slot write
  // cost the kernel several times more.
  for (size_t at = 0; at < t.bytes.size() && code == kIoOk; at += kKusTabulky)
    code = out.writeAt(static_cast<std::int64_t>(at), t.bytes.data() + at, std::min(kKusTabulky, t.bytes.size() - at));
  out.close();
  if (held) sharing().Odemkni(dtiPath_);
  if (code != kIoOk) {
    chybaIO(cesta, code);
    removeFile(cesta);  // a partial table would be taken for a whole one
    return false;
  }
  return true;
}

// Opens the ".dti" and checks its header against its size: 2 the file is missing, 0 ready,
// a negative value the header is damaged, another IoCode the open or the read failed.
int HashFile::otevriTabulku() {
  int code = dti_.open(dtiPath_, Access::ReadWrite, Share::DenyNone);
  if (code != kIoOk) return code;
  std::uint8_t head[8] = {};
  std::int64_t bytes = 0;
  dti_.size(bytes);
  code = dti_.readAt(0, head, sizeof head);
  if (code != kIoOk && code != kIoReadPastEnd) {
    dti_.close();  // a read error says nothing about the table: it is not built again for it
    return code;
  }
  const std::int32_t n = readI32(std::span<const std::uint8_t>(head, 8), 0);
  const std::int32_t used = readI32(std::span<const std::uint8_t>(head, 8), 4);
  const std::int64_t slot = keySize_ + 5;
  if (code != kIoOk || n < 1 || bytes < (static_cast<std::int64_t>(n) + 1) * slot) {
    dti_.close();
    return -1;
  }
  n_ = n;
  used_ = std::clamp(used, 0, n);
  return kIoOk;
}

bool HashFile::OtevriHash(std::string_view base, int keySize, int recordSize, std::int32_t initialSize, Fill fill) {
  ZavriHash();
  if (keySize < 3 || keySize > 256 || recordSize < 1 || initialSize < 1) return false;
  keySize_ = keySize;
  recordSize_ = recordSize;
  initial_ = initialSize;
  fill_ = std::move(fill);
  grow_ = false;
  buffer_.assign(static_cast<size_t>(recordSize), 0);
  dtaPath_ = DataCesta(std::string(base) + ".dta");
  dtiPath_ = DataCesta(std::string(base) + ".dti");

  bool rebuilt = false;
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (!fileExists(dtiPath_)) {
      if (!postav(initial_, dtiPath_)) return false;
      rebuilt = true;
    }
    int code = otevriTabulku();
    if (code == kIoSharingViolation) {
      // Another station is building the table: it is ready when that station lets it go.
      interaction().waitFor(cz("Moment, rozšiřuji soubor"), 100, [&] {
        code = otevriTabulku();
        return code != kIoSharingViolation;
      });
    }
    if (code == kIoOk) break;
    if (code == kIoFileNotFound) continue;
    if (code > 0) {
      chybaIO(dtiPath_, code);
      return false;
    }
    // A damaged header: the table is built again unless another station has it open.
    const int del = rebuilt ? kIoAccessDenied : removeFile(dtiPath_);
    if (del != kIoOk) {
      interaction().message(cz("Vadná tabulka ") + dtiPath_ + cz(", soubor nelze otevřít"), true);
      return false;
    }
  }
  if (!dti_.isOpen()) return false;
  locked_ = sharing().Zamkni(dtiPath_, 0);
  const int code = dta_.open(dtaPath_, Access::ReadWrite, Share::DenyNone, Create::OpenAlways);
  if (code != kIoOk) {
    interaction().message(ZpravaOtevreni(dtaPath_, code), true);
    ZavriHash();
    return false;
  }
  dataCount_ = pocetDat();
  return true;
}

std::int32_t HashFile::NajdiHash(std::string_view key) {
  if (!dti_.isOpen() || n_ < 1) return -1;
  const std::string k = klic(key);
  const size_t slot = static_cast<size_t>(keySize_) + 5;
  std::vector<std::uint8_t> run(slot * kSlotuNaCteni);
  std::int32_t s = Hash(k) % n_;
  for (std::int32_t probed = 0; probed < n_;) {
    const std::int32_t take = std::min({kSlotuNaCteni, n_ - s, n_ - probed});
    const int code = dti_.readAt((static_cast<std::int64_t>(s) + 1) * static_cast<std::int64_t>(slot), run.data(),
                                 static_cast<size_t>(take) * slot);
    if (code != kIoOk) {
      chybaIO(dtiPath_, code);
      return -1;
    }
    for (std::int32_t i = 0; i < take; ++i) {
      std::span<const std::uint8_t> at(run.data() + static_cast<size_t>(i) * slot, slot);
      const std::uint8_t state = at[0];
      if (state == kVolny) return -1;
      if (state != kPouzity || readShortString(at, 5, static_cast<size_t>(keySize_ - 1)) != k) continue;
      const std::int32_t record = readI32(at, 1);
      if (record > dataCount_) dataCount_ = pocetDat();  // appended by another station
      if (record < 1 || record > dataCount_) return -1;  // a damaged slot names no record
      const int rc = dta_.readAt(static_cast<std::int64_t>(record - 1) * recordSize_, buffer_.data(), buffer_.size());
      if (rc != kIoOk) {
        interaction().message(ZpravaCteni(dtaPath_, rc), true);
        return -1;
      }
      return record;
    }
    probed += take;
    s += take;
    if (s >= n_) s = 0;
  }
  return -1;
}

bool HashFile::zapisHlavicku() {
  std::uint8_t head[8];
  std::span<std::uint8_t> h(head, 8);
  writeI32(h, 0, n_);
  writeI32(h, 4, used_);
  const int code = dti_.writeAt(0, head, sizeof head);
  if (code != kIoOk) chybaIO(dtiPath_, code);
  return code == kIoOk;
}

int HashFile::vloz(const std::string& key, ConstBytes record) {
  // Other stations insert too: the used count is taken from the file, not from our copy.
  std::uint8_t head[8] = {};
  if (dti_.readAt(0, head, sizeof head) == kIoOk)
    used_ = std::clamp(readI32(std::span<const std::uint8_t>(head, 8), 4), 0, n_);
  if (used_ >= n_) {
    grow_ = true;
    return -1;
  }
  int result = 1;
  if (static_cast<std::int64_t>(used_) * 4 > static_cast<std::int64_t>(n_) * 3) {
    grow_ = true;
    result = 0;
  }
  const size_t slot = static_cast<size_t>(keySize_) + 5;
  std::vector<std::uint8_t> at(slot);
  std::int32_t s = Hash(key) % n_;
  for (std::int32_t i = 0; i < n_; ++i, s = s + 1 == n_ ? 0 : s + 1) {
    const std::int64_t where = (static_cast<std::int64_t>(s) + 1) * static_cast<std::int64_t>(slot);
    int code = dti_.readAt(where, at.data(), slot);
    if (code != kIoOk) {
      chybaIO(dtiPath_, code);
      return -1;
    }
    if (at[0] == kPouzity) continue;

    std::vector<std::uint8_t> rec(static_cast<size_t>(recordSize_), 0);
    for (size_t b = 0; b < rec.size() && b < record.size(); ++b) rec[b] = record.at(b);
    std::int32_t number = at[0] == kSmazany ? readI32(at, 1) : 0;
    if (number >= 1 && number <= pocetDat()) {
      // A deleted slot gives its record back for the new one.
      code = dta_.writeAt(static_cast<std::int64_t>(number - 1) * recordSize_, rec.data(), rec.size());
    } else {
      // A new record goes to the true end of the data, whoever appended last.
      std::int64_t off = 0;
      code = dta_.appendRecord(rec.data(), rec.size(), &off);
      number = static_cast<std::int32_t>(off / recordSize_ + 1);
      dataCount_ = std::max(dataCount_, number);
    }
    if (code != kIoOk) {
      interaction().message(ZpravaZapisu(dtaPath_, code), true);
      return -1;
    }
    std::fill(at.begin(), at.end(), 0);
    writeU8(at, 0, kPouzity);
    writeI32(at, 1, number);
    (void)writeShortString(at, 5, slot - 6, key);
    code = dti_.writeAt(where, at.data(), slot);
    if (code != kIoOk) {
      // The record is stored; the table no longer knows it, so the next open builds it again.
      chybaIO(dtiPath_, code);
      grow_ = true;
      return -1;
    }
    ++used_;
    zapisHlavicku();
    return result;
  }
  return -1;
}

// Builds a full table again, twice as large, when nobody else has it open. The new table is
// built in a work file that then takes the full one's place, so that a build that fails keeps
// the full table for lookups.
bool HashFile::prestav() {
  dti_.close();
  if (locked_) sharing().Odemkni(dtiPath_);
  locked_ = false;
  const std::int64_t want = std::max<std::int64_t>(static_cast<std::int64_t>(pocetDat()) * 2 + 2,
                                                   static_cast<std::int64_t>(n_) * 2);
  const std::string prac = dtiPath_.substr(0, dtiPath_.size() - 1) + "n";
  bool ok = sharing().IfVolny(dtiPath_).empty() &&
            postav(static_cast<std::int32_t>(std::min<std::int64_t>(want, kNejvetsiTabulka)), prac);
  if (ok) {
    // One atomic step; refused (32) while another program has the full table open, which then
    // stays as it is without a message, as when another station holds it.
    const int code = renameFile(prac, dtiPath_, true);
    if (code != kIoOk && code != kIoSharingViolation) chybaIO(dtiPath_, code);
    ok = code == kIoOk;
  }
  if (!ok) removeFile(prac);
  if (const int code = otevriTabulku(); code != kIoOk) {
    if (code > 0) chybaIO(dtiPath_, code);
    ok = false;
  }
  locked_ = dti_.isOpen() && sharing().Zamkni(dtiPath_, 0);
  if (ok) grow_ = false;
  return ok;
}

int HashFile::VlozHash(std::string_view key, ConstBytes record) {
  if (!dti_.isOpen() || n_ < 1) return -1;
  const std::string k = klic(key);
  int result = vloz(k, record);
  if (result == -1 && used_ >= n_ && prestav()) result = vloz(k, record);
  return result;
}

void HashFile::ZavriHash() {
  const bool wasOpen = dti_.isOpen();
  dta_.close();
  dti_.close();
  if (locked_) sharing().Odemkni(dtiPath_);
  locked_ = false;
  if (wasOpen && grow_ && sharing().IfVolny(dtiPath_).empty()) removeFile(dtiPath_);
  grow_ = false;
}

}  // namespace pz::storage
