// The VAT supplement of a cash document ("Dodatek k DPH"): the crown amount of a receipt or an
// expenditure broken down into at most ten lines of the VAT return, with the partner's state,
// VAT number and EU summary-report code. One 512-byte record per document in the series'
// supplement file (SouborDodatku), at the document's record number.
//
//   offset  0   short string of 10   document key: "000" + series + ident
//          11   short string of 5    partner's state (two-letter code, blank-padded)
//          17   Real48               total in crowns the lines should add up to
//          23   10 × 22 bytes        lines: mark (short string of 3), base (Real48), tax (Real48),
//                                    reduced-deduction mark (short string of 5, "K" when reduced)
//         243   short string of 1    supply code of the earlier layout (hidden)
//         245   short string of 16   partner's VAT number
//         262   short string of 2    EU summary-report supply code
//         265   reserved to 512
//
// A free line has the mark "   ", amounts 0 and the mark "     "; a supplement whose total is 0
// counts as empty. The mark "999" is a transaction outside the VAT return.
//
// Money: amounts are kept in ten-thousandths and stored as the two-decimal amounts the form shows;
// a tax is base × rate / 100 to four decimals (ties to even), then to haléře.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "cashdesk/document.h"
#include "ui/recordform.h"

namespace pz::cashdesk {

class KrokUkladani;

struct tDodatekDph {
  static constexpr std::size_t kKlic = 0, kStat = 11, kCelkem = 17, kRadky = 23, kKod1 = 243, kDic = 245, kKod = 262;
  static constexpr std::size_t kSirkaKlice = 10, kSirkaStatu = 5, kSirkaDic = 16, kSirkaKodu = 2;
  static constexpr std::size_t kRadek = 22, kOznaceni = 0, kZaklad = 4, kDan = 10, kKraceni = 16;
  static constexpr int kPocetRadku = 10;
};

struct RadekDph {
  std::string oznaceni = "   ";  // line of the VAT return, three characters
  Penize zaklad = 0, dan = 0;
  std::string kraceni = "     ";  // "K    " when the deduction is reduced
  bool Volny() const;
};

class DodatekDph {
 public:
  explicit DodatekDph(std::vector<std::uint8_t> bajty = {});
  const std::vector<std::uint8_t>& Bajty() const { return b_; }

  std::string Klic() const;
  void NastavKlic(const std::string& klic);
  std::string Stat() const;
  void NastavStat(const std::string& stat);
  Penize Celkem() const;
  void NastavCelkem(Penize celkem);
  std::string Dic() const;
  void NastavDic(const std::string& dic);
  std::string Kod() const;
  bool Prazdny() const { return Celkem() == 0; }

  RadekDph Radek(int i) const;  // i from 1 to 10
  void NastavRadek(int i, const RadekDph& r);
  void UvolniRadek(int i) { NastavRadek(i, RadekDph{}); }
  void UvolniRadky();
  // Adding (items): the line with the same mark and reduced-deduction mark gets the amounts
  // added, else the first free line takes them. A blank or "000" mark adds nothing. False when
  // all ten lines are in use and none matches: the amounts are dropped.
  bool Pridej(const std::string& oznaceni, Penize zaklad, Penize dan, const std::string& kraceni);
  // Placing (line rules): the first free line takes them; a blank mark places nothing. False
  // when no line was free.
  bool Umisti(const std::string& oznaceni, Penize zaklad, Penize dan, const std::string& kraceni);
  // The supply codes as read: the hidden one made " " when empty, and the visible one taken from
  // it when blank.
  void Normalizuj();

 private:
  std::vector<std::uint8_t> b_;
};

// base × rate / 100, to four decimals with ties to even, then to haléře.
Penize DanZakladu(Penize zaklad, double sazba);

// What filling a supplement needs of its document.
struct PodkladDodatku {
  PokladniDoklad doklad;
  std::string rada;          // series number
  char typPolozek = 0;       // 'T' or 'P' when the crown amounts come from the items
};

// The header of a supplement as saving sets it: key, total = paid crowns, the VAT number, and the
// state from it when it is still blank.
void NastavHlavicku(DodatekDph& d, const PodkladDodatku& p, bool sDic);
// The lines from the item work file of the document's type; the marks whose amounts no line could
// take are answered.
std::vector<std::string> RadkyZPolozek(DodatekDph& d, const PodkladDodatku& p);
// The lines of a document without items by the rules from 2009 (`od2009`) or of 2004-2008,
// through the VAT line choosers.
void RadkyPodlePravidel(DodatekDph& d, const PodkladDodatku& p, bool od2009);
// True for a receipt or an expenditure whose date (DDMMYY) is not before 1 May 2004.
bool PodlehaDodatku(const PokladniDoklad& d, const std::string& datum);

// The supplement form of the cash desk: the record form over the supplement file, shown in edit
// mode for one supplement. F5 splits a "999" line into 007 and 043, F6 rebuilds the lines from
// the document, F8 clears a line and Ctrl+F8 all of them; F1 chooses the state, a line of the
// VAT return or the supply code.
class TfAPZ : public ui::TfSoub {
 public:
  TfAPZ();
  // Shows `d` for correction; what the form holds when it closes (Esc included) comes back.
  DodatekDph Uprav(const std::string& souborDokladu, const DodatekDph& d, const PodkladDodatku& p);

  void F1Pole(int i) override;
  void F5Pole(int i) override;
  void F6Pole(int i) override;
  void F8Pole(int i) override;
  void CtrlF8Pole(int i) override;
  void ZmenaPole(int i) override;
  void PredFormularem() override;

 private:
  bool otevri(const std::string& souborDokladu);
  DodatekDph zForm();
  void doFormu(const DodatekDph& d);
  PodkladDodatku podklad_;
};

// The save step that fills, shows and hands over the supplement of a receipt or an expenditure.
std::unique_ptr<KrokUkladani> KrokDodatkuDph();

}  // namespace pz::cashdesk
