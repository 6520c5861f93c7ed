#include "storage/czech.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "platform/text.h"
#include "storage/textutil.h"

namespace pz::storage {
namespace {

using platform::cz;

// Sorts UTF-8 names the way a list sorted by the collation key shows them.
std::vector<std::string> poCesku(std::vector<std::string> jmena) {
  std::sort(jmena.begin(), jmena.end(), [](const std::string& a, const std::string& b) {
    return CeskyKlic(cz(a)) < CeskyKlic(cz(b));
  });
  return jmena;
}

TEST(CeskaVelkaPismena, CapitalisesOnlyTheLettersTheKeysAreComparedUnder) {
  EXPECT_EQ(VelkaPismena(cz("příliš žluťoučký kůň úpěl ďábelské ódy")),
            cz("PŘÍLIŠ ŽLUťOUČKÝ Kůň ÚPĚL ďÁBELSKÉ ÓDY"));
  EXPECT_EQ(VelkaPismena(cz("par\\okna2.par")), "PAR\\OKNA2.PAR");
  EXPECT_EQ(VelkaPismena(cz("Šířka")), VelkaPismena(cz("ŠÍŘKA")));
  EXPECT_NE(VelkaPismena(cz("ů")), VelkaPismena(cz("Ů")));
  EXPECT_EQ(VelkePismeno('a'), 'A');
  EXPECT_EQ(VelkePismeno(cz("ž")[0]), cz("Ž")[0]);
  // Digits, punctuation and bytes above 127 that are not listed do not move.
  const std::string ostatni = cz("0123 .:\\-_ ä ö ü ľ ĺ ô ß € § ×");
  EXPECT_EQ(VelkaPismena(ostatni), ostatni);
}

TEST(Diakritika, RemovalLeavesPlainLettersOfTheSameCase) {
  EXPECT_EQ(BezDiakritiky(cz("Příliš žluťoučký kůň úpěl ďábelské ódy")),
            "Prilis zlutoucky kun upel dabelske ody");
  EXPECT_EQ(BezDiakritiky(cz("ŠČŘŽÝÁÍÉŮÚĚŤĎŇ")), "SCRZYAIEUUETDN");
  EXPECT_EQ(BezDiakritiky(cz("Łódź, Győr, Košice, Mörbisch, Kraków, Piešťany")),
            "Lodz, Gyor, Kosice, Morbisch, Krakow, Piestany");
  EXPECT_EQ(BezDiakritiky(cz("12,50 € § ×")), cz("12,50 € § ×"));
  EXPECT_EQ(BezDiakritiky(cz("ř")[0]), 'r');
}

TEST(HledaciTvar, SearchesIgnoreCaseAndAccents) {
  EXPECT_EQ(HledaciTvar(cz("Kůň")), "KUN");
  EXPECT_EQ(HledaciTvar(cz("KŮŇ")), "KUN");
  EXPECT_EQ(HledaciTvar(cz("Ďábelské ódy")), "DABELSKE ODY");
}

TEST(CeskyKlic, PlaceNamesSortInCzechOrder) {
  EXPECT_EQ(poCesku({"Ivančice", "Děčín", "Chrudim", "Hradec", "Čáslav", "Cvikov", "Brno"}),
            (std::vector<std::string>{"Brno", "Cvikov", "Čáslav", "Děčín", "Hradec", "Chrudim",
                                      "Ivančice"}));
  // Lower case, in the middle of a word, and the capital before the small letter.
  EXPECT_EQ(poCesku({"ibis", "chata", "hrad", "Bochov", "Bohumín", "Bozkov"}),
            (std::vector<std::string>{"Bohumín", "Bochov", "Bozkov", "hrad", "chata", "ibis"}));
  EXPECT_EQ(poCesku({"řada", "Řada", "rada", "Rada", "sada"}),
            (std::vector<std::string>{"Rada", "rada", "Řada", "řada", "sada"}));
}

TEST(CeskyKlic, EveryChInATextIsOneLetter) {
  // The second CH counts too: Hlinsko (H) comes before Chotěboř (CH).
  EXPECT_EQ(poCesku({"Chlum u Chotěboře", "Chlum u Hlinska", "Chlum u Ivančic"}),
            (std::vector<std::string>{"Chlum u Hlinska", "Chlum u Chotěboře", "Chlum u Ivančic"}));
  EXPECT_EQ(CeskyKlic("Ach ach").size(), 5u);
  // "cH" is no group: c then H.
  EXPECT_EQ(poCesku({"cHa", "cia", "ca"}), (std::vector<std::string>{"ca", "cHa", "cia"}));
}

TEST(CeskyKlic, FullAlphabetInCollationOrder) {
  const std::vector<std::string> abeceda = {
      " ", "0", "9", "@", "A", "a", "Á", "á", "Â", "Ă", "Ä", "ä", "B", "b", "C", "c", "Č", "č",
      "D", "d", "Ď", "ď", "E", "e", "É", "é", "Ě", "ě", "ę", "ë", "F", "f", "G", "g", "H", "h",
      "CH", "Ch", "ch", "I", "i", "Í", "í", "î", "J", "j", "K", "k", "L", "l", "Ĺ", "ľ", "M", "m",
      "N", "n", "Ň", "ň", "O", "o", "Ó", "ó", "ő", "Ô", "ô", "Ő", "Ö", "ö", "P", "p", "Q", "q",
      "R", "r", "Ř", "ř", "S", "s", "Š", "š", "T", "t", "Ť", "ť", "U", "u", "Ú", "ú", "Ů", "ů",
      "Ű", "ű", "Ü", "ü", "V", "v", "W", "w", "X", "x", "Y", "y", "Ý", "ý", "Z", "z", "Ž", "ž",
      "[", "\\", "]", "^", "_", "`", "{", "|", "}", "~", "€", "Ł", "×", "ß"};
  std::vector<std::string> zamichana = abeceda;
  std::shuffle(zamichana.begin(), zamichana.end(), std::mt19937(1250));
  EXPECT_EQ(poCesku(zamichana), abeceda);
}

TEST(CeskyKlic, NoBreakSpaceSortsAsABlankNotAsCh) {
  // Names copied from outside services may carry a no-break space (code 160).
  const std::string pevna = cz("Nový") + '\xA0' + "Jicin";
  EXPECT_EQ(CeskyKlic(pevna), CeskyKlic(cz("Nový Jicin")));
  EXPECT_LT(CeskyKlic(pevna), CeskyKlic(cz("Nový Kolín")));
  // Nor do the caron and the breve that share its neighbourhood of codes.
  EXPECT_NE(CeskyKlic(std::string("a\xA1")), CeskyKlic("aCh"));
  EXPECT_NE(CeskyKlic(std::string("a\xA2")), CeskyKlic("ach"));
}

TEST(TextoveFunkce, FillingAndAligningToAWidth) {
  EXPECT_EQ(DoplnZleva("42", 6, '0'), "000042");
  EXPECT_EQ(DoplnZprava("ABC", 5), "ABC  ");
  EXPECT_EQ(DoplnZleva("1234567", 5, '0'), "1234567");  // filling never cuts
  EXPECT_EQ(NaSirku("1234567", 5), "12345");
  EXPECT_EQ(NaSirku("12", 5), "12   ");
  EXPECT_EQ(ZarovnejVlevo("  abcdef", 3), "abc");
  EXPECT_EQ(ZarovnejVlevo(" ab ", 4), "ab  ");
  EXPECT_EQ(ZarovnejVpravo(" 8  ", 3), "  8");
  EXPECT_EQ(ZarovnejVpravo("abcdef  ", 3), "def");  // the last characters are kept
}

TEST(TextoveFunkce, TrimmingRemovingAndMergingBlanks) {
  EXPECT_EQ(Orez("  Kurzy  "), "Kurzy");
  EXPECT_EQ(OrezZleva("  a b  "), "a b  ");
  EXPECT_EQ(OrezZprava("  a b  "), "  a b");
  EXPECT_EQ(Orez("     "), "");
  // Only blanks go: a form feed that starts a report page, and a tab, stay.
  EXPECT_EQ(Orez("\f  List: 1 \t "), "\f  List: 1 \t");
  EXPECT_EQ(BezMezer(" 1 234 567,50 "), "1234567,50");
  EXPECT_EQ(SlucMezery("  a   b  c "), " a b c ");
}

// Text for DOS printers: every Czech and Slovak letter has its code in both pages; what a page
// lacks loses its diacritics, and what has no plain form is "?", never a cp1250 byte.
TEST(DosKody, PrinterTextHasNoCp1250BytesLeft) {
  const std::string pismena = cz("ÁáČčĎďÉéĚěÍíĹĺĽľŇňÓóÔôŘřŔŕŠšŤťÚúŮůÝýŽžÄäÖöÜü");
  EXPECT_EQ(DoDosKodu(pismena, DosKod::Kamenicky), DoKamenickeho(pismena));
  EXPECT_EQ(DoDosKodu(pismena, DosKod::Latin2),
            "\xB5\xA0\xAC\x9F\xD2\xD4\x90\x82\xB7\xD8\xD6\xA1\x91\x92\x95\x96\xD5\xE5\xE0\xA2\xE2\x93"
            "\xFC\xFD\xE8\xEA\xE6\xE7\x9B\x9C\xE9\xA3\xDE\x85\xED\xEC\xA6\xA7\x8E\x84\x99\x94\x9A\x81");
  EXPECT_EQ(DoDosKodu(pismena, DosKod::Ascii), "AaCcDdEeEeIiLlLlNnOoOoRrRrSsTtUuUuYyZzAaOoUu");
  // Polish letters have codes in 852 only; the euro sign and the dagger nowhere.
  EXPECT_EQ(DoDosKodu(cz("Łódź €†\f\x0e"), DosKod::Kamenicky), cz("Lódz ??\f\x0e").replace(1, 1, "\xA2"));
  EXPECT_EQ(DoDosKodu(cz("Łódź €"), DosKod::Latin2), "\x9D\xA2\x64\xAB ?");
}

}  // namespace
}  // namespace pz::storage
