// The checks a user meets in the partner form: birth numbers given as DIČ and Czech bank
// accounts, with the value the account field is rewritten to.
#include <gtest/gtest.h>

#include "registers/checks.h"

namespace pz::registers {
namespace {

TEST(PartnerChecks, BirthNumbers) {
  EXPECT_TRUE(KontrolaRodnehoCisla("710319/0006"));   // divisible by 11
  EXPECT_TRUE(KontrolaRodnehoCisla("710319/0040"));   // 710319004 leaves 10, last digit 0
  EXPECT_TRUE(KontrolaRodnehoCisla("710319274"));     // nine digits, month 03
  EXPECT_TRUE(KontrolaRodnehoCisla("715319274"));     // nine digits, a woman's month 53
  EXPECT_TRUE(KontrolaRodnehoCisla(" 710319 / 0006 "));
  EXPECT_FALSE(KontrolaRodnehoCisla("711319274"));    // month 13
  EXPECT_FALSE(KontrolaRodnehoCisla("710319/0007"));
  EXPECT_FALSE(KontrolaRodnehoCisla("710319/0041"));  // remainder 10 needs a last 0
  EXPECT_FALSE(KontrolaRodnehoCisla(""));
  EXPECT_FALSE(KontrolaRodnehoCisla("/"));
  EXPECT_FALSE(KontrolaRodnehoCisla("7103190"));
  EXPECT_FALSE(KontrolaRodnehoCisla("71O319/0006"));  // a letter O typed for a zero
}

TEST(PartnerChecks, AccountsPassAndAreRewrittenToTheFieldWidth) {
  std::string u = "19-123457";
  EXPECT_TRUE(KontrolaKonta(u));
  EXPECT_EQ(u, "19-123457");
  u = "  19 - 123457     ";
  EXPECT_TRUE(KontrolaKonta(u));
  EXPECT_EQ(u, "         19-123457");
  // A number of more than ten digits gives its leading digits to the prefix.
  u = "190000123457";
  EXPECT_TRUE(KontrolaKonta(u));
  EXPECT_EQ(u, "19-0000123457");
  u = "123457";
  EXPECT_TRUE(KontrolaKonta(u));
  EXPECT_EQ(u, "123457");
}

TEST(PartnerChecks, AccountsThatFailKeepTheirValue) {
  for (std::string bad : {"0000000000", "123456-789", "18-123457", "19-123456", "19-", "12a457", "", "0-0"}) {
    const std::string was = bad;
    EXPECT_FALSE(KontrolaKonta(bad)) << was;
    EXPECT_EQ(bad, was);
  }
}

}  // namespace
}  // namespace pz::registers
