// Layouts of the cash desk's own record files and the names of the files of one series.
//
//   tPzRada     a series (one cash box in one currency), "pz_ra.dta", 71 bytes
//   tPzDoklad   a cash document of a series, "PZ" + series + "_.dta", 337 bytes
//
// Records are read and written field by field through storage/fields.h at these offsets; texts
// are short strings (a length byte, then `width` cp1250 characters), amounts and rates Real48.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace pz::cashdesk {

struct tPzRada {
  static constexpr std::int32_t kVelikost = 71;
  // The older series file "zporady.dta" holds the first 34 bytes of the record (through pocStav).
  static constexpr std::int32_t kStaraVelikost = 34;
  static constexpr std::size_t kRada = 0, kMena = 3, kKurz = 7, kMnozstvi = 13, kStav = 15, kUcet = 21,
                               kPocStav = 28, kPocStavKc = 34, kPoznamka = 40;
  static constexpr std::size_t kSirkaRady = 2, kSirkaMeny = 3, kSirkaUctu = 6, kSirkaPoznamky = 30;
};

struct tPzDoklad {
  static constexpr std::int32_t kVelikost = 337;
  // `ident` is the record number in five digits, so a series holds at most this many documents.
  static constexpr std::int32_t kNejvic = 99999;
  static constexpr std::size_t kDruh = 0, kIdent = 2, kCislo = 8, kCisloOrg = 69, kDatumDod = 71, kDatumZapl = 78,
                               kText = 85, kCelkemVal = 136, kPlacenoVal = 142, kKurz = 148, kCelkemKc = 154,
                               kPlacenoKc = 160, kInd = 166, kDphRozl = 170, kIco = 177, kDic = 186, kAdr1 = 203,
                               kAdr2 = 234, kAdr3 = 265, kAdr4 = 296, kPsc = 327, kFinUrad = 333;
  static constexpr std::size_t kSirkaDruhu = 1, kSirkaIdentu = 5, kSirkaCisla = 60, kSirkaData = 6,
                               kSirkaTextu = 50, kSirkaInd = 3, kSirkaDphRozl = 6, kSirkaIco = 8, kSirkaDic = 16,
                               kSirkaAdresy = 30, kSirkaPsc = 5, kSirkaFinUradu = 3;
};

// How a document of kind `druh` moves the balance of its box: +1 for a receipt ("P", or "O" paying
// an issued invoice), -1 for an expenditure ("V", or "D" paying a received invoice), 0 otherwise.
inline int ZnamenkoDruhu(char druh) {
  switch (druh) {
    case 'P': case 'O': return 1;
    case 'V': case 'D': return -1;
    default: return 0;
  }
}

// The document file of a series: "PZ" + the series code, cut so that the name so far has at most
// four characters, + "_.dta" ("01" gives PZ01_.dta, "7" gives PZ7_.dta, "123" gives PZ12_.dta).
inline std::string SouborDokladu(std::string_view rada) {
  std::string jmeno = "PZ" + std::string(rada.substr(0, 2));
  return jmeno + "_.dta";
}

// The VAT supplement file kept in step with a document file: "A" after its first two characters
// (PZ01_.dta gives PZA01_.dta).
inline std::string SouborDodatku(std::string_view souborDokladu) {
  if (souborDokladu.size() < 2) return "A" + std::string(souborDokladu);
  return std::string(souborDokladu.substr(0, 2)) + "A" + std::string(souborDokladu.substr(2));
}

}  // namespace pz::cashdesk
