// Sorting that needs no files: the quicksort of small lists that their owner holds (file lists,
// the cash documents of one series), and the order key of one record when a list is sorted by
// one of its columns. The key is what the file sort of order files compares, byte by byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace pz::storage {

// Items are numbered from 1. mensi(a, b) answers whether item a must come before item b (a strict
// order); prohod(a, b) exchanges the two items in the owner's list.
using MensiPolozka = std::function<bool(int a, int b)>;
using ProhodPolozky = std::function<void(int a, int b)>;

// Sorts items 1 to pocet in place through the two callbacks, calling them only with positions in
// that range. An item is never swapped with itself, so a list already in order sees no swap at
// all, and two items in the wrong order see exactly one swap(1, 2). Not stable.
void SetridPole(int pocet, const MensiPolozka& mensi, const ProhodPolozky& prohod);

// How a column shows its values, which decides how its text becomes a key.
enum class DruhSloupce {
  Text,           // any text: the Czech collation key
  DatumDdMmRr,    // "dd.mm.yy": YYYYMMDD with the year widened (below 40 is 20yy)
  DatumDdMmRrrr,  // "dd.mm.yyyy": YYYYMMDD
};

// An order key holds at most this many characters (the sort entry stores it as a short string).
inline constexpr size_t kDelkaKliceTrideni = 50;
// The record number closes every key, right-aligned in this many positions.
inline constexpr size_t kSirkaCislaVety = 5;

// The order key of record `cisloVety` whose column shows `zobrazeno`: the value (collation key
// or widened date) padded with blanks or cut to 45 characters, then the record number in five
// positions, 50 characters in all. Trailing blanks of the text therefore do not count, and records
// showing the same value keep the order of their numbers. Record numbers above 99999 take more
// positions and leave less of the value. Keys compare as unsigned bytes, as std::string does.
std::string KlicSloupce(std::string_view zobrazeno, DruhSloupce druh, int32_t cisloVety);

}  // namespace pz::storage
