// Exports of a record file's fields for other programs: a ";"-separated text file for
// spreadsheets and word processors, and a dBASE III table. Both take whole records and a list of
// the fields to write, so any list can export itself whatever its layout.
//
// Text file: line 1 the labels (each padded or cut to its field's width), line 2 the type code of
// each field ("@@", the kind of the field counted from 1 in the order of DruhPole), then one line
// per record; every value is followed by ";". Numbers as the form shows them with their first "."
// turned into ","; dates without their dots; texts in double quotes, a quote inside doubled.
//
// dBASE III table (version byte 3, cp1250 with the language driver byte of Windows EE): texts as
// character columns of the field width, dates as date columns (YYYYMMDD, two-digit years widened
// with the pivot 40), numbers as numeric columns with the picture's decimals. Column names are the
// labels without diacritics, ten characters of letters, digits and "_", made unique.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/file.h"
#include "storage/fields.h"
#include "ui/picture.h"

namespace pz::ui {

// One field of the export: its label, type, width (texts) and place in the record.
struct PoleVyvozu {
  std::string popis;
  TypPole typ;
  std::size_t sirka = 0;
  std::size_t offset = 0;
};

// The name of the export files of a record file: its name without directory and extension,
// upper-cased ("=C:\x\kursy.dta" gives "KURSY").
std::string JmenoVyvozu(const std::string& soubor);

// One value of the text file, with its ";".
std::string HodnotaCsv(const PoleVyvozu& pole, storage::ConstBytes veta);

class VyvozCsv {
 public:
  // Creates the file (replacing one of the same name) and writes the two heading lines. False
  // when it cannot be created.
  bool otevri(const std::string& cesta, const std::vector<PoleVyvozu>& pole);
  void pridej(storage::ConstBytes veta);
  // False when a write failed on the way.
  bool zavri();

 private:
  void pis(const std::string& s);
  void vyprazdni();
  platform::File file_;
  std::vector<PoleVyvozu> pole_;
  std::string buf_;
  int chyba_ = 0;
};

// A numeric column's width and decimals for a picture.
struct SirkaDbf {
  int sirka = 0;
  int desetin = 0;
};
SirkaDbf SirkaCislaDbf(const std::string& obrazek);

class VyvozDbf {
 public:
  bool otevri(const std::string& cesta, const std::vector<PoleVyvozu>& pole);
  void pridej(storage::ConstBytes veta);
  // Writes the record count into the header and the end-of-file mark.
  bool zavri();

  // The column names the table got (for messages and tests).
  const std::vector<std::string>& jmena() const { return jmena_; }

 private:
  struct Sloupec {
    char typ;  // 'C', 'D', 'N'
    int sirka;
    int desetin;
  };
  void pis(const std::string& s);
  void vyprazdni();
  platform::File file_;
  std::vector<PoleVyvozu> pole_;
  std::vector<Sloupec> sloupce_;
  std::vector<std::string> jmena_;
  std::string buf_;
  std::int64_t pozice_ = 0;
  std::uint32_t pocet_ = 0;
  int chyba_ = 0;
};

}  // namespace pz::ui
