// The hashed keyed file: a record file "name.dta" (the master copy of the data) and its hash
// table "name.dti", a file of slots of (key size + 5) bytes:
//
//   slot 0 (header)  0: table size N (int32)   4: used slots (int32)   8..: not used
//   slot 1..N        0: state (0 free, 1 used, 2 deleted)   1: record number (int32)
//                    5: the key, a short string of key size - 1 characters (at most 30 stored)
//
// Slot s + 1 holds hash position s; collisions probe the following slots, wrapping at N. The
// table is derived data: whenever it is missing, damaged or too full it is built again from the
// ".dta" (twice as many slots as data records), so nothing is ever lost with it.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file.h"
#include "storage/fields.h"

namespace pz::storage {

inline constexpr size_t kNejdelsiKlicHash = 30;  // characters of a key kept in a slot

class HashFile {
 public:
  // The key under which data record n is indexed when the table is built, or nullopt to leave
  // the record out. Without one, a record's key is its first key-size bytes read as a short
  // string.
  using Fill = std::function<std::optional<std::string>(std::int32_t n, ConstBytes record)>;

  HashFile() = default;
  ~HashFile();
  HashFile(const HashFile&) = delete;
  HashFile& operator=(const HashFile&) = delete;

  // Opens DataCesta(base) + ".dta" and ".dti", building the table while the ".dti" is missing
  // (wait window "Moment, rozšiřuji soubor"). A ".dti" whose header disagrees with its size is
  // built again when nobody else has it open; otherwise the open fails with a message.
  bool OtevriHash(std::string_view base, int keySize, int recordSize, std::int32_t initialSize,
                  Fill fill = {});
  // The record number of the key with that record read into veta(), or -1.
  std::int32_t NajdiHash(std::string_view key);
  // Stores the record under the key: 1 inserted, 0 inserted and the table is more than three
  // quarters full (it grows at the next open), -1 not inserted. A full table that nobody else
  // has open is built again, twice as large, and the insert then succeeds.
  int VlozHash(std::string_view key, ConstBytes record);
  // Closes both files; a table that grew too full is deleted when nobody else holds it, so that
  // the next open builds it twice as large.
  void ZavriHash();

  bool otevren() const { return dti_.isOpen(); }
  std::vector<std::uint8_t>& veta() { return buffer_; }
  std::int32_t velikostTabulky() const { return n_; }
  std::int32_t obsazeno() const { return used_; }
  bool roste() const { return grow_; }
  const std::string& cestaDat() const { return dtaPath_; }
  const std::string& cestaTabulky() const { return dtiPath_; }

  // The hash of a key before it is taken modulo the table size.
  static std::int32_t Hash(std::string_view key);

 private:
  std::string klic(std::string_view key) const;
  std::int32_t pocetDat();
  bool postav(std::int32_t size, const std::string& cesta);
  int otevriTabulku();
  bool prestav();
  int vloz(const std::string& key, ConstBytes record);
  bool zapisHlavicku();

  platform::File dta_, dti_;
  std::string dtaPath_, dtiPath_;
  int keySize_ = 0;
  int recordSize_ = 0;
  std::int32_t initial_ = 0;
  std::int32_t n_ = 0;
  std::int32_t used_ = 0;
  std::int32_t dataCount_ = 0;  // data records as last measured
  bool grow_ = false;
  bool locked_ = false;
  Fill fill_;
  std::vector<std::uint8_t> buffer_;
};

}  // namespace pz::storage
