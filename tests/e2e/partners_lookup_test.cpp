// A new partner filled from the public registers through curl, by the real program, from a
// stand-in on 127.0.0.1 that answers as the register of economic subjects (REST, JSON) and the
// VAT register (SOAP) do.
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "e2e/run.h"
#include "support/httpstandin.h"
#include "support/tempdir.h"

namespace pz::test {
namespace {

constexpr const char* kCestaAres = "/ekonomicke-subjekty-v-be/rest/ekonomicke-subjekty/";
constexpr const char* kCestaDph = "/adistc/axis2/services/rozhraniCRPDPH.rozhraniCRPDPHSOAP?SOAP";

std::string subjekt(const std::string& ico, const std::string& jmeno, const std::string& dic, const std::string& sidlo) {
  return "{\"ico\":\"" + ico + "\",\"obchodniJmeno\":\"" + jmeno + "\",\"sidlo\":{" + sidlo + "}," +
         (dic.empty() ? "" : "\"dic\":\"" + dic + "\",") + "\"financniUrad\":\"004\",\"pravniForma\":\"121\"}";
}

std::string platce(const std::string& dic, const std::string& stav, const std::string& ucty) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><soapenv:Envelope "
         "xmlns:soapenv=\"http://schemas.xmlsoap.org/soap/envelope/\"><soapenv:Body><StatusNespolehlivyPlatceResponse "
         "xmlns=\"http://adis.mfcr.cz/rozhraniCRPDPH/\"><status odpovedGenerovana=\"2026-12-09\" statusCode=\"0\" "
         "statusText=\"OK\"/><statusPlatceDPH dic=\"" +
         dic + "\" nespolehlivyPlatce=\"" + stav + "\" cisloFu=\"004\">" + ucty +
         "</statusPlatceDPH></StatusNespolehlivyPlatceResponse></soapenv:Body></soapenv:Envelope>";
}

// The stand-in of both registers. Silent, it takes connections and never answers.
class Registry {
 public:
  std::string adresa() const { return "http://127.0.0.1:" + std::to_string(server_.port()); }
  std::atomic<bool> tichy{false};
  std::map<std::string, std::pair<int, std::string>> ares;  // IČO: HTTP status and body
  std::map<std::string, std::string> dph;                   // the VAT number digits: body
  std::vector<std::string> dotazy() { return server_.dotazy(); }

 private:
  std::optional<HttpStandIn::Odpoved> odpovez(const std::string& q) {
    if (tichy) return std::nullopt;
    int stav = 404;
    std::string telo = "{\"kod\":\"CHYBA_VSTUPU\",\"popis\":\"?\"}", typ = "application/json";
    const size_t hlava = q.find("\r\n\r\n");
    const std::string radek = q.substr(0, q.find("\r\n"));
    if (radek.starts_with(std::string("GET ") + kCestaAres)) {
      const std::string ico = radek.substr(4 + std::string(kCestaAres).size(), 8);
      if (auto i = ares.find(ico); i != ares.end()) std::tie(stav, telo) = i->second;
    } else if (radek.starts_with(std::string("POST ") + kCestaDph) && hlava != std::string::npos) {
      const std::string body = q.substr(hlava + 4);
      const size_t d = body.find("<dic>"), e = body.find("</dic>");
      typ = "text/xml;charset=UTF-8";
      if (d != std::string::npos && e != std::string::npos)
        if (auto i = dph.find(body.substr(d + 5, e - d - 5)); i != dph.end()) stav = 200, telo = i->second;
    }
    return HttpStandIn::Odpoved{std::to_string(stav) + " X", typ, telo};
  }

