// The own bank accounts in the running program, opened from the bank name of the own company at
// the start of the cash desk: an older file is brought to the current layout with the IBAN built,
// a second start changes nothing, and the bank codes shipped in the program root are found by a
// code typed without its leading zero.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "e2e/run.h"
#include "platform/text.h"
#include "support/installation.h"
#include "support/tempdir.h"

namespace pz::test {
namespace {

std::string kratky(const std::string& text, size_t sirka) {
  std::string t = text.substr(0, sirka);
  t.resize(sirka, ' ');
  return std::string(1, static_cast<char>(sirka)) + t;
}

// An own account of the older layout: 89 bytes, the IBAN head last.
std::string staryUcet(const std::string& oznaceni, const std::string& banka, const std::string& konto,
                      const std::string& kod, const std::string& hlava) {
  return kratky(oznaceni, 1) + kratky(banka, 20) + kratky(konto, 19) + kratky(kod, 4) + kratky("GIBACZPX", 10) +
         std::string(6, '\0') + kratky("CZK", 3) + kratky("221100", 6) + kratky(hlava, 12);
}

std::string ucet(const std::string& oznaceni, const std::string& banka, const std::string& konto, const std::string& kod,
                 const std::string& iban) {
  return kratky(oznaceni, 1) + kratky(banka, 20) + kratky(konto, 19) + kratky(kod, 4) + kratky("GIBACZPX", 15) +
         std::string(6, '\0') + kratky("CZK", 3) + kratky("221100", 6) + kratky(iban, 30) + kratky("", 30) +
         kratky("", 20);
}

// Into the own company form, down to the bank name, and Enter there.
std::string kUcty() {
  std::string s = "Enter\n";
  for (int k = 1; k < 12; ++k) s += "Down\n";
  return s + "Enter\n";
}

TEST(OwnBankAccounts, AnOlderFileIsConvertedWithItsIbanAndASecondStartChangesNothing) {
  TempDir dir;
  install(dir, {.station = {{"UZIVATEL", "01"}, {"POCITAC", "1"}, {"DAN2", "21"}}, .programRoot = true});
  // The first account has no IBAN head, so its length byte at 76 is 0: the size decides.
  dir.write("data/bako.dta", staryUcet("B", "Druha banka", "2345678", "0100", "") +
                                 staryUcet("A", "Ceska sporitelna", "19-123457", "0800", "CZ65") +
                                 staryUcet(" ", "", "", "", ""));
  auto r = runPzpokl(dir, kUcty() + "dump\nEsc\nEsc\nEsc\nEsc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const std::string nove = ucet("B", "Druha banka", "2345678", "0100", "") +
                           ucet("A", "Ceska sporitelna", "19-123457", "0800", "CZ65 0800 0000 1900 0012 3457");
  EXPECT_EQ(dir.read("data/bako.dta"), nove);
  EXPECT_NE(r.out.find("   A  Ceska sporitelna     19-123457"), std::string::npos) << r.out;
  EXPECT_FALSE(std::filesystem::exists(dir / "data/bako.WRK"));
  r = runPzpokl(dir, kUcty() + "Esc\nEsc\nEsc\nEsc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(dir.read("data/bako.dta"), nove);
}

TEST(OwnBankAccounts, ANewAccountTakesTheShippedBankByItsCodeAndAMarkInUseIsRefused) {
  TempDir dir;
  install(dir, {.station = {{"UZIVATEL", "01"}, {"POCITAC", "1"}, {"DAN2", "21"}}, .programRoot = true});
  std::filesystem::create_directories(dir / "prog/2");
  std::filesystem::copy_file(std::filesystem::path(PZ_SOURCE_DIR) / "demo/prog/2/KodyBank.dta", dir / "prog/2/KodyBank.dta");
  dir.write("data/bako.dta", ucet("A", "Banka A", "19-123457", "0800", ""));
  // F4; the mark A is in use (the message is answered and the cursor stays), B is free; the
  // bank name is left empty and Enter at the code 800 picks from the bank codes.
  auto r = runPzpokl(dir, kUcty() + "F4\ntype A\nEnter\ndump\nEnter\ntype B\nEnter\nEnter\ntype 2345678\nEnter\n"
                                    "type 800\nEnter\ndump\nEnter\ndump\nF2\nEsc\nEsc\nEsc\nEsc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("Pozor, stejné označení bankovního účtu"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("=== fKodyBank"), std::string::npos) << r.out;
  const std::string f = dir.read("data/bako.dta");
  ASSERT_EQ(f.size(), 2u * 164);
  EXPECT_EQ(f.substr(164, 2), kratky("B", 1));
  EXPECT_EQ(f.substr(164 + 43, 5), kratky("0800", 4));
  // The name field was empty, so the bank's name came with its code.
  EXPECT_EQ(f.substr(164 + 2, 21), kratky(platform::cz("Česká spořitelna, a."), 20));
}

}  // namespace
}  // namespace pz::test
