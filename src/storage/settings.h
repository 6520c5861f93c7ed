// The process-wide global settings, filled once at start from the station settings tables, the
// parameter files and the own-company file (the shell's NactiNastaveni) and read by every layer
// from here instead of reading those stores again. All texts are cp1250. The settings marked (R)
// are refreshed when the system parameters window stores its values.
#pragma once

#include <string>

namespace pz::storage {

struct GlobalSettings {
  // Identity of the station: the user number "01".."99" names the station in the sharing table
  // and in the storage layer's messages; the workstation number appears in event log lines.
  std::string user;         // two digits; empty until the start-up initialisation ran
  int userNumber = 0;
  std::string workstation;  // at most 4 characters
  int workstationNumber = 0;

  std::string lockServer;   // host of the lock server (SERVER1 + SERVER2); empty: none
  bool lockingOff = false;  // the data root is the working directory: no locks are needed

  std::string homeCurrency;  // (R) 3 characters, "CZK" when not set
  std::string ledgerYear;    // 2 characters, "0"-filled (data root UCROK)
  std::string ledgerPeriod;  // 2 characters, "0"-filled (data root UCDAT)

  // VAT rates in percent: basic (DAN2), reduced (DAN1), second reduced (DAN3). (R)
  double vatBasic = 0, vatReduced = 0, vatReduced2 = 0;
  std::string vatBasicText, vatReducedText, vatReduced2Text;  // each as "##"
  // r / (r + 100) to 12 decimals: the VAT part of a price that includes VAT.
  double vatBasicCoef = 0, vatReducedCoef = 0, vatReduced2Coef = 0;

  std::string conversionCurrency;  // (R) "UCPARAM.DTA" MenaEU, 3 characters
  double conversionRate = 0;       // (R) "UCPARAM.DTA" KursEU
  std::string controlYear;         // (R) "UCPARAM.DTA" UcRok, blanks removed, 2 characters
  std::string controlPeriod;       // (R) "UCPARAM.DTA" UcObd, likewise

  int pageLength = 64;  // (R) lines of a report page; a missing, zero or bad LIMRAD gives 64
  int leftMargin = 0;   // (R) TAB
  bool semicolons = false;       // "sys.par" stredniky = "Ano"
  bool vatInclusive = false;     // DAN_DOLU set
  bool newPage = false;          // (R) every print starts on a new page (NovyList = "A")
  int drawerPort = 0;            // OB_PORT: printer port 1..4 that opens the cash drawer
  bool printerToggle = false;    // (R) "par\okna2.par" CencTisk = "A"
  int printerDpiX = 300, printerDpiY = 300;  // until a print reports the printer's own
  bool printNoDiacritics = false;  // DIAKTISK "N": Windows prints without diacritics
  bool registerLookup = true;      // ARES not starting with "N"
  // The public registers' lookups ("PZPOKL.PAR" in the working directory): the HTTP client
  // (Curl), its time limit for one request in seconds (CurlLimit), and the services' whole
  // addresses, each a server (WebARES, WebDPH) and a path (CestaARES, to which the IČO is
  // appended; CestaDPH). Only https is used, and plain http to 127.0.0.1.
  std::string httpClient = "curl";
  int httpTimeoutS = 20;
  std::string aresAddress = "https://ares.gov.cz/ekonomicke-subjekty-v-be/rest/ekonomicke-subjekty/";
  std::string vatRegisterAddress =
      "https://adisrws.mfcr.cz/adistc/axis2/services/rozhraniCRPDPH.rozhraniCRPDPHSOAP?SOAP";
  // "sys.par" LimitHotovosti: cash payments with one partner in a day, in crowns; 0: no check.
  double cashPaymentLimit = 270000;
  std::string firmName;            // ZAK1 + ZAK2 + ZAK3, exactly 24 characters
  bool gdpr = false;               // data root GDPR: personal data stored scrambled
  bool cashJournal = false;        // data root FJ: single-entry cash journal, no ledger
  bool ownCompanyAccounts = false; // the own company has a tax account
  double screenScale = 1.0;        // 1.25 on a screen of 120 dots per inch
  std::string eventLog;            // path of the shared event log
};

GlobalSettings& settings();

}  // namespace pz::storage
