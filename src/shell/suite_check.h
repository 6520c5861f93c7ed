// Whether the suite that started this program still runs. The suite keeps one 16-bit slot per
// user in the session stamp table "UZIVATEL.tab" of the data root (200 bytes, 100 little-endian
// words; word 0 not zero switches the check off). The first reading of this station's slot is
// remembered; a later reading that differs means the suite has gone. Three such readings in a
// row end the program, so that one odd reading does not.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace pz::shell {

class KontrolaSady {
 public:
  enum class Vysledek {
    Bezi,      // the suite is there (or the table could not be read this time)
    Zmizela,   // the slot changed; not yet often enough to end
    Ukoncit,   // the third changed reading in a row: the program must end
  };

  // One check for user `uzivatel` (1..99) on the table at `soubor`. A missing table is created
  // with every word 0 and this user's slot 99. A table that stays busy or cannot be read counts
  // as "the suite is there" for this check: it never spins and never ends the program by itself.
  Vysledek zkontroluj(const std::string& soubor, int uzivatel);
  void vynuluj();  // forgets the remembered slot and the count

  int citac() const { return citac_; }

 private:
  std::optional<std::uint16_t> zapamatovano_;
  int citac_ = 0;
};

inline constexpr const char* kTabulkaUzivatelu = "UZIVATEL.tab";
inline constexpr int kIntervalKontrolyMs = 3000;

}  // namespace pz::shell
