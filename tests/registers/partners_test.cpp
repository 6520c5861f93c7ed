// The partner record's stored form: the scrambled personal fields, the key they need, and the
// register addresses an IČO or a name may reach.
#include <gtest/gtest.h>

#include "platform/text.h"
#include "registers/partners.h"
#include "storage/fields.h"

namespace pz::registers {
namespace {

using platform::cz;

TEST(PartnerRecord, PersonalFieldsScrambleAndComeBackOthersStay) {
  std::string v(tOrganizace::kVelikost, '\0');
  ASSERT_TRUE(storage::writeShortString(v, tOrganizace::kIco, 8, "12345678"));
  ASSERT_TRUE(storage::writeShortString(v, tOrganizace::kNazev, 30, cz("Žluťoučký kůň s.r.o.")));
  ASSERT_TRUE(storage::writeShortString(v, tOrganizace::kPsc, 5, "37001"));
  ASSERT_TRUE(storage::writeShortString(v, tOrganizace::kPozn1, 50, "plain"));
  const std::string puvodni = v;
  auto bajty = std::span(reinterpret_cast<std::uint8_t*>(v.data()), v.size());
  ZakodujOrg(bajty);
  EXPECT_NE(storage::readShortString(v, tOrganizace::kIco, 8), "12345678");
  EXPECT_EQ(storage::readShortString(v, tOrganizace::kPsc, 5), "37001");
  EXPECT_EQ(storage::readShortString(v, tOrganizace::kPozn1, 50), "plain");
  EXPECT_EQ(v[tOrganizace::kIco], 8);  // the length byte stays readable
  DekodujOrg(bajty);
  EXPECT_EQ(v, puvodni);
  EXPECT_EQ(KlicOrg().size(), 17u);
}

TEST(PartnerRecord, TheWebSearchTakesAnIcoOnlyAsDigitsAndEncodesNames) {
  EXPECT_EQ(AdresaHledaniIco(" 00012345 "), "https://ares.gov.cz/ekonomicke-subjekty?ico=00012345");
  for (const char* zly : {"1 -o x", "12&3", "123456789", "", "#1"}) EXPECT_EQ(AdresaHledaniIco(zly), "") << zly;
  EXPECT_EQ(AdresaHledaniNazvu(cz("Čedok a.s. #1")),
            "https://ares.gov.cz/ekonomicke-subjekty?obchodniJmeno=%C4%8Cedok%20a.s.%20%231");
}

TEST(PartnerRecord, OldDicsBecomeCzOrSkButABirthNumberStays) {
  EXPECT_EQ(NovyDic("123-4567890123  "), "CZ4567890123    ");
  EXPECT_EQ(NovyDic("12345678/9      "), "SK12345678      ");
  EXPECT_EQ(NovyDic("12345678/"), "SK12345678");
  EXPECT_EQ(NovyDic("710319/0006     "), "710319/0006     ");
  for (const char* stejny : {"CZ12345678      ", "", "12-3456", "SK2020123456"}) EXPECT_EQ(NovyDic(stejny), stejny);
}

}  // namespace
}  // namespace pz::registers
