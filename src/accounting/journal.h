// The windows of accounting entries, both titled " Účetní zápis ": the journal TfUc over a whole
// batch (the correction run of "PZUC.dta" shows it), and the voucher window TfUp over the entries
// of one voucher (the posting shows its proposal there and appends what the user confirms).
//
// Both are record forms over an entry file (138-byte records): running debit and credit sums
// and their difference beside the form, pickers on Enter in the fields marked ">", and a text
// entry mode shared by both windows. The journal adds the correction keys (insert before,
// duplicate, zero amounts of the marked entries) and its menu: sort, forced agenda, the date
// services with their backup copy, and the hidden conversions behind Ctrl + right button.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "accounting/entries.h"
#include "ui/recordform.h"

namespace pz::accounting {

// Choosers of higher layers that the text entry modes open; each picks nothing (empty text)
// until the program registers it at start.
struct SluzbyZapisu {
  // The texts list `soubor` under `titulek` as a chooser: the picked text.
  std::function<std::string(const std::string& soubor, const std::string& titulek)> vyberTextu;
  // The business partners as a chooser: the picked partner's name.
  std::function<std::string()> vyberPartnera;
};
SluzbyZapisu& sluzbyZapisu();

// The text entry mode, 1 to 4 ("par\dphint.par" key "UP DoTextu"; missing or zero counts as 1).
int RezimTextu();
// The choice "Zvol způsob vstupu do textu"; Esc stores 1.
void ZvolRezimTextu();

// A date mask from an answer "MMRR nebo RR": blanks removed, right-aligned in six characters,
// "*" on the left. A DDMMYY date matches where the mask is not "*".
std::string MaskaData(const std::string& odpoved);
bool DatumOdpovida(const std::string& datum, const std::string& maska);

class TfZapisy : public ui::TfSoub {
 public:
  // Field numbers of the form, in record order.
  enum : int { kAgenda = 1, kCisloUP, kRadek, kText, kUcetMD, kStrMD, kZakMD, kUcetDal, kStrDal, kZakDal, kCastka,
               kDatum, kParUdaj };

  TfZapisy(std::string nazev, bool predpis);

  // Set-up on an entry file ("=" + path for a work file) with the voucher counter for new
  // entries; the agenda is taken from the name.
  bool Nastav(const std::string& soubor, const std::string& citac);
  const std::string& Agenda() const { return agenda_; }
  const std::string& Citac() const { return citac_; }

  // Every entry of the file, read through the window's open file; ZapisyCele tells whether the
  // last call read them all (a read error leaves some out, and they must not be written back).
  std::vector<tUcZapis> Zapisy();
  bool ZapisyCele() const { return cele_; }
  // Says that the entries could not all be read and nothing was changed.
  void ZpravaNecele();
  // The sums (without account 701000) over the whole file, into the side texts.
  Strany Prepocti();
  const Strany& Soucty() const { return strany_; }
  // Replaces the file by `zapisy` (a work file beside it, then one rename) while no other
  // station uses it; the list shows the new file. False with a message otherwise.
  bool Prepis(const std::vector<tUcZapis>& zapisy);

  // Hooks of the record form.
  void ZmenaPole(int i) override;
  void EnterPole(int i) override;
  void PredFormularem() override;
  void NaF4() override;
  void Oprav() override;
  void PriMazani() override;

 protected:
  // After an entry was stored at record `zaznam` (new or edited).
  virtual void PoUlozeni(int zaznam, const tUcZapis& z);
  // At the end of Nastav: what a window keeps from one use to the next starts again.
  virtual void PriNastaveni() {}
  // The entry a new one starts from; nullopt refuses the new entry (after a message).
  virtual std::optional<tUcZapis> NovyZapis();
  // The entry at the current row (nullopt when there is none).
  std::optional<tUcZapis> Aktualni();
  void bocniTexty();
  bool predpis_;
  std::string soubor_, agenda_, citac_;
  Strany strany_;
  int pozice_ = 0;  // the record the form edits (the new one: count + 1)
  bool novy_ = false;  // the form takes a new entry (F4), not an edit
  bool cele_ = true;   // the last Zapisy read every entry
  // Lines 2 to 10 of the template chosen on the first entry of a voucher, written after it.
  std::vector<tUcZapis> sablona_;

