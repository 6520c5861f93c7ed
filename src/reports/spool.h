// TfSpool, the report list ("Seznam tiskových sestav"): the report files of the workstation with
// their size, date, title and directory, sortable by each column; Enter shows a report, F8 deletes
// one. The administrator's tools (Ctrl with the right mouse button) repair line lengths, split
// and join archives, and scramble or unscramble the reports and the document folders.
//
// Map of this file:
//   - SestavaSeznamu   one listed report: what the row shows, and the real file behind it
//   - building         NactiSeznamSestav, PridejNazvy, SetridSeznam
//   - tools            ZrusSestavu, SpravDelkuVet, RozdelArchiv, SpojArchivy, PrevedSestavy, PrepniSestavy,
//                      PrevedDoklady (each rewrites through a temporary file beside its target)
//   - TfSpool          the window
//
// The row shows the name upper-cased and cut to 30 characters; open and delete always use the
// real path kept beside it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ui/browse.h"

namespace pz::reports {

inline constexpr size_t kNejvicSestav = 1000;

struct SestavaSeznamu {
  std::string jmeno;   // as shown: the name without ".txt", upper-cased, 30 characters
  std::string soubor;  // the file name as the directory spells it
  std::string slozka;  // the directory with its trailing "\"
  int32_t velikost = 0;  // thousands of bytes: size / 1000 + 1
  std::string datum;   // DDMMYY
  std::string nazev;   // the title from "listw.tab", at most 45 characters
  bool zrusena() const { return !jmeno.empty() && jmeno[0] == '#'; }
  std::string cesta() const { return slozka + soubor; }
};

// The "*.txt" files of size above 0 of every directory that "_sestavy.kde" in the working
// directory names (one a line), or of the working directory when that file has fewer than 3
// bytes; at most kNejvicSestav, the first ones found.
std::vector<SestavaSeznamu> NactiSeznamSestav();
// The titles of the lines of `listw` (name mask in columns 1-8, the title from column 10, or
// from column 19 when column 18 is "|") whose mask matches the first 8 characters of the name;
// a later line overrides an earlier one.
void PridejNazvy(std::vector<SestavaSeznamu>& seznam, const std::string& listw);
// Sorts by kind 1 name, 2 size, 3 date, 4 title, 5 directory.
void SetridSeznam(std::vector<SestavaSeznamu>& seznam, int druh, bool sestupne = false);

// Deletes the report and its ".txz" under a write lock and marks the entry "########"; false for
// an entry already marked or a lock refused.
bool ZrusSestavu(SestavaSeznamu& s);
// Every line padded or cut to 140 characters. 0 or the I/O code.
int SpravDelkuVet(const std::string& cesta);
// Lines 1..n and the rest into "<base>_A.txt" and "<base>_B.txt", the base being the path up to
// the first dot of the file name, less the character before it. 0 or the I/O code.
int RozdelArchiv(const std::string& cesta, int n);
// For each listed "??AR1*" report of the data root, its partner "??ARl*" receives both, the "1"
// archive first (`jednickaPrvni`) or second; the "1" archive goes. "listw.tab" follows.
int SpojArchivy(const std::vector<SestavaSeznamu>& seznam, bool jednickaPrvni, const std::string& listw);
// Every line of the listed reports scrambled or unscrambled; all of them or none.
int PrevedSestavy(const std::vector<SestavaSeznamu>& seznam, bool zasifruj,
                  const std::function<void(const std::string&)>& postup = {});
// The same, with the data root's GDPR switch (and this run's) turned on for scrambled reports and
// off for plain ones: the reports and the switch change together or not at all.
int PrepniSestavy(const std::vector<SestavaSeznamu>& seznam, bool zasifruj,
                  const std::function<void(const std::string&)>& postup = {});
// Every "*.txt" and "*.jpg" of the data root's "doklady\" subdirectories OF, ZF, PO, PZ, DF and DZ
// scrambled or unscrambled as a whole file, each document replaced whole; the data root's mark
// "GDPRDOKL" follows only when every document is converted. A run that stopped (a failure, which
// it reports, or a station stopped) is finished by the next run of the same direction, which
// converts no document twice; the other direction is refused until then. A run towards the form
// the mark already names converts nothing.
int PrevedDoklady(bool zasifruj, const std::function<void(const std::string&)>& postup = {});

// The partner register's own scrambling of every record, which lives above this layer;
// registered at start. Answers 0 or the I/O code.
struct SluzbySeznamu {
  std::function<int(bool zasifruj)> prevedOrg;
};
SluzbySeznamu& sluzbySeznamu();

class TfSpool : public ui::TfRol {
 public:
  TfSpool();
  // Builds the list and shows it modally until Esc.
  void Ukaz();
  const std::vector<SestavaSeznamu>& Seznam() const { return seznam_; }

  void CtiPuvodni(int n) override { aktualni_ = n; }
  void NaplnSloupce() override;
  void Oprav() override;
  void NaF1() override;
  void NaF8() override;
  void NaCtrlPravy() override;
  void NaCtrlF2() override {}  // the list is open already

 private:
  void nacti();
  void trid(int druh);
  void nabidka(bool udrzba);
  int aktualni_ = 0;
  std::vector<SestavaSeznamu> seznam_;
  bool sestupneDatum_ = true;  // "Dle data" flips it before each use: ascending first
};

}  // namespace pz::reports
