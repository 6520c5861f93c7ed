#include "storage/sortarray.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "storage/czech.h"
#include "storage/fields.h"
#include "storage/textutil.h"

namespace pz::storage {

void SetridPole(int pocet, const MensiPolozka& mensi, const ProhodPolozky& prohod) {
  if (pocet < 2) return;
  // Ranges still to sort. The smaller part is always sorted first and the larger one waits here,
  // so the stack never holds more than log2(pocet) ranges.
  std::vector<std::pair<int, int>> cekajici;
  int lo = 1;
  int hi = pocet;
  for (;;) {
    int i = lo;
    int j = hi;
    int p = lo + (hi - lo) / 2;  // the pivot's position; it moves with the pivot when swapped
    do {
      while (mensi(i, p)) ++i;
      while (mensi(p, j)) --j;
      if (i <= j) {
        if (i < j) {
          prohod(i, j);
          if (p == i) {
            p = j;
          } else if (p == j) {
            p = i;
          }
        }
        ++i;
        --j;
      }
    } while (j >= i);

    // Now lo..j holds nothing after the pivot and i..hi nothing before it.
    std::pair<int, int> mensiCast{lo, j};
    std::pair<int, int> vetsiCast{i, hi};
    if (j - lo > hi - i) std::swap(mensiCast, vetsiCast);
    if (vetsiCast.second > vetsiCast.first) cekajici.push_back(vetsiCast);
    if (mensiCast.second > mensiCast.first) {
      lo = mensiCast.first;
      hi = mensiCast.second;
    } else if (!cekajici.empty()) {
      lo = cekajici.back().first;
      hi = cekajici.back().second;
      cekajici.pop_back();
    } else {
      return;
    }
  }
}

namespace {

std::string znaky(std::string_view text, size_t od, size_t pocet) {
  return NaSirku(od < text.size() ? text.substr(od) : std::string_view(), pocet);
}

// A two-digit year widened to four: below 40 is 20yy, any other 19yy. Older data may carry the
// letter O or l for the first digit, read as 0 or 1. A year that is not two digits (an empty
// date) gets a blank century, so empty dates sort before every date.
std::string rozsirRok(std::string rok) {
  rok[0] = dateDigit(rok[0]);
  const bool cislice = rok[0] >= '0' && rok[0] <= '9' && rok[1] >= '0' && rok[1] <= '9';
  if (!cislice) return "  " + rok;
  return std::to_string(widenYear((rok[0] - '0') * 10 + (rok[1] - '0')));
}

}  // namespace

std::string KlicSloupce(std::string_view zobrazeno, DruhSloupce druh, int32_t cisloVety) {
  std::string hodnota;
  switch (druh) {
    case DruhSloupce::Text:
      hodnota = CeskyKlic(zobrazeno);
      break;
    case DruhSloupce::DatumDdMmRr:
      hodnota = rozsirRok(znaky(zobrazeno, 6, 2)) + znaky(zobrazeno, 3, 2) + znaky(zobrazeno, 0, 2);
      break;
    case DruhSloupce::DatumDdMmRrrr:
      hodnota = znaky(zobrazeno, 6, 4) + znaky(zobrazeno, 3, 2) + znaky(zobrazeno, 0, 2);
      break;
  }
  const std::string cislo = DoplnZleva(std::to_string(cisloVety), kSirkaCislaVety);
  // The value is padded with blanks (the blank is its own weight) or cut to one width, so a value
  // that is the beginning of another sorts first whatever digits the record numbers have; it is
  // the value that is cut, never the record number, which keeps equal values in record order.
  const size_t sirkaHodnoty = kDelkaKliceTrideni - std::min(cislo.size(), kDelkaKliceTrideni);
  return NaSirku(hodnota, sirkaHodnoty) + cislo;
}

}  // namespace pz::storage