  HttpStandIn server_{[this](const std::string& q) { return odpovez(q); }};
};

// From the main window to the partner list of a new receipt (the demo has five partners).
constexpr const char* kKSeznamu = "Enter\nEsc\nEnter\nF4\ntype P\nEnter\nEnter\nEnter\n";
constexpr const char* kKonec = "Esc\nEsc\nEsc\nEsc\nEsc\nEsc\n";
constexpr size_t kVeta = 586;

void demo(const TempDir& dir) {
  std::filesystem::copy(std::filesystem::path(PZ_SOURCE_DIR) / "demo", dir.path(),
                        std::filesystem::copy_options::recursive);
}

// The script runs in the demo's station folder "work".
RunResult spust(const TempDir& dir, const std::string& skript) {
  dir.write("script.keys", skript);
  const std::string cmd = "cd '" + dir.str() + "/work' && '" PZPOKL_BIN "' --headless ../script.keys --today 2026-12-09"
                          " >../stdout.txt 2>../stderr.txt";
  const int status = std::system(cmd.c_str());
  RunResult r{WIFEXITED(status) ? WEXITSTATUS(status) : -1, dir.read("stdout.txt"), dir.read("stderr.txt")};
  EXPECT_EQ(r.exitCode, 0) << r.err;
  return r;
}

// A short string of partner n in "org.dta": the length byte and exactly its characters.
std::string pole(const TempDir& dir, int n, size_t offset) {
  const std::string org = dir.read("data/org.dta");
  const size_t at = static_cast<size_t>(n - 1) * kVeta + offset;
  if (org.size() < at + 1) return "(no partner " + std::to_string(n) + ")";
  return org.substr(at + 1, static_cast<unsigned char>(org[at]));
}

std::string sirka(std::string t, size_t w) {
  t.resize(w, ' ');
  return t;
}

constexpr size_t kIco = 2, kDic = 11, kNazev = 28, kUlice = 90, kMesto = 121, kPsc = 152, kStat = 158, kKod = 231,
                 kUcet = 236, kFu = 429, kPozn3 = 535;

TEST(PartnersLookupE2E, ANewPartnerTakesTheRegistersDataAndTheReliabilityAnswerWhole) {
  TempDir dir;
  demo(dir);
  Registry reg;
  dir.write("work/PZPOKL.PAR", "WebARES : " + reg.adresa() + "\r\nWebDPH : " + reg.adresa() + "/\r\n");
  const std::string praha = "\"kodStatu\":\"CZ\",\"nazevStatu\":\"Česká republika\",\"nazevObce\":\"Praha\","
                            "\"nazevUlice\":\"Duhová\",\"cisloDomovni\":1444,\"cisloOrientacni\":2,\"psc\":14000";
  // A name with a comma, a reliable payer whose account has its prefix first.
  reg.ares["45274649"] = {200, subjekt("45274649", "ČEZ, a. s.", "CZ45274649", praha)};
  reg.dph["45274649"] = platce("45274649", "NE",
                               "<zverejneneUcty><ucet datumZverejneni=\"2013-04-01\"><standardniUcet predcisli=\"19\" "
                               "cislo=\"2000145399\" kodBanky=\"0800\"/></ucet></zverejneneUcty>");
  // Escaped quotes and letters as \u escapes; an unreliable payer with an IBAN only.
  reg.ares["25596641"] = {200, subjekt("25596641", "Pek\\u00e1rna \\\"U Ml\\u00fdna\\\", s.r.o.", "CZ25596641",
                                       "\"nazevStatu\":\"\\u010cesk\\u00e1 republika\",\"nazevObce\":\"\\u010cesk\\u00e9 "
                                       "Bud\\u011bjovice\",\"nazevUlice\":\"Lannova\",\"cisloDomovni\":\"12\",\"psc\":37001")};
  reg.dph["25596641"] = platce("25596641", "ANO",
                               "<zverejneneUcty><ucet datumZverejneni=\"2020-01-02\"><nestandardniUcet "
                               "cislo=\"CZ6508000000192000145399\"/></ucet></zverejneneUcty>");
  // No VAT payer: no DIČ, so the register is asked for the IČO, and knows no such payer.
  reg.ares["00006947"] = {200, subjekt("00006947", "Ministerstvo financí", "", praha)};
  reg.dph["00006947"] = platce("00006947", "NENALEZEN", "");
  // The VAT register in maintenance, and a subject the register does not know.
  reg.ares["27082440"] = {200, subjekt("27082440", "Alza.cz a.s.", "CZ27082440", praha)};
  reg.dph["27082440"] =
      "<soapenv:Envelope xmlns:soapenv=\"http://schemas.xmlsoap.org/soap/envelope/\"><soapenv:Body>"
      "<StatusNespolehlivyPlatceResponse xmlns=\"http://adis.mfcr.cz/rozhraniCRPDPH/\"><status statusCode=\"2\" "
      "statusText=\"Probíhá údržba systému\"/></StatusNespolehlivyPlatceResponse></soapenv:Body></soapenv:Envelope>";
  reg.ares["12345679"] = {404, "{\"kod\":\"NENALEZENO\",\"popis\":\"Ekonomický subjekt nebyl nalezen.\","
                               "\"subKod\":\"VYSLEDEK_NENALEZEN\"}"};

  const RunResult r = spust(dir, std::string(kKSeznamu) +
                                     "F4\ntype 45274649\nTab\ndump\nF2\n"
                                     "F4\ntype 25596641\nTab\nF2\n"
                                     "F4\ntype 6947\nTab\nF2\n"
                                     "F4\ntype 27082440\nTab\ndump\nEnter\nF2\n"
                                     "F4\ntype 12345679\nTab\ndump\nEnter\nTab\ntype Vlastní název\nF2\n" +
                                     kKonec);
  EXPECT_NE(r.out.find(">Adr1-název ČEZ, a. s."), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Čís.konta   19-2000145399"), std::string::npos) << r.out;

  // Stored whole in cp1250 at the fields' widths.
  EXPECT_EQ(pole(dir, 6, kIco), "45274649");
  EXPECT_EQ(pole(dir, 6, kNazev), sirka("\xC8" "EZ, a. s.", 30));
  EXPECT_EQ(pole(dir, 6, kDic), sirka("CZ45274649", 16));
  EXPECT_EQ(pole(dir, 6, kUlice), sirka("Duhov\xE1 1444", 30));
  EXPECT_EQ(pole(dir, 6, kMesto), sirka("Praha", 30));
  EXPECT_EQ(pole(dir, 6, kPsc), "14000");
  EXPECT_EQ(pole(dir, 6, kStat), sirka("\xC8" "esk\xE1 republika", 30));
  EXPECT_EQ(pole(dir, 6, kFu), "004");
  EXPECT_EQ(pole(dir, 6, kKod), "0800");
  EXPECT_EQ(pole(dir, 6, kUcet), sirka("19-2000145399", 19));
  EXPECT_EQ(pole(dir, 6, kPozn3), std::string(50, ' '));

  EXPECT_EQ(pole(dir, 7, kNazev), sirka("Pek\xE1rna \"U Ml\xFDna\", s.r.o.", 30));
  EXPECT_EQ(pole(dir, 7, kMesto), sirka("\xC8" "esk\xE9 Bud\xECjovice", 30));
  EXPECT_EQ(pole(dir, 7, kKod), "0800");
  EXPECT_EQ(pole(dir, 7, kUcet), sirka("19-2000145399", 19));
  EXPECT_EQ(pole(dir, 7, kPozn3), sirka("NESPOLEHLIV\xDD PL\xC1TCE DPH", 50));

  EXPECT_EQ(pole(dir, 8, kIco), "00006947");
  EXPECT_EQ(pole(dir, 8, kDic), std::string(16, ' '));
  EXPECT_EQ(pole(dir, 8, kUcet), std::string(19, ' '));
  EXPECT_EQ(pole(dir, 8, kPozn3), std::string(50, ' '));

  // Maintenance: the subject's data, the bank fields and the note as they were.
  EXPECT_NE(r.out.find("Registr plátců DPH: Probíhá údržba systému"), std::string::npos) << r.out;
  EXPECT_EQ(pole(dir, 9, kNazev), sirka("Alza.cz a.s.", 30));
  EXPECT_EQ(pole(dir, 9, kKod), "0000");  // the empty code as its picture stores it
  EXPECT_EQ(pole(dir, 9, kUcet), std::string(19, ' '));
  EXPECT_EQ(pole(dir, 9, kPozn3), std::string(50, ' '));

  // Not found: the register's code is shown, the name is the user's own.
  EXPECT_NE(r.out.find("VYSLEDEK_NENALEZEN"), std::string::npos) << r.out;
  EXPECT_EQ(pole(dir, 10, kNazev), sirka("Vlastn\xED n\xE1zev", 30));
  EXPECT_EQ(pole(dir, 10, kDic), std::string(16, ' '));

  // The requests as the registers take them: nine, the VAT one a SOAP body asking for the digits.
  const auto q = reg.dotazy();
  ASSERT_EQ(q.size(), 9u);
  EXPECT_EQ(q[0].find(std::string("GET ") + kCestaAres + "45274649 HTTP/1.1\r\n"), 0u) << q[0];
  EXPECT_EQ(q[1].find(std::string("POST ") + kCestaDph + " HTTP/1.1\r\n"), 0u) << q[1];
  EXPECT_NE(q[1].find("Content-Type: text/xml;charset=UTF-8\r\n"), std::string::npos) << q[1];
  EXPECT_NE(q[1].find("\r\n\r\n<soapenv:Envelope xmlns:soapenv=\"http://schemas.xmlsoap.org/soap/envelope/\">"
                      "<soapenv:Body><StatusNespolehlivyPlatceRequest xmlns=\"http://adis.mfcr.cz/rozhraniCRPDPH/\">"
                      "<dic>45274649</dic></StatusNespolehlivyPlatceRequest></soapenv:Body></soapenv:Envelope>"),
            std::string::npos)
      << q[1];
  EXPECT_NE(q[5].find("<dic>00006947</dic>"), std::string::npos) << q[5];
  EXPECT_EQ(q[8].find(std::string("GET ") + kCestaAres + "12345679 "), 0u) << q[8];
}

TEST(PartnersLookupE2E, ABadIcoStartsNoProgramAndASilentServerLeavesThePartnerAsTyped) {
  TempDir dir;
  demo(dir);
  Registry reg;
  reg.tichy = true;
  // The client through a wrapper that notes each start.
  dir.write("curl.sh", "#!/bin/sh\necho \"$@\" >>'" + dir.str() + "/curl.log'\nexec curl \"$@\"\n");
  std::filesystem::permissions(dir.path() / "curl.sh", std::filesystem::perms::owner_all);
  dir.write("work/PZPOKL.PAR", "WebARES : " + reg.adresa() + "\r\nWebDPH : " + reg.adresa() + "\r\nCurl : " + dir.str() +
                                   "/curl.sh\r\nCurlLimit : 1\r\n");

  RunResult r = spust(dir, std::string(kKSeznamu) + "F4\ntype 2708;440\nTab\ndump\nEnter\nEsc\n" +
                               "F4\ntype 27>0\nTab\ndump\nEnter\nEsc\n" + kKonec);
  EXPECT_NE(r.out.find("IČO smí obsahovat jen 1 až 8 číslic, v registru se nehledá"), std::string::npos) << r.out;
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "curl.log"));
  EXPECT_TRUE(reg.dotazy().empty());
  EXPECT_EQ(dir.read("data/org.dta").size(), 5 * kVeta);

  // Three tries, then "Chyba spojení"; the partner stored as typed, byte for byte as one stored
  // with the lookup switched off in the popup menu.
  r = spust(dir, std::string(kKSeznamu) + "F4\ntype 45274649\nTab\ndump\nEnter\nF2\n" +
                     "F10\nEnter\ntype N\nF4\ntype 45274649\nTab\nF2\n" + kKonec);
  EXPECT_NE(r.out.find("Chyba spojení"), std::string::npos) << r.out;
  const std::string log = dir.read("curl.log");
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 3) << log;
  EXPECT_EQ(reg.dotazy().size(), 3u);
  const std::string org = dir.read("data/org.dta");
  ASSERT_EQ(org.size(), 7 * kVeta);
  EXPECT_EQ(org.substr(5 * kVeta + 2, kVeta - 2), org.substr(6 * kVeta + 2, kVeta - 2));
  EXPECT_EQ(pole(dir, 6, kIco), "45274649");
  EXPECT_EQ(pole(dir, 6, kNazev), std::string(30, ' '));
}

}  // namespace
}  // namespace pz::test
