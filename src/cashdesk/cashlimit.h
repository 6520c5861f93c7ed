// The legal limit on cash payments between the same two parties in one day: the sum of the cash
// documents with one partner on one payment date, over every series of the data root, in crowns,
// each direction of payment on its own (receipts "P" and "O", expenditures "V" and "D").
//
// The sums come from a picture of every documents file kept in memory: what each document says of
// partner, payment date, direction and paid crowns. A file is read again only when its size or
// time of change differ from the picture's, or when it changed in the second the picture was taken
// (a later write in that second would not change the time), so a check over many large series
// reads little once the pictures are taken.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "cashdesk/document.h"

namespace pz::cashdesk {

class HotovostDne {
 public:
  // The paid crowns of the documents with partner `partner` on payment date `datum` (DDMMYY) in
  // direction `smer` (+1 receipts, -1 expenditures), over every "PZ??_.dta" of the data root,
  // leaving out record `vynechany` of `souborVynechany` (the document being edited). Nothing when a
  // file cannot be read or the sum is beyond 64-bit ten-thousandths.
  std::optional<Penize> Soucet(int smer, std::uint16_t partner, const std::string& datum,
                               const std::string& souborVynechany, std::int32_t vynechany);
  // The file is about to change here: its picture is taken again at the next check.
  void Zapomen(const std::string& soubor);

 private:
  struct Platba {
    std::int32_t zaznam;
    std::uint16_t partner;
    std::int8_t smer;
    char datum[6];
    std::uint8_t kc[6];  // paid crowns as stored (Real48), decoded only for a matching payment
  };
  struct Obraz {
    std::int64_t velikost = -1;
    std::int64_t zmena = -1;  // time of change, seconds of the local calendar
    bool jisty = false;       // taken after the second of its last change had passed
    std::vector<Platba> platby;
  };
  bool obnov(const std::string& jmeno, Obraz& obraz);
  std::map<std::string, Obraz> obrazy_;  // by the file name in capitals
};

// The limit of the installation in crowns ("sys.par" LimitHotovosti, 270 000 when not set); 0
// turns the check off.
Penize LimitHotovosti();

// The warning before a save, or empty text: the document `d`, stored as record `zaznam` of
// `soubor` (replacing what that record held), would make its partner's cash payments of the day
// in its direction pass `limit`.
std::string VarovaniLimitu(HotovostDne& hotovost, const PokladniDoklad& d, const std::string& soubor,
                           std::int32_t zaznam, Penize limit);

}  // namespace pz::cashdesk
