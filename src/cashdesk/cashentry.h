// ZadaniDokladu, the entry of one cash document in the cash desk window: a new document (F4)
// under the series' document lock, the edit of a stored one (Space), the field checks with their
// calculations and the rate lookup, the field help of the partner and the rate, and the hand-over
// of the finished document to the save service.
//
// The window owns one and forwards its entry hooks to it; everything that lives only while a
// document is being entered is kept here, while the series, its balance and the list stay in the
// window.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cashdesk/invoicepayment.h"
#include "cashdesk/saving.h"

namespace pz::registers {
class TfOrg;
}

namespace pz::cashdesk {

class TfPZPokl;

class ZadaniDokladu {
 public:
  explicit ZadaniDokladu(TfPZPokl& okno);
  ~ZadaniDokladu();
  ZadaniDokladu(const ZadaniDokladu&) = delete;
  ZadaniDokladu& operator=(const ZadaniDokladu&) = delete;

  // A new series is open: nothing of an earlier entry carries over.
  void NovaRada();
  // F4 and Space in the list.
  void Novy();
  void Oprav();
  // The hooks of the edit form.
  void ZmenaPole(int i);
  void F1Pole(int i);
  void Prijmi(int i);

  // The currency of the document being entered: the series `mena`, or what the cashier named
  // for a series without one ("XXX").
  const std::string& MenaDokladu() const { return mena_; }

 private:
  bool zmenilJiny();
  bool ulozDoklad();
  // Once the form is closed and the document lock released: what the save shows (the voucher).
  void poUvolneni();
  void konecStavu();  // forgets the document that was entered
  void konec();       // and shows the list as it now is
  double cislo(int i) const;
  void nastavCislo(int i, double hodnota);
  void chybaVypoctu(int i);
  bool prepocti(int zdroj, double castka, double kurz, int cil, bool naKoruny);
  void prepoctiKurz();
  bool nactiKurz();
  int vyberPartnera();
  registers::TfOrg& partneri();
  void kontrolaPartnera();
  void zacniPolozky();  // a new entry starts without items
  // After the text of a receipt or an expenditure: the choice of items, their window and, when
  // they are used, their totals as the document's crown amounts.
  void vstupPolozek(const std::string& druh);
  // Kinds "O" and "D" of a new document: the paid invoice chosen and the form filled from it.
  void vyberFaktury(const std::string& druh);

  TfPZPokl& okno_;
  std::string mena_;
  bool novy_ = false;                // the form holds a new document (F4)
  int opravovany_ = 0;               // record of the document being edited (Space)
  std::vector<std::uint8_t> kopie_;  // that document as the edit found it
  std::int32_t novyZaznam_ = 0;      // record the new document (F4) is numbered as
  std::string zamekDokladu_;         // the series' document lock it is numbered under, when held
  int partner_ = 0;                  // partner number of the document before the edit
  std::string statPartnera_;         // the state code of the partner entered, for the VAT supplement
  std::string typVstupu_;            // items of the document being entered: "", "T" or "P"
  std::optional<std::string> textBezPolozek_;  // the text the items were declined at
  std::unique_ptr<registers::TfOrg> partneri_;  // the partner list the entry chooses from
  // The payment date whose lookup left the rate at 0 (the rate field stays in error until a rate
  // is typed or the cashier keeps the zero), and the date whose zero the cashier kept.
  std::string denBezKurzu_, nulaPotvrzena_;
  std::string hlasenyPrepocet_;  // the date whose unit conversion was announced
  std::optional<VazbaFaktury> vazba_;  // the invoice a new "O" or "D" document pays
  std::optional<Ukladani> ulozeny_;    // the save that stored the document, until it is shown
};

}  // namespace pz::cashdesk
