// TfInOut, the file chooser: a small modal window in which the user names a file to read or to
// write. It has a drive box (the drive table's letters), a directory line, a name line that is
// also a mask, a sorted listing of the directory and a green result line that always shows the
// path that will be returned: drive + directory + name. Created once, reused by every opener.
//
// Directories in the listing appear as "\" + name; "\." goes to the root, "\.." one level up,
// never above the root.
#pragma once

#include <string>
#include <vector>

#include "ui/form.h"

namespace pz::reports {

// The three parts of a chosen path: "C:", "\DATA\SESTAVY\" (always ending in "\"), "KNIHA.TXT".
struct CastiCesty {
  std::string disk;
  std::string slozka;
  std::string jmeno;
};

// Splits an initial path; a path without a directory takes `aktualni` (the current directory,
// with its drive) as its directory.
CastiCesty RozdelCestu(const std::string& cesta, const std::string& aktualni);
// The directory one level up ("\A\B\" gives "\A\"); the root stays the root.
std::string NadrazenaSlozka(std::string slozka);
// The entries the listing shows for drive + directory + mask (or "*.*" when the mask is empty):
// files by name, directories as "\" + name, "\." and "\.." below the root when the mask takes
// them; sorted alphabetically without regard to case, directories first.
std::vector<std::string> PolozkySlozky(const std::string& disk, const std::string& slozka, const std::string& jmeno);

class TfInOut : public ui::Form {
 public:
  TfInOut();

  // Prepares the window for one use: the caption and the three parts of the initial path.
  void UrciSoubor(const std::string& titulek, const std::string& pocatecni);
  // UrciSoubor, then shown modally: the chosen path, or empty text when nothing was accepted.
  std::string Vyber(const std::string& titulek, const std::string& pocatecni);

  bool Prijato() const { return prijato_; }
  const std::string& Vysledek() const { return vysledek_; }
  const CastiCesty& Stav() const { return stav_; }

  ui::Label& lSlozka;
  ui::Edit& ePath;
  ui::Label& lDisk;
  ui::Edit& ComboBox1;  // the drive; Up and Down walk its items
  ui::Label& lSoub;
  ui::Edit& eSoub;
  ui::Label& lMaska;
  ui::ListBox& ListBox1;
  ui::Button& Button1;
  ui::Label& lVysledek;
  ui::Label& Label5;
  std::vector<std::string> Disky;  // items of the drive box

 protected:
  bool onKey(const ui::KeyEvent& ev) override;
  bool onMouse(const ui::MouseEvent& ev, ui::Control* hit) override;

 private:
  void obnov();
  void vyber();
  void opust(ui::Control* c);
  void zvolDisk(const std::string& text);
  void potvrd();

  CastiCesty stav_;
  std::string vysledek_;
  bool prijato_ = false;
};

// Makes the chooser serve every opener (the viewer, the question form, the record forms).
void RegistrujVolbuSouboru(TfInOut& okno);

}  // namespace pz::reports
