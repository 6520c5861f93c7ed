// Sizes read from picture headers as scanners and cameras write them.
#include "ui/imagesize.h"

#include <gtest/gtest.h>

#include <string>

namespace pz::ui {
namespace {

std::string bajty(std::initializer_list<int> b) {
  std::string s;
  for (int c : b) s += static_cast<char>(c);
  return s;
}

TEST(ImageSize, HeadersOfTheCommonFormats) {
  // JPEG: an APP0 segment, then the baseline frame with height 480 and width 640.
  const std::string jpg = bajty({0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x04, 'J', 'F', 0xFF, 0xC0, 0x00, 0x11, 0x08, 0x01,
                                 0xE0, 0x02, 0x80, 0x03});
  auto r = ZjistiRozmer(jpg);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->sirka, 640);
  EXPECT_EQ(r->vyska, 480);
  // A progressive frame counts too; a Huffman table before it does not.
  const std::string prog = bajty({0xFF, 0xD8, 0xFF, 0xC4, 0x00, 0x02, 0xFF, 0xC2, 0x00, 0x11, 0x08, 0x00, 0x10,
                                  0x00, 0x20, 0x03});
  r = ZjistiRozmer(prog);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->sirka, 32);
  EXPECT_EQ(r->vyska, 16);

  r = ZjistiRozmer(std::string("GIF89a") + bajty({0x2C, 0x01, 0x90, 0x00}));
  ASSERT_TRUE(r);
  EXPECT_EQ(r->sirka, 300);
  EXPECT_EQ(r->vyska, 144);

  // A BMP stored top down states a negative height.
  std::string bmp = "BM" + std::string(12, '\0') + bajty({40, 0, 0, 0, 0x20, 0x03, 0, 0, 0x38, 0xFF, 0xFF, 0xFF});
  r = ZjistiRozmer(bmp);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->sirka, 800);
  EXPECT_EQ(r->vyska, 200);
}

TEST(ImageSize, DamagedOrUnknownFilesGiveNoSize) {
  EXPECT_FALSE(ZjistiRozmer(""));
  EXPECT_FALSE(ZjistiRozmer("%PDF-1.4"));
  EXPECT_FALSE(ZjistiRozmer(bajty({0xFF, 0xD8, 0xFF, 0xC0, 0x00})));              // cut inside the frame
  EXPECT_FALSE(ZjistiRozmer(bajty({0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x00, 0xFF})));  // a length below 2
  EXPECT_FALSE(ZjistiRozmer(bajty({0xFF, 0xD8, 0xFF, 0xDA, 0x00, 0x02})));        // scan data before any frame
  EXPECT_FALSE(ZjistiRozmer(std::string("GIF89a") + bajty({0, 0, 5, 0})));        // zero width
}

}  // namespace
}  // namespace pz::ui
