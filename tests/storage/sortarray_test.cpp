#include "storage/sortarray.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "platform/text.h"

namespace pz::storage {
namespace {

using platform::cz;

// A caller-held list as the owners of SetridPole keep it: item n is hodnoty[n - 1]. It records
// every call so that tests can see what the owner sees.
template <typename T>
struct Seznam {
  std::vector<T> hodnoty;
  std::vector<std::pair<int, int>> prohozeni;
  long porovnani = 0;
  bool mimoRozsah = false;

  void setrid() {
    const int n = static_cast<int>(hodnoty.size());
    auto hlidej = [&](int a, int b) {
      if (a < 1 || a > n || b < 1 || b > n) mimoRozsah = true;
    };
    SetridPole(
        n,
        [&](int a, int b) {
          hlidej(a, b);
          ++porovnani;
          return hodnoty[a - 1] < hodnoty[b - 1];
        },
        [&](int a, int b) {
          hlidej(a, b);
          prohozeni.emplace_back(a, b);
          std::swap(hodnoty[a - 1], hodnoty[b - 1]);
        });
  }
};

// Sorts the list through SetridPole, checks the result against std::sort and returns the number
// of comparisons it took.
long ocekavejSerazeno(std::vector<int> vstup) {
  Seznam<int> s{vstup};
  s.setrid();
  std::sort(vstup.begin(), vstup.end());
  EXPECT_FALSE(s.mimoRozsah);
  EXPECT_EQ(s.hodnoty, vstup);
  return s.porovnani;
}

TEST(SetridPole, SwapsOnlyWhatIsOutOfOrder) {
  Seznam<int> s{{2, 1}};
  s.setrid();
  EXPECT_EQ(s.hodnoty, (std::vector<int>{1, 2}));
  EXPECT_EQ(s.prohozeni, (std::vector<std::pair<int, int>>{{1, 2}}));

  Seznam<int> vPoradi{{1, 2}};
  vPoradi.setrid();
  EXPECT_TRUE(vPoradi.prohozeni.empty());
  EXPECT_EQ(ocekavejSerazeno({7}), 0);
}

TEST(SetridPole, SortsSmallListsInEveryArrangementAndLargeOnesInNLogN) {
  std::vector<int> p = {1, 2, 3, 4, 5, 6, 7};
  do {
    ocekavejSerazeno(p);
  } while (std::next_permutation(p.begin(), p.end()) && !HasFailure());
  // Repeated values: every list of length 6 over three values.
  for (int kod = 0; kod < 729 && !HasFailure(); ++kod) {
    std::vector<int> v;
    for (int k = kod, i = 0; i < 6; ++i, k /= 3) v.push_back(k % 3);
    ocekavejSerazeno(v);
  }

  const int n = 10000;  // the largest list an owner hands over
  std::mt19937 nahoda(5);
  std::vector<int> nahodne(n), malo(n), vzestupne(n), sestupne(n), pila(n);
  for (int i = 0; i < n; ++i) {
    nahodne[i] = static_cast<int>(nahoda() % 100000);
    malo[i] = static_cast<int>(nahoda() % 4);
    vzestupne[i] = i;
    sestupne[i] = n - i;
    pila[i] = i % 100;
  }
  for (const auto& v : {nahodne, malo, vzestupne, sestupne, pila, std::vector<int>(n, 3)}) {
    // A quadratic sort would need thousands of comparisons per item.
    EXPECT_LT(ocekavejSerazeno(v), 40L * n);
  }
}

// Sorts records (numbered from 1) by the keys of one column, the way a list sorted by a column
// header shows them, and gives the record numbers in display order.
std::vector<int> poradiVet(const std::vector<std::string>& zobrazene, DruhSloupce druh) {
  Seznam<std::pair<std::string, int>> s;
  for (size_t e = 0; e < zobrazene.size(); ++e) {
    const int cislo = static_cast<int>(e) + 1;
    const std::string klic = KlicSloupce(zobrazene[e], druh, cislo);
    EXPECT_EQ(klic.size(), kDelkaKliceTrideni) << zobrazene[e];
    s.hodnoty.emplace_back(klic, cislo);
  }
  s.setrid();
  std::vector<int> vety;
  for (const auto& [klic, cislo] : s.hodnoty) vety.push_back(cislo);
  return vety;
}

TEST(KlicSloupce, NameColumnSortsInCzechOrder) {
  const std::vector<std::string> jmena = {cz("Ivančice"), cz("Děčín"), cz("Chrudim"), cz("Hradec"),
                                          cz("Čáslav"), cz("Cvikov")};
  EXPECT_EQ(poradiVet(jmena, DruhSloupce::Text), (std::vector<int>{6, 5, 2, 4, 3, 1}));
}

TEST(KlicSloupce, EqualValuesKeepTheOrderOfTheirRecordNumbers) {
  // Shown values are padded to the column width; a shorter value sorts before a longer one that
  // begins with it, whatever digits the record numbers have.
  std::vector<std::string> jmena(12000, "Novak     ");
  jmena[9] = "Nova      ";
  jmena[10] = "Novak    X";
  jmena[11999] = "Nova";
  const std::vector<int> poradi = poradiVet(jmena, DruhSloupce::Text);
  EXPECT_EQ(poradi[0], 10);
  EXPECT_EQ(poradi[1], 12000);
  EXPECT_EQ(poradi.back(), 11);
  EXPECT_TRUE(std::is_sorted(poradi.begin() + 2, poradi.end() - 1));
}

TEST(KlicSloupce, LongTextsKeepTheRecordNumber) {
  const std::string dlouhy(60, 'A');
  const std::vector<std::string> texty = {dlouhy + "Z", dlouhy, dlouhy + "B"};
  // The texts differ only beyond the 45th character, so the record number decides.
  EXPECT_EQ(poradiVet(texty, DruhSloupce::Text), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(KlicSloupce(dlouhy, DruhSloupce::Text, 7), std::string(45, 'A') + "    7");
}

TEST(KlicSloupce, DatesSortByTheWidenedYear) {
  const std::vector<std::string> data = {"01.01.05", "31.12.99", "15.06.39", "01.01.40",
                                         "  .  .  ", "02.01.05", "01.02.05", "01.01.O5", "01.01.l9"};
  // Empty first, then 1940, 1999, 2005 (O5 read as 05, after 05 by record number), 2019, 2039.
  EXPECT_EQ(poradiVet(data, DruhSloupce::DatumDdMmRr),
            (std::vector<int>{5, 4, 2, 1, 8, 6, 7, 9, 3}));
  EXPECT_EQ(KlicSloupce("31.12.99", DruhSloupce::DatumDdMmRr, 12), "19991231" + std::string(37, ' ') + "   12");

  const std::vector<std::string> dlouha = {"01.01.2005", "31.12.1999", "31.01.2005", "          "};
  EXPECT_EQ(poradiVet(dlouha, DruhSloupce::DatumDdMmRrrr), (std::vector<int>{4, 2, 1, 3}));
}

}  // namespace
}  // namespace pz::storage
