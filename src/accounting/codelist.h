// TfCiselnik: a code list of the accounting link kept in order of its code. The code is the
// first field of the record (a short string at offset 0); a blank code marks a deleted record.
// The chart of accounts, the cost centres, the job orders and the posting templates are each a
// subclass that declares its fields in Deklaruj and names its file, code width and messages.
//
// What the base keeps:
//   - order: a new record moves up from the end, an edited one up or down, a deleted one (blank
//     code) to the start; the current row follows the moved record;
//   - the free test: new, edit and delete are refused with a message while another station uses
//     the file (two stations shifting records at once would overwrite each other);
//   - the change date of a record stored by the form is today;
//   - set-up once per run (Nastav), the window's close leaves the file open, and the close at the
//     end of the task (ZavriSeznam, through DokonciUlohu) compacts it: deleted records are left
//     out and the rest sorted into a work file that then replaces the file, while this station
//     holds it alone; the same happens when a load left the file out of order;
//   - the binary search on the code and the list shown as a chooser.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ui/recordform.h"

namespace pz::accounting {

// A short string of `sirka` characters at `offset`, padded with blanks to the width.
std::string TextVety(const std::vector<std::uint8_t>& veta, std::size_t offset, int sirka);
// Stores `text` padded with blanks (or cut) to the width, length byte = width.
void PisTextVety(std::vector<std::uint8_t>& veta, std::size_t offset, int sirka, std::string_view text);
// Today as YYMMDD.
std::string DnesRRMMDD();

struct PopisCiselniku {
  std::string soubor;         // the record file in the data root
  int sirkaKodu = 0;          // characters of the code
  int velikost = 0;           // bytes of a record
  std::string zpravaTrideni;  // flashing message of the closing sort
};

class TfCiselnik : public ui::TfSoub {
 public:
  TfCiselnik(std::string nazev, PopisCiselniku popis);

  // Defines the fields, opens the file and makes the new-record template the first time it is
  // called in a run (again after ZavriSeznam); later calls do nothing.
  void Nastav();
  bool Nastaveno() const { return nastaveno_; }

  // Binary search on the code over records 1..count: the record number, or minus the record
  // where the search ended (-1 before the first or after the last code). A blank code is never
  // found. Nastav first.
  int HledejKod(std::string_view kod);
  // The code of a record held in a buffer.
  std::string KodVety(const std::vector<std::uint8_t>& veta) const;
  // A text field of the record with code `kod`, or `sirka` blanks when no record has it. The
  // window's record buffer is left as it was (a picker may be showing it). Nastav first.
  std::string TextKodu(std::string_view kod, std::size_t offset, int sirka);

  // Shows the list as a chooser positioned at `kod` (or the nearest code); the number of the
  // picked record, whose bytes are then in Veta(), or 0 when the user left with Esc. The window
  // is closed afterwards, which leaves the file open.
  int Vyber(std::string_view kod);

  // Opens the window as the register itself: set-up, list, close.
  void Ukaz();

  // The window's close: the file stays open until the end of the task.
  void Zavri() override;
  // The close at the end of the task: the compaction when the file needs it and no other station
  // uses it, then the file is closed.
  void ZavriSeznam();
  // True when the file needs the closing sort: a deleted record, or codes out of order.
  bool PotrebujeTrideni();

  // Moves record `zaznam` up or down to its place by code; the place it landed on.
  int Zatrid(int zaznam);


  // SablonaVety, the new-record template, holds the defaults with the set-up day's change date.
  const PopisCiselniku& Popis() const { return popis_; }

 protected:
  // OtevriSoub and the field declarations of the subclass; the field of the change date.
  virtual void Deklaruj() = 0;
  virtual int PoleData() const = 0;
  // The columns of the list: field numbers in the order shown; titles are the labels cut or
  // padded to the field's width.
  void NastavSloupcePoli(const std::vector<int>& pole);

  void NaF4() override;
  void Oprav() override;
  void NaF8() override;
  void Prijmi(int i) override;
  void NaplnSloupce() override;
  void PriMazani() override;

  // Answers true when no other station uses the file; otherwise shows `zprava` and answers false.
  bool Volno(const char* zprava);

 private:
  void registrujZavreni();
  bool setrid();
  // Removes the order files of the list (positions they hold are wrong once records move).
  void zrusPoradi();
  PopisCiselniku popis_;
  bool nastaveno_ = false;
  std::vector<int> sloupcePoli_;
};

using ui::PosledniOkno;

}  // namespace pz::accounting
