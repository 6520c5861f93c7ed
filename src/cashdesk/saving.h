// Saving a cash document, apart from the screen, in two phases.
//
//   prepare   each registered step in its order asks what it must ask and shows what it must
//             show (through storage::interaction()); it writes no data file and takes no lock
//             beyond the series' document lock the entry already holds. A step the user
//             declines is skipped; the document is saved all the same. A step may also send the
//             cashier back to the form (a warning answered No): then nothing is stored.
//   commit    under "STAVZ" + series and the locks the steps name, each asked once more whether
//             it is still held (a lock server that restarted may have given one away; then
//             nothing is written), an intent record left by an earlier save of the series is
//             finished first; then the document, its VAT
//             supplement (kept in step with the documents) and the writes of every prepared step
//             go into one intent record (intent.h) and are stored from it. A failed write puts
//             everything back: the document is not saved and nothing stored changed.
//   after     once every lock of the save is released again, the commit's and the caller's,
//             what waits on the user (the voucher in the report viewer): the caller asks for it
//             (PoUvolneni), since only it knows when its own locks are gone. A modal window
//             there keeps no other station from numbering or saving a document of the series.
//
// The steps come in this order whoever registers them: VAT supplement, invoice payment, the paid
// crowns once more, the limit on cash payments, the printed voucher, the balance, the posting,
// the item work files.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cashdesk/document.h"
#include "cashdesk/invoicepayment.h"

namespace pz::cashdesk {

class StavRady;
class Zamer;

// One save of one document.
struct Ukladani {
  PokladniDoklad doklad;
  std::vector<std::uint8_t> zaznam;       // the 337-byte record the form filled; doklad is stored into it
  std::optional<PokladniDoklad> puvodni;  // the document as stored before an edit; none for a new one
  std::int32_t cisloZaznamu = 0;          // the record it is saved as
  std::string souborDokladu;              // the series' document file (set by the service)
  RadaPokladny rada;
  bool polozky = false;                   // the crown amounts come from the document's items
  char typPolozek = 0;                    // their type, 'T' or 'P'
  std::string statPartnera;               // the partner's state code when the partner was entered
  // The VAT supplement of the document when a step filled one; otherwise a blank one is added
  // only when the supplement file does not reach the document yet.
  std::optional<std::vector<std::uint8_t>> dodatek;
  std::optional<Penize> novyStav;         // the balance after the commit, set by the balance step
  std::vector<std::string> preskocene;    // steps skipped in prepare, by name
  bool zpet = false;                      // a step sent the cashier back to the form
  // Locks the caller took for this save and holds (the series' document lock of a new
  // document): like the commit's own, each must still be held when the commit writes.
  std::vector<std::string> zamkyVolajiciho;
  // A new document of kind "O" or "D" pays the invoice it was filled from; the payment step
  // leaves what it booked for the posting and the voucher.
  std::optional<VazbaFaktury> faktura;
  std::optional<PlatbaDokladu> platbaFaktury;
};

enum class PoradiKroku : int {
  DodatekDph = 10,
  PlatbaFaktury = 20,
  ZaplacenoKc = 30,
  LimitHotovosti = 35,
  TiskDokladu = 40,
  Stav = 50,
  Zauctovani = 60,
  Polozky = 70,
};

class KrokUkladani {
 public:
  virtual ~KrokUkladani() = default;
  virtual std::string_view Nazev() const = 0;
  virtual PoradiKroku Poradi() const = 0;
  // Asks and shows what the step needs and sets what it decides into `u`; writes no data file.
  // False skips the step (declined, or nothing to do): its Zapis does not run.
  virtual bool Priprav(Ukladani& u) = 0;
  // Locks the commit must hold besides "STAVZ" + series (lock paths, taken in write mode).
  virtual std::vector<std::string> Zamky(const Ukladani&) const { return {}; }
  // Adds the step's writes to the intent record, under the commit's locks; `stav` is the series'
  // balance as stored now. False stops the save before anything is stored.
  virtual bool Zapis(Ukladani& u, Zamer& zamer, const StavRady& stav) = 0;
  // After everything is stored: what only a saved document may drop (work files). A crash before
  // it leaves them, which costs nothing stored.
  virtual void PoUlozeni(const Ukladani&) {}
  // Once the stored document's locks are all released (after every step's PoUlozeni): what may
  // wait on the user. A step keeps what it is to show from its PoUlozeni of the same save.
  virtual void PoUvolneni(const Ukladani&) {}
};

enum class VysledekUlozeni {
  Ulozeno,
  BezZamku,   // a lock not had or the series gone ("Nesoulad."): the user has been told; nothing stored
  Neulozeno,  // a write failed: nothing stored changed
  Zpet,       // the cashier went back to the form before anything was stored
};

class SluzbaUkladani {
 public:
  // The steps the cash desk itself has: the paid crowns, the limit on cash payments, the
  // balance and the item work files.
  SluzbaUkladani();
  ~SluzbaUkladani();
  void Registruj(std::unique_ptr<KrokUkladani> krok);
  // The registered steps, in their order.
  std::vector<const KrokUkladani*> Kroky() const;

  // Prepare and commit. Ulozeno when the document, its supplement and every prepared step's
  // writes are stored; otherwise nothing stored changed.
  VysledekUlozeni Uloz(Ukladani& u, const std::string& souborDokladu);
  void Priprav(Ukladani& u, std::vector<KrokUkladani*>& pripravene);
  VysledekUlozeni Proved(Ukladani& u, const std::string& souborDokladu, const std::vector<KrokUkladani*>& pripravene);
  // After Uloz answered Ulozeno and the caller released its own locks of the save (the
  // series' document lock): each step's PoUvolneni, in order. Called once per stored document.
  void PoUvolneni(const Ukladani& u);

 private:
  std::vector<std::unique_ptr<KrokUkladani>> kroky_;
};

// The service the cash desk window saves through; the folders that own a step register it here.
SluzbaUkladani& sluzbaUkladani();

}  // namespace pz::cashdesk
