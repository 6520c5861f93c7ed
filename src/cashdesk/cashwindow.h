// TfPZPokl, the cash desk: the record form over the documents of one series ("PZ" + series +
// "_.dta"), with the balance of the box under the list, two sorted views, the blanking of a
// document, the printed voucher, the recoding of old texts, help and the popup menu. The entry of
// a document is its own class (cashentry.h), which the window hands its keys and field hooks.
//
// The program creates it once; the cash desk loop calls OtevriPokladnu with the chosen series,
// NastavStav with its balance, shows it modally and calls ZavriPokladnu.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "cashdesk/cashentry.h"
#include "cashdesk/documents.h"
#include "cashdesk/sortedviews.h"
#include "ui/recordform.h"

namespace pz::cashdesk {

// The rate file of a currency: the drive of the data root + "\TAMBRA3W\" + currency + ".txt".
// Only a currency of letters and digits, or "Kč", names a file; any other text (a path, a
// blank) gives empty text, and the cash desk then has no rate file.
std::string CestaKurzu(const std::string& datovyKoren, const std::string& mena);

class TfPZPokl : public ui::TfSoub {
 public:
  TfPZPokl();
  ~TfPZPokl() override;

  // Opens the cash desk on the document file of a series: `rada` is the 71-byte series record.
  // Sets up the supplement file, the currencies, the rate file, the VAT coefficients, the form
  // and the list, then repairs old dates. False when the document file cannot be opened; the
  // window is then closed again and is not to be shown.
  bool OtevriPokladnu(const std::string& souborDokladu, std::span<const std::uint8_t> rada);
  // The balance caption under the list ("     1 234.50 EUR").
  void NastavStav(const std::string& text);
  const std::string& TextStavu() const { return lStav.text; }
  void ZavriPokladnu();

  // The record of the current row, through a sorted view when one is shown; 0 without rows.
  int AktualniDoklad();
  // True while the series can take another document; otherwise shows why and answers false.
  // A new document is refused before anything else happens when this says no.
  bool LzeZalozitDoklad();
  // The balance caption for a balance in the currency of the box.
  std::string TextZustatku(double stav) const;

  // ---- Window state the document entry works with.
  std::vector<std::uint8_t> Rada;     // the current series record, 71 bytes
  std::string CisloRady;              // its `rada`
  std::string MenaZobrazeni;          // the series `mena`, "Kč" for a series without one ("XXX")
  std::vector<std::uint8_t> Prazdny;  // the blank document every new one starts from
  // The VAT part of a price that includes VAT, r / (r + 100) to four decimals, for the reduced
  // (DAN1), basic (DAN2) and second reduced (DAN3) rate.
  double KoefDan1 = 0, KoefDan2 = 0, KoefDan3 = 0;
  std::string SouborKurzu;            // the rate file of the display currency; empty: none
  Dodatky& DodatkyDph() { return dodatky_; }
  TridenePohledy& Pohledy() { return pohledy_; }

  // The controls under the list.
  ui::Label& lStavText;  // "Stav v pokladně: "
  ui::Label& lStav;      // the balance
  ui::Label& lRada;      // "číslo : 01 - měna : EUR"

  // ---- Hooks of the record form.
  void CtiVetu(int n) override;
  void CtiPuvodni(int n) override;
  void PisVetu(int n) override;
  void NaplnSloupce() override;
  void PoPrekresleni() override;
  void NaF1() override;
  void NaAltF1() override;
  void AltF1Pole(int i) override;
  void NaF4() override;
  void Oprav() override;
  void NaF6() override;
  void NaF7() override;
  void NaF8() override;
  void NaAltF2() override;
  void NaAltF6() override;
  void NaCtrlMezera() override;
  void NaTitulek(int sloupec) override;

  // ---- The entry of a document (F4 and Space above), and what it needs of the series.
  ZadaniDokladu& Zadani() { return zadani_; }
  void ZmenaPole(int i) override;
  void F1Pole(int i) override;
  void Prijmi(int i) override;
  // The series rate (0: each document takes its rate from the rate file) and unit count.
  double KurzRady() const;
  double MnozstviRady() const;
  // Re-reads the balance of the series into the balance label ("Nesoulad." when the series is
  // gone from the series file).
  void ObnovStav();

  // The operations behind F6/F7, F8 and Alt+F2, for the menu and the tests.
  void PrepniPohled(TridenePohledy::Pohled pohled);
  void ZrusDoklad();
  void PrekodujTexty();
  // The cash book of the series (Ctrl+O, popup "Opis").
  void Opis();
  // The overview by partner and period (Ctrl+P, popup "Přehledy").
  void Prehledy();
  // The VAT listing (Ctrl+A, popup "Opis včetně dodatku DPH") and the completion of the VAT
  // supplements (Ctrl+F6).
  void OpisDph();
  void DoplnDodatky();
  // Takes the series' document lock and then its balance lock (finishing a save cut off
  // earlier), for a writer of every document or supplement; false when either was refused.
  bool ZamkniRadu(std::string& zamek, storage::Zamek& z, StavRady& stav);

 protected:
  bool onKey(const ui::KeyEvent& ev) override;

 private:
  bool nastavFormular(const std::string& souborDokladu);
  void nastavMenu();
  void nastavKurzy();
  void pripravSloupce();
  bool zamkniDoklady(std::string& zamek, storage::Zamek& z);
  // Takes the balance lock of the series (the series record is found only when a save of it was
  // cut off, and then that save is undone; the balance caption follows). False when the lock was
  // refused or the undo failed: nothing is to be written.
  bool zamkniStav(StavRady& stav);
  std::string zpravaPoskozeni();

  Dodatky dodatky_;
  TridenePohledy pohledy_;
  std::int64_t poskozeno_ = 0;   // bytes after the last whole document: a damaged file
  ZadaniDokladu zadani_{*this};
};

}  // namespace pz::cashdesk
