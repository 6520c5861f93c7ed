#include "ui/picture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "platform/text.h"

namespace pz::ui {
namespace {

std::string blanks(std::size_t n) { return std::string(n, ' '); }

TEST(Picture, DigitsFillFromTheRight) {
  struct Case {
    const char* picture;
    double value;
    std::string shown;
  } cases[] = {
      {"### ### ###.##-", 1234567.891, "  1 234 567.89 "},
      {"### ### ###.##-", -1234.5, "      1 234.50-"},
      {"### ### ###.##-", 0, blanks(15)},
      {"@@", 7, "07"},
      {"@@@@", 0, "0000"},  // a picture ending in "@" is never blanked
      {"######", 32, "    32"},
      {"###", 1234, "***"},  // a number that does not fit is never shown cut
      {"#####", -12, "  -12"},
      {"##", -12, "**"},  // no room for the sign
      {"##.##", 0.125, " 0.13"},
      {"#########,##-", 1234.5, "     1234,50 "},
      {"@@.@@.@@@@", 1.5, "01.50.0000"},  // literal separators are passed over
      {"###.##", 0.0000001, blanks(6)},
      {"@@@.@@", 0.0000001, "000.00"},
      {"###.##", 1e20, "***.**"},
      {"###.##-", NAN, "***.** "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.picture + std::string(" ") + std::to_string(c.value));
    EXPECT_EQ(FormatE(c.picture, c.value), c.shown);
  }
}

TEST(Picture, RoundingIsDecimalHalfAwayFromZero) {
  EXPECT_EQ(FormatE("##.##", 38.025), "38.03");  // the double is 38.02499999…
  EXPECT_EQ(FormatE("##.##", 2.675), " 2.68");
  EXPECT_EQ(FormatE("##.##", 1.005), " 1.01");
  EXPECT_EQ(FormatE("###.##-", -9.045), "  9.05-");
  EXPECT_EQ(FormatE("####", 2.5), "   3");
  // A rate stored in Real48 shows the digits it was typed with.
  EXPECT_EQ(FormatR("###.##########", *storage::doubleToReal48(25.35)), " 25.3500000000");
  EXPECT_EQ(FormatR("###.###", *storage::doubleToReal48(0.1)), "  0.100");
}

TEST(Picture, NegativeZeroAndNearZero) {
  EXPECT_EQ(FormatE("#########.##-", -0.004), blanks(13));
  EXPECT_EQ(FormatPlainE("#########.##-", -0.004), blanks(8) + "0.00-");
  EXPECT_EQ(FormatPlainE("###.##", 0.0000001), "  0.00");
  // FormatC blanks below a thousandth; its value is exact ten-thousandths.
  EXPECT_EQ(FormatC("#########.##-", 380250), blanks(7) + "38.03 ");
  EXPECT_EQ(FormatC("#########.##-", -12345600), blanks(5) + "1234.56-");
  EXPECT_EQ(FormatC("####.####", 9), blanks(9));
  EXPECT_EQ(FormatC("####.####", 10), "   0.0010");
  EXPECT_EQ(FormatC("@@@@", 0), "0000");
}

// The reports format money on the integer alone; it must show what the decimal path shows, ties,
// signs, lost digits and the " 0.00-" cleanup included.
TEST(Picture, MoneyShowsAsTheDecimalPathShowsIt) {
  const char* pictures[] = {"#### ### ###.##-", "##########,##-", "@@@@", "###", "####.####", "##.#-", "#,###.##",
                            "@@@.@@-", "####", "## @.@@-##-"};
  std::vector<std::int64_t> values = {10, -10, 49, 50, -50, 149, 150, 5000, -5000, 12345, 99995, -99995,
                                      9999999, 100000000, -123456789012, 922337203685477580};
  std::uint64_t x = 88172645463325252u;
  for (int i = 0; i < 3000; ++i) {
    x ^= x << 13, x ^= x >> 7, x ^= x << 17;
    const std::int64_t v = static_cast<std::int64_t>(x % 2000000000000u) - 1000000000000;
    values.push_back(i % 3 ? v : v / 100000 * 5);  // every third a tie at some decimals
  }
  for (const char* p : pictures)
    for (std::int64_t v : values) {
      if (v > -10 && v < 10) continue;
      ASSERT_EQ(FormatC(p, v), FormatE(p, static_cast<double>(v) / 10000.0)) << p << " " << v;
    }
}

TEST(Picture, FitsTellsWhetherTheValueShowsInFull) {
  EXPECT_TRUE(VejdeSe("###", 999));
  EXPECT_FALSE(VejdeSe("###", 1234));
  EXPECT_FALSE(VejdeSe("###.##########", 1234.5));
  EXPECT_TRUE(VejdeSe("#####", -12));
  EXPECT_FALSE(VejdeSe("##", -12));
  EXPECT_FALSE(VejdeSe("@@@@", -12));
  EXPECT_TRUE(VejdeSe("@.@@", -0.004));  // rounds to zero: nothing is lost
  EXPECT_TRUE(VejdeSe(".##", 0.5));
  EXPECT_FALSE(VejdeSe("###.##", 1e20));
}

TEST(TextNa, WholeNumbers) {
  EXPECT_EQ(TextNaCele("12a"), 0);
  EXPECT_EQ(TextNaCele("-5"), -5);
  EXPECT_EQ(TextNaCele("5-"), -5);
  EXPECT_EQ(TextNaCele("-5+"), 5);  // the last sign wins
  EXPECT_EQ(TextNaCele("12.50"), 12);
  EXPECT_EQ(TextNaCele("1 234"), 1);
  EXPECT_EQ(TextNaCele("  42  "), 42);
  EXPECT_EQ(TextNaCele(""), 0);
  EXPECT_EQ(TextNaCele("2147483647"), 2147483647);
  EXPECT_EQ(TextNaCele("-2147483648"), INT32_MIN);
  EXPECT_EQ(TextNaCele("99999999999"), 0);
}

TEST(TextNa, RealNumbers) {
  EXPECT_EQ(TextNaReal("1 234,5"), 1234.5);
  EXPECT_EQ(TextNaReal("-1,5"), -1.5);
  EXPECT_EQ(TextNaReal("12-"), -12);
  EXPECT_EQ(TextNaReal(platform::cz("Kč 25,35")), 25.35);
  EXPECT_EQ(TextNaReal("1.2.3"), 1.2);
  EXPECT_EQ(TextNaReal(""), 0);
  EXPECT_EQ(TextNaReal("+"), 0);
}

TEST(TextNa, MoneyInTenThousandths) {
  EXPECT_EQ(TextNaPenize("1 234,56-"), -12345600);
  EXPECT_EQ(TextNaPenize("0,57"), 5700);
  EXPECT_EQ(TextNaPenize("0.00005"), 1);
  EXPECT_EQ(TextNaPenize("0.00004"), 0);
  EXPECT_EQ(TextNaPenize("0.999999"), 10000);
  EXPECT_EQ(TextNaPenize("1.2.3"), 12300);
  EXPECT_EQ(TextNaPenize("abc12"), 120000);
  EXPECT_EQ(TextNaPenize("99999999999999999999"), 0);
}

TEST(FieldType, LettersAndPictures) {
  const auto real = RozeberTyp("#########.##-R");
  ASSERT_TRUE(real);
  EXPECT_EQ(real->druh, DruhPole::Real);
  EXPECT_EQ(real->obrazek, "#########.##-");
  EXPECT_EQ(RozeberTyp("L")->druh, DruhPole::Ucet);
  EXPECT_EQ(RozeberTyp("##L")->druh, DruhPole::DlouheCele);
  EXPECT_EQ(RozeberTyp("D")->druh, DruhPole::DatumRMD);
  EXPECT_EQ(RozeberTyp("###D")->druh, DruhPole::Dvojite);
  EXPECT_EQ(RozeberTyp(" ")->druh, DruhPole::TextPevny);
  EXPECT_EQ(RozeberTyp("###Z"), std::nullopt);
  EXPECT_EQ(RozeberTyp("R"), std::nullopt);
  EXPECT_EQ(RozeberTyp(""), std::nullopt);

  const std::pair<const char*, std::size_t> widths[] = {
      {"###B", 1}, {"####W", 2}, {"###I", 4}, {"###L", 4}, {"###R", 6}, {"###D", 8}, {"###C", 8},
      {"X", 21},   {"P", 21},    {"D", 7},    {"d", 7},    {"Q", 9},    {"q", 9},    {"T", 7},
  };
  for (const auto& [typ, width] : widths) EXPECT_EQ(SirkaUlozeni(*RozeberTyp(typ), 20), width) << typ;
}

struct Field {
  TypPole typ;
  std::size_t width;
  std::string rec;
  explicit Field(std::string_view type, std::size_t w = 10)
      : typ(*RozeberTyp(type)), width(w), rec(SirkaUlozeni(typ, w), '\0') {}
  ChybaPole store(std::string_view text) { return UlozPole(typ, width, text, rec, 0, 2024); }
  std::string shown() const { return ZobrazPole(typ, width, rec, 0); }
  std::string leave(std::string_view text) const {
    const auto r = UpravPole(typ, width, text, 2024);
    return r.chyba == ChybaPole::Zadna ? r.text : "error";
  }
};

TEST(FieldStore, TextsArePaddedByType) {
  Field p("P", 4);
  EXPECT_EQ(p.leave("800"), "0800");
  ASSERT_EQ(p.store("800"), ChybaPole::Zadna);
  EXPECT_EQ(p.rec, std::string("\x04" "0800"));
  Field l("L", 6);
  EXPECT_EQ(l.leave("  211"), "211000");
  ASSERT_EQ(l.store("2 1"), ChybaPole::Zadna);
  EXPECT_EQ(l.shown(), "201000");
  Field y("Y", 5);
  EXPECT_EQ(y.leave("ab  "), "   ab");
  Field x("X", 6);
  EXPECT_EQ(x.leave(platform::cz("  Čáslav ")), platform::cz("Čáslav"));
  ASSERT_EQ(x.store(" ab"), ChybaPole::Zadna);
  EXPECT_EQ(x.shown(), " ab   ");
  EXPECT_EQ(x.store("1234567"), ChybaPole::DlouhyText);
  EXPECT_EQ(x.shown(), " ab   ");  // the refused text left the record alone
  Field m("m", 4);
  EXPECT_EQ(m.leave(" a"), " a  ");
}

TEST(FieldShow, IntoAReusedTextGivesWhatTheReturnedTextGives) {
  // A list row reuses its cells: what a cell held before must never show through.
  std::string cell = "an earlier, much longer cell text";
  Field x("X", 6);
  ASSERT_EQ(x.store("ab"), ChybaPole::Zadna);
  ZobrazPole(cell, x.typ, x.width, x.rec, 0);
  EXPECT_EQ(cell, x.shown());
  x.rec[0] = '\x09';  // a damaged length byte: no more than the field's width
  ZobrazPole(cell, x.typ, x.width, x.rec, 0);
  EXPECT_EQ(cell, x.shown());
  EXPECT_EQ(cell.size(), 6u);
  ZobrazPole(cell, x.typ, x.width, std::string_view(x.rec).substr(0, 3), 0);  // a record cut short
  EXPECT_EQ(cell, std::string("ab\0\0\0\0", 6));
  Field amount("###.##R");
  ASSERT_EQ(amount.store("12.5"), ChybaPole::Zadna);
  ZobrazPole(cell, amount.typ, amount.width, amount.rec, 0);
  EXPECT_EQ(cell, amount.shown());
  EXPECT_EQ(cell, " 12.50");
}

TEST(FieldStore, NumbersThatDoNotFitAreRefusedNotCut) {
  Field rate("###.##########R");
  EXPECT_EQ(rate.store("1234.5"), ChybaPole::NevejdeSe);
  EXPECT_EQ(rate.rec, std::string(6, '\0'));
  EXPECT_EQ(UpravPole(rate.typ, 0, "1234.5").text, "1234.5");  // the entry stays for correction
  Field amount("##########.##-R");
  EXPECT_EQ(amount.store("12345678901"), ChybaPole::NevejdeSe);
  EXPECT_EQ(Field("@@@@@W").store("70000"), ChybaPole::MimoRozsah);
  EXPECT_EQ(Field("#####W").store("-5"), ChybaPole::MimoRozsah);
  EXPECT_EQ(Field("###B").store("300"), ChybaPole::MimoRozsah);
  EXPECT_EQ(Field("@@@@R").store("-5"), ChybaPole::NevejdeSe);
  EXPECT_EQ(Field("############I").store("3000000000"), ChybaPole::MimoRozsah);
  // Real48 cannot keep the cents of a value this large.
  EXPECT_EQ(Field("############.##-R").store("123456789012.34"), ChybaPole::MimoRozsah);
}

TEST(FieldStore, NumbersAreStoredAsShown) {
  Field amount("##########.##-R");
  EXPECT_EQ(amount.leave("38,025"), blanks(8) + "38.03 ");
  ASSERT_EQ(amount.store("38,025"), ChybaPole::Zadna);
  EXPECT_EQ(storage::readReal48(amount.rec, 0), 38.03);
  EXPECT_EQ(amount.shown(), blanks(8) + "38.03 ");
  ASSERT_EQ(amount.store("-1 234,5"), ChybaPole::Zadna);
  EXPECT_EQ(amount.shown(), blanks(6) + "1234.50-");

  Field money("#########.##-C");
  ASSERT_EQ(money.store("1 234,56-"), ChybaPole::Zadna);
  EXPECT_EQ(storage::readI64(money.rec, 0), -12345600);
  EXPECT_EQ(money.shown(), blanks(5) + "1234.56-");

  Field count("#####W");
  ASSERT_EQ(count.store("65535"), ChybaPole::Zadna);
  EXPECT_EQ(count.rec, "\xFF\xFF");
  Field whole("######I");
  ASSERT_EQ(whole.store("-12"), ChybaPole::Zadna);
  EXPECT_EQ(storage::readI32(whole.rec, 0), -12);
  EXPECT_EQ(whole.shown(), "   -12");
  Field dbl("###.####D");
  ASSERT_EQ(dbl.store("0,1"), ChybaPole::Zadna);
  EXPECT_EQ(storage::readDouble(dbl.rec, 0), 0.1);
  EXPECT_EQ(UlozPole(amount.typ, 0, "1", amount.rec, 1), ChybaPole::MimoVetu);
}

TEST(DateEntry, StoredOrderFollowsTheTypeLetter) {
  struct Case {
    const char* type;
    const char* entry;
    const char* stored;
    const char* shown;
  } cases[] = {
      {"D", "15.3.24", "240315", "15.03.24"},
      {"d", "15/03/24", "150324", "15.03.24"},
      {"Q", "15-3-2024", "20240315", "15.03.2024"},
      {"q", "150324", "15032024", "15.03.2024"},
      {"d", "O1.l2.99", "011299", "01.12.99"},
      {"d", "1.2", "010224", "01.02.24"},     // no year: the current one
      {"d", "0102", "010224", "01.02.24"},
      {"Q", "1.1.39", "20390101", "01.01.2039"},
      {"Q", "1.1.40", "19400101", "01.01.1940"},
      {"D", "29.2.00", "000229", "29.02.00"},
      {"d", "", "      ", "        "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.type) + " " + c.entry);
    Field f(c.type);
    EXPECT_EQ(f.leave(c.entry), c.shown);
    ASSERT_EQ(f.store(c.entry), ChybaPole::Zadna);
    EXPECT_EQ(storage::readShortString(f.rec, 0, 8), c.stored);
    EXPECT_EQ(f.shown(), c.shown);
    EXPECT_EQ(f.store(f.shown()), ChybaPole::Zadna);  // the shown form stores the same digits
    EXPECT_EQ(storage::readShortString(f.rec, 0, 8), c.stored);
  }
}

TEST(DateEntry, InvalidDatesAreErrorsAndKeepTheEntry) {
  for (const char* entry : {"31.02.24", "29.2.1900", "1.13.24", "1.1.2050", "12 3 24", "1..24", "1.2.345", "x"}) {
    SCOPED_TRACE(entry);
    const auto r = UpravPole(*RozeberTyp(entry == std::string("29.2.1900") ? "Q" : "D"), 0, entry, 2024);
    EXPECT_EQ(r.chyba, ChybaPole::ChybneDatum);
    EXPECT_EQ(r.text, entry);
  }
  Field f("D");
  EXPECT_EQ(f.store("31.02.24"), ChybaPole::ChybneDatum);
  EXPECT_EQ(f.rec, std::string(7, '\0'));
  EXPECT_TRUE(CtiDatum('Q', "1.1.2050"));  // four-digit years have room for it
}

TEST(DateEntry, StoredDatesOfOlderData) {
  EXPECT_EQ(ZobrazDatum('D', "000000"), blanks(8));
  EXPECT_EQ(ZobrazDatum('d', "      "), blanks(8));
  EXPECT_EQ(ZobrazDatum('D', "l50315"), "15.03.15");  // l as the first digit of the year
  EXPECT_EQ(ZobrazDatum('d', "l5O3O5"), "15.O3.05");  // of the day and of the year only
  EXPECT_EQ(ZobrazDatum('Q', "00000000"), blanks(10));
  const auto den = RozeberDatum('d', "O10595");
  ASSERT_TRUE(den);
  EXPECT_EQ(den->rok, 1995);
  EXPECT_EQ(UlozenyDatum('Q', *den), "19950501");
  EXPECT_EQ(RozeberDatum('D', "240230"), std::nullopt);
}

TEST(TimeEntry, FormsAndErrors) {
  Field t("T");
  EXPECT_EQ(t.leave("8:05"), "08:05:00");
  ASSERT_EQ(t.store("14.30.15"), ChybaPole::Zadna);
  EXPECT_EQ(storage::readShortString(t.rec, 0, 6), "143015");
  EXPECT_EQ(t.shown(), "14:30:15");
  EXPECT_EQ(t.leave("0930"), "09:30:00");
  EXPECT_EQ(t.leave(""), blanks(8));
  EXPECT_EQ(t.store("24:00"), ChybaPole::ChybnyCas);
  EXPECT_EQ(t.leave("12:60"), "error");
}

}  // namespace
}  // namespace pz::ui
