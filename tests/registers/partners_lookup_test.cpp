// The registers' answers as the partner gets them, where the answer is unusual.
#include <gtest/gtest.h>

#include "registers/partners_lookup.h"

namespace pz::registers {
namespace {

std::string platce(const std::string& platceDph) {
  return "<?xml version=\"1.0\"?><s:Envelope xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\"><s:Body>"
         "<r:StatusNespolehlivyPlatceResponse xmlns:r=\"http://adis.mfcr.cz/rozhraniCRPDPH/\"><r:status statusCode=\"0\" "
         "statusText=\"OK\"/>" + platceDph + "</r:StatusNespolehlivyPlatceResponse></s:Body></s:Envelope>";
}

TEST(PartnersLookup, UnusualAnswersGiveWhatTheRegisterMeantOrNothing) {
  EXPECT_EQ(PlatneIco(" 6947 "), "00006947");
  EXPECT_FALSE(PlatneIco("123456789") || PlatneIco("27;0") || PlatneIco("") || PlatneIco("2708 440"));
  EXPECT_EQ(CisliceDic("CZ7103190006"), "7103190006");
  EXPECT_FALSE(CisliceDic("CZ1234567") || CisliceDic("SK12345678") || CisliceDic("CZ12345678>"));

  // No name is still an answer; a number for the tax office is its three digits; a letter cp1250
  // lacks becomes "?".
  CteniAres a = CtiOdpovedAres(R"({"ico":"00006947","financniUrad":7,"sidlo":{"nazevObce":"\u0141\u00f3d\u017a \u03b1"}})",
                               "00006947");
  ASSERT_TRUE(a.udaje);
  EXPECT_EQ(a.udaje->nazev, "");
  EXPECT_EQ(a.udaje->financniUrad, "007");
  EXPECT_EQ(a.udaje->mesto, "\xA3\xF3" "d\x9F ?");
  EXPECT_FALSE(CtiOdpovedAres(R"({"ico":"00006947","obchodniJmeno":"Alfa)", "00006947").udaje);
  EXPECT_FALSE(CtiOdpovedAres(R"({"ico":"45274649","obchodniJmeno":"Alfa"})", "00006947").udaje);

  // An account written as text is taken as it is when it fits, a foreign IBAN is not cut.
  CteniDph d = CtiOdpovedDph(platce("<r:statusPlatceDPH dic=\"12345678\" nespolehlivyPlatce=\"NE\"><r:zverejneneUcty>"
                                    "<r:ucet><r:nestandardniUcet cislo=\"DE89370400440532013000\"/></r:ucet><r:ucet>"
                                    "<r:nestandardniUcet cislo=\"1234/5678 &amp; sp.\"/></r:ucet></r:zverejneneUcty>"
                                    "</r:statusPlatceDPH>"),
                             "12345678");
  ASSERT_TRUE(d.udaje);
  EXPECT_EQ(d.udaje->ucet, "1234/5678 & sp.");
  EXPECT_EQ(d.udaje->kodBanky, "");
  // Without the payer's status, for another number or as a fault: no answer at all.
  EXPECT_FALSE(CtiOdpovedDph(platce("<r:statusPlatceDPH dic=\"12345678\"/>"), "12345678").udaje);
  EXPECT_FALSE(CtiOdpovedDph(platce("<r:statusPlatceDPH dic=\"87654321\" nespolehlivyPlatce=\"NE\"/>"), "12345678").udaje);
  EXPECT_FALSE(CtiOdpovedDph("<s:Envelope xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\"><s:Body><s:Fault>"
                             "<faultstring>Chyba</faultstring></s:Fault></s:Body></s:Envelope>",
                             "12345678")
                   .udaje);
  EXPECT_FALSE(CtiOdpovedDph("<html>Služba není dostupná", "12345678").udaje);
}

}  // namespace
}  // namespace pz::registers
