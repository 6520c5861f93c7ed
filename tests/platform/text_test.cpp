#include "platform/text.h"

#include <gtest/gtest.h>

namespace pz::platform {

TEST(Text, CzechLettersRoundTripThroughCp1250) {
  const std::string utf8 = "Příliš žluťoučký kůň úpěl ďábelské ódy ŠČŘŽÝÁÍÉŮÚĚŤĎŇ €";
  const std::string cp = utf8ToCp1250(utf8);
  EXPECT_EQ(cp.size(), 55u);  // one byte a character
  EXPECT_EQ(static_cast<unsigned char>(cp[1]), 0xF8);  // ř
  EXPECT_EQ(static_cast<unsigned char>(cp.back()), 0x80);  // €
  EXPECT_EQ(cp1250ToUtf8(cp), utf8);
}

TEST(Text, UnknownAndMalformedInputBecomesQuestionMarks) {
  EXPECT_EQ(utf8ToCp1250("a\xE2\x82"), "a??");  // truncated sequence: each stray byte
  EXPECT_EQ(utf8ToCp1250("x\xFFy"), "x?y");            // invalid lead byte
  EXPECT_EQ(utf8ToCp1250("日本"), "??");                // outside cp1250
  EXPECT_EQ(cp1250ToUtf8(std::string(1, '\x81')), "?");  // unassigned byte
}

TEST(Text, CzHelperGivesProgramText) {
  EXPECT_EQ(cz("Čáslav"), std::string("\xC8\xE1slav"));
}

}  // namespace pz::platform
