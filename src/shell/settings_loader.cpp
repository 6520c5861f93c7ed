#include "shell/settings_loader.h"

#include <algorithm>

#include <string>

#include "platform/file.h"
#include "platform/io.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "registers/company.h"
#include "storage/czech.h"
#include "storage/interaction.h"
#include "storage/masterjob.h"
#include "storage/params.h"
#include "storage/roots.h"
#include "storage/probes.h"
#include "storage/settings.h"
#include "storage/textutil.h"
#include "ui/picture.h"

namespace pz::shell {

using namespace storage;
using platform::cz;

namespace {

constexpr size_t kVetaFirmyCteni = 353;  // bytes of the own-company record the start looks at

// r / (r + 100) to the 12 decimals of "#.############".
double koeficient(double sazba) {
  if (sazba + 100 == 0) return 0;
  return ui::TextNaReal(ui::FormatE("#.############", sazba / (sazba + 100)));
}

std::string dvaZnaky(const std::string& hodnota) {
  return DoplnZleva(Orez(hodnota.substr(0, 2)), 2, '0');
}

bool zamykaniVypnuto(const std::string& koren) {
  std::string prac = platform::currentDirectory();
  if (prac.empty() || prac.back() != '\\') prac += '\\';
  prac = VelkaPismena(prac);
  const std::string data = VelkaPismena(koren);
  if (data.find(':') == std::string::npos) {
    if (auto c = prac.find(':'); c != std::string::npos) prac.erase(0, c + 1);
  }
  return prac == data;
}

bool firmaMaUcty(const std::string& uzivatel) {
  const std::string soubor = registers::SouborFirmy(uzivatel);
  if (VelikostSouboru(soubor) <= 2) return false;
  platform::File f;
  if (f.open(soubor, platform::Access::Read, platform::Share::DenyNone) != platform::kIoOk) return false;
  std::string veta(kVetaFirmyCteni, '\0');
  size_t got = 0;
  f.readAt(0, veta.data(), veta.size(), &got);
  veta.resize(got);
  return registers::PlatceDph(veta);
}

}  // namespace

void OdvodSazbyDph() {
  GlobalSettings& s = settings();
  s.vatBasicText = ui::FormatE("##", s.vatBasic);
  s.vatReducedText = ui::FormatE("##", s.vatReduced);
  s.vatReduced2Text = ui::FormatE("##", s.vatReduced2);
  s.vatBasicCoef = koeficient(s.vatBasic);
  s.vatReducedCoef = koeficient(s.vatReduced);
  s.vatReduced2Coef = koeficient(s.vatReduced2);
}

double LimitHotovostiZTextu(const std::string& text) {
  const std::string limit = BezMezer(text);
  return limit.empty() ? 270000 : std::max(0.0, ui::TextNaReal(limit));
}

bool NactiNastaveni(int screenDpi) {
  GlobalSettings& s = settings();
  // The report scrambling key of GDPR mode is prepared here once the report files exist.

  const int64_t velikost = VelikostSouboru("master.job");
  if (velikost < 0 && velikost != -platform::kIoSharingViolation && velikost != -platform::kIoFileNotFound &&
      velikost != -platform::kIoPathNotFound) {
    storage::interaction().message(cz("Soubor master.job nelze přečíst (err") +
                                       DoplnZleva(std::to_string(-velikost), 6) + cz("), program končí."),
                                   true);
    return false;
  }
  if (velikost < 2 && velikost != -platform::kIoSharingViolation) return true;
  ZacatekStartuJob();

  s.eventLog = DataCesta("PROTOKOL.PRT");
  s.screenScale = screenDpi == 120 ? 1.25 : 1.0;

  // A missing, zero or unreadable user number makes this station user 01, once: the number is
  // written back, and start goes on with "01" whether or not the write succeeded.
  int uzivatel = ui::TextNaCele(CtiJob("UZIVATEL").substr(0, 2));
  if (uzivatel < 1 || uzivatel > 99) {
    PisJob("UZIVATEL", "01");
    uzivatel = 1;
  }
  s.userNumber = uzivatel;
  s.user = ui::FormatE("@@", uzivatel);

  const std::string koren = DataCesta("");
  s.lockServer = (CtiJobV(koren, "SERVER1") + CtiJobV(koren, "SERVER2")).substr(0, 16);

  s.vatReduced2 = ui::TextNaReal(CtiJob("DAN3"));
  s.vatReduced = ui::TextNaReal(CtiJob("DAN1"));
  s.vatBasic = ui::TextNaReal(CtiJob("DAN2"));
  OdvodSazbyDph();

  s.controlYear = BezMezer(CtiPar("UCPARAM.DTA", "UcRok")).substr(0, 2);
  s.controlPeriod = BezMezer(CtiPar("UCPARAM.DTA", "UcObd")).substr(0, 2);
  s.ledgerPeriod = dvaZnaky(CtiJobV(koren, "UCDAT"));
  s.ledgerYear = dvaZnaky(CtiJobV(koren, "UCROK"));
  s.conversionRate = ui::TextNaReal(CtiPar("UCPARAM.DTA", "KursEU"));
  s.conversionCurrency = CtiPar("UCPARAM.DTA", "MenaEU").substr(0, 3);

  std::string mena = CtiJob("MENA").substr(0, 3);
  s.homeCurrency = DoplnZprava(mena.empty() ? "CZK" : mena, 3);

  s.semicolons = CtiPar("sys.par", "stredniky") == "Ano";
  s.cashPaymentLimit = LimitHotovostiZTextu(CtiPar("sys.par", "LimitHotovosti"));
  s.leftMargin = ui::TextNaCele(CtiJob("TAB"));
  s.pageLength = ui::TextNaCele(CtiJob("LIMRAD"));
  if (s.pageLength < 1) s.pageLength = 64;

  s.lockingOff = zamykaniVypnuto(koren);

  s.gdpr = !CtiJobV(koren, "GDPR").empty();
  s.cashJournal = !CtiJobV(koren, "FJ").empty();
  s.vatInclusive = !CtiJob("DAN_DOLU").empty();

  s.newPage = CtiJob("NovyList") == "A";
  s.drawerPort = ui::TextNaCele(CtiJob("OB_PORT"));
  s.printerToggle = CtiPar("par\\okna2.par", "CencTisk") == "A";
  s.printerDpiX = s.printerDpiY = 300;
  s.printNoDiacritics = BezMezer(CtiJob("DIAKTISK")) == "N";
  const std::string ares = CtiJob("ARES");
  s.registerLookup = ares.empty() || VelkePismeno(ares[0]) != 'N';
  // A value of a parameter file holds at most 64 characters: server and path are two keys.
  const auto parametr = [](const char* klic, const char* vychozi) {
    const std::string t = Orez(CtiPar("PZPOKL.PAR", klic));
    return t.empty() ? std::string(vychozi) : t;
  };
  const auto server = [&parametr](const char* klic, const char* vychozi) {
    std::string t = parametr(klic, vychozi);
    while (t.ends_with('/')) t.pop_back();
    return t;
  };
  s.httpClient = parametr("Curl", "curl");
  s.aresAddress = server("WebARES", "https://ares.gov.cz") +
                  parametr("CestaARES", "/ekonomicke-subjekty-v-be/rest/ekonomicke-subjekty/");
  s.vatRegisterAddress = server("WebDPH", "https://adisrws.mfcr.cz") +
                         parametr("CestaDPH", "/adistc/axis2/services/rozhraniCRPDPH.rozhraniCRPDPHSOAP?SOAP");
  if (const int limit = ui::TextNaCele(BezMezer(CtiPar("PZPOKL.PAR", "CurlLimit"))); limit > 0)
    s.httpTimeoutS = std::min(limit, 600);
  s.firmName = (CtiJob("ZAK1") + CtiJob("ZAK2") + CtiJob("ZAK3") + std::string(24, ' ')).substr(0, 24);
  s.workstation = CtiJob("POCITAC").substr(0, 4);
  s.workstationNumber = ui::TextNaCele(s.workstation);
  s.ownCompanyAccounts = firmaMaUcty(s.user);

  ZapomenOtevrenaOkna();
  KonecStartuJob();
  return true;
}

}  // namespace pz::shell