 private:
  void textPodleRezimu();
  void parovani();
};

class TfUc : public TfZapisy {
 public:
  explicit TfUc(std::string nazev = "fUc");
  ~TfUc() override;

  void NaF1() override;
  void NaCtrlF4() override;
  void NaAltF4() override;
  void NaCtrlF8() override;
  void NaCtrlPravy() override;

  // The menu's services; each answers whether it changed the file.
  bool VlozZaznam();  // the current entry duplicated in its place
  bool Setrid(int podle);  // 1 agenda .. 12 pairing key, in the order of "Setřídit dle"
  bool VnutAgendu();
  void KontrolaDatumu();
  bool ZamenaDatumu();
  bool OpravaRoku2000();
  bool PrepocetNaEura();
  bool OpravaRozdilu();
  // "Uprav šířky": every column at the default width of its field, the window as wide as they.
  void UpravSirky();

 protected:
  void PriNastaveni() override { citacNaKonci_ = false; }
  std::optional<tUcZapis> NovyZapis() override;
  void PoUlozeni(int zaznam, const tUcZapis& z) override;

 private:
  void polozka(std::size_t k, const char* text, bool povolena, std::function<void()> akce);
  // A folder "YYMMDD-HHMMSS" in the data root with a copy of the file as "UC01.dta"; its path
  // (with the final "\"), or empty text when the copy failed (after a message).
  std::string zaloha();
  bool citacNaKonci_ = false;
  bool prepocteno_ = false;  // "Přepočet na EURa" ran in this run
  std::string stara_ = "      ", nova_ = "      ";  // the last answers of "Záměna datumu"
};

class TfUp : public TfZapisy {
 public:
  TfUp();
  ~TfUp() override;

  void NaF1() override;
  // F2 and a click on the picture: the next document image of "ep.par", from 00 again after
  // the last one.
  void NaF2() override;
  void NaF6() override;
  void PredKoncem() override;
  std::string SouborObrazku(int n) override;
  void Sestav() override;
  // Enter after "Zapsat do účetnictví?" was answered yes, Esc otherwise.
  int Vysledek = 27;

 protected:
  void PriNastaveni() override;
  bool onMouse(const ui::MouseEvent& ev, ui::Control* hit) override;
  bool onKey(const ui::KeyEvent& ev) override;
  // Ctrl+Space: the set's text opened for editing (created empty when missing); Ctrl+Space or
  // Esc again stores it.
  void NaCtrlMezera() override;
  std::optional<tUcZapis> NovyZapis() override;
  void PoUlozeni(int zaznam, const tUcZapis& z) override;

 private:
  std::optional<tUcZapis> posledni_;  // the entry created or edited last in the window
  // Document images: directory and set from "ep.par", and the number of the one shown.
  std::string adresarObrazku_, sadaObrazku_;
  int cisloObrazku_ = 0;
  bool upravaTextu_ = false;
  std::string souborTextu() const { return adresarObrazku_ + sadaObrazku_ + ".txt"; }
  void ulozText();
};

// The windows of this run (the program creates them at start).
TfUc& Denik();
TfUp& PredpisOkno();

// The correction run of a batch: a work copy "opr.wrk" corrected in the journal and written back
// only when it balances, while the batch is held for writing; otherwise the batch stays byte for
// byte as it was.
void OpravyDavky(const std::string& davka);

// The voucher window over `zapisy` (a work file of the working directory), its cursor on entry
// `radek` (from 1): the entries as the user left them when "Zapsat do účetnictví?" was answered
// yes, nullopt otherwise.
std::optional<std::vector<tUcZapis>> UkazPredpis(const std::vector<tUcZapis>& zapisy,
                                                 const std::string& citac = "00000101", int radek = 1);

}  // namespace pz::accounting
