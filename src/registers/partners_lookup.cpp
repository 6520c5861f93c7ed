#include "registers/partners_lookup.h"

#include <expat.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/file.h"
#include "platform/fs.h"
#include "platform/io.h"
#include "platform/process.h"
#include "platform/text.h"
#include "storage/czech.h"
#include "storage/settings.h"
#include "storage/textutil.h"
#include "ui/dialogs.h"

namespace pz::registers {

using platform::cz;

namespace {

constexpr int kPokusu = 3;
constexpr const char* kNejvetsiOdpoved = "1000000";  // bytes; a register's answer is a few kB
constexpr const char* kJmennyProstorDph = "http://adis.mfcr.cz/rozhraniCRPDPH/";

bool jenCislice(std::string_view t) {
  return !t.empty() && std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// ---------------------------------------------------------------------------------------------
// JSON: the whole grammar, into a tree; strings kept as UTF-8, numbers as their literal.

struct Json {
  enum class Druh { Nic, Pravda, Cislo, Text, Pole, Objekt } druh = Druh::Nic;
  std::string text;
  std::vector<Json> prvky;
  // An object's members: keys and values at the same index (a pair could not hold this type
  // while it is still being declared).
  std::vector<std::string> klice;
  std::vector<Json> cleny;

  const Json* clen(std::string_view klic) const {
    for (std::size_t k = 0; k < klice.size(); ++k)
      if (klice[k] == klic) return &cleny[k];
    return nullptr;
  }
  // A string as it is, a number as its literal; anything else is empty.
  std::string hodnota() const { return druh == Druh::Text || druh == Druh::Cislo ? text : std::string(); }
};

class JsonCteni {
 public:
  explicit JsonCteni(std::string_view s) : s_(s) {}
  bool cti(Json& v) {
    if (s_.starts_with("\xEF\xBB\xBF")) i_ = 3;
    if (!hodnota(v, 0)) return false;
    mezery();
    return i_ == s_.size();
  }

 private:
  static constexpr int kHloubka = 64;  // nesting deeper than any register answer is refused

  void mezery() {
    while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t' || s_[i_] == '\n' || s_[i_] == '\r')) ++i_;
  }
  bool slovo(std::string_view w) {
    if (s_.substr(i_, w.size()) != w) return false;
    i_ += w.size();
    return true;
  }
  bool hodnota(Json& v, int hloubka) {
    if (hloubka > kHloubka) return false;
    mezery();
    if (i_ >= s_.size()) return false;
    const char c = s_[i_];
    if (c == '{') return objekt(v, hloubka);
    if (c == '[') return pole(v, hloubka);
    if (c == '"') {
      v.druh = Json::Druh::Text;
      return retezec(v.text);
    }
    if (c == 't' || c == 'f') {
      v.druh = Json::Druh::Pravda;
      v.text = c == 't' ? "true" : "false";
      return slovo(v.text);
    }
    if (c == 'n') return slovo("null");
    return cislo(v);
  }
  bool objekt(Json& v, int hloubka) {
    v.druh = Json::Druh::Objekt;
    ++i_;
    mezery();
    if (i_ < s_.size() && s_[i_] == '}') return ++i_, true;
    while (true) {
      mezery();
      std::string klic;
      if (i_ >= s_.size() || s_[i_] != '"' || !retezec(klic)) return false;
      mezery();
      if (i_ >= s_.size() || s_[i_++] != ':') return false;
      Json h;
      if (!hodnota(h, hloubka + 1)) return false;
      v.klice.push_back(std::move(klic));
      v.cleny.push_back(std::move(h));
      mezery();
      if (i_ >= s_.size()) return false;
      if (s_[i_] == ',') {
        ++i_;
        continue;
      }
      return s_[i_++] == '}';
    }
  }
  bool pole(Json& v, int hloubka) {
    v.druh = Json::Druh::Pole;
    ++i_;
    mezery();
    if (i_ < s_.size() && s_[i_] == ']') return ++i_, true;
    while (true) {
      Json h;
      if (!hodnota(h, hloubka + 1)) return false;
      v.prvky.push_back(std::move(h));
      mezery();
      if (i_ >= s_.size()) return false;
      if (s_[i_] == ',') {
        ++i_;
        continue;
      }
      return s_[i_++] == ']';
    }
  }
  bool hex4(unsigned& u) {
    if (i_ + 4 > s_.size()) return false;
    u = 0;
    for (int k = 0; k < 4; ++k) {
      const char c = s_[i_++];
      u <<= 4;
      if (c >= '0' && c <= '9') u |= static_cast<unsigned>(c - '0');
      else if (c >= 'a' && c <= 'f') u |= static_cast<unsigned>(c - 'a' + 10);
      else if (c >= 'A' && c <= 'F') u |= static_cast<unsigned>(c - 'A' + 10);
      else return false;
    }
    return true;
  }
  bool retezec(std::string& out) {
    ++i_;
    while (i_ < s_.size()) {
      const unsigned char c = static_cast<unsigned char>(s_[i_++]);
      if (c == '"') return true;
      if (c < 0x20) return false;
      if (c != '\\') {
        out += static_cast<char>(c);
        continue;
      }
      if (i_ >= s_.size()) return false;
      switch (s_[i_++]) {
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        case '/': out += '/'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'u': {
          unsigned u = 0;
          if (!hex4(u)) return false;
          char32_t cp = u;
          if (u >= 0xD800 && u <= 0xDBFF) {
            unsigned nizsi = 0;
            if (!slovo("\\u") || !hex4(nizsi) || nizsi < 0xDC00 || nizsi > 0xDFFF) return false;
            cp = 0x10000 + ((u - 0xD800) << 10) + (nizsi - 0xDC00);
          } else if (u >= 0xDC00 && u <= 0xDFFF) {
            return false;
          }
          platform::appendUtf8(out, cp);
          break;
        }
        default: return false;
      }
    }
    return false;
  }
  bool cislo(Json& v) {
    const std::size_t od = i_;
    const auto cislice = [&] {
      const std::size_t z = i_;
      while (i_ < s_.size() && s_[i_] >= '0' && s_[i_] <= '9') ++i_;
      return i_ > z;
    };
    if (i_ < s_.size() && s_[i_] == '-') ++i_;
    if (i_ < s_.size() && s_[i_] == '0') ++i_;
    else if (!cislice()) return false;
    if (i_ < s_.size() && s_[i_] == '.' && (++i_, !cislice())) return false;
    if (i_ < s_.size() && (s_[i_] == 'e' || s_[i_] == 'E')) {
      ++i_;
      if (i_ < s_.size() && (s_[i_] == '+' || s_[i_] == '-')) ++i_;
      if (!cislice()) return false;
    }
    v.druh = Json::Druh::Cislo;
    v.text = std::string(s_.substr(od, i_ - od));
    return true;
  }

  std::string_view s_;
  std::size_t i_ = 0;
};

std::string cp(const std::string& utf8) { return storage::Orez(platform::utf8ToCp1250(utf8)); }

std::string vlevoNuly(std::string t, std::size_t sirka) {
  if (t.size() < sirka) t.insert(0, sirka - t.size(), '0');
  return t;
}

// ---------------------------------------------------------------------------------------------
// The VAT register's SOAP answer, read with expat in namespace mode ("uri local" names).

struct Ucet {
  std::string predcisli, cislo, kodBanky;  // a standard account
  std::string text;                        // a non-standard one: an IBAN or any text
};

struct DphCteni {
  std::string dic;  // the digits asked for
  bool fault = false, vFaultString = false;
  std::string faultText;
  bool maStatus = false;
  std::string statusCode, statusText;
  int vPlatci = 0;  // depth inside the statusPlatceDPH of the digits asked for
  bool nalezen = false, maStav = false;
  std::string stav;
  std::vector<Ucet> ucty;
};

std::string_view mistniJmeno(const XML_Char* jmeno) {
  std::string_view j = jmeno;
  const std::size_t mezera = j.rfind(' ');
  return mezera == std::string_view::npos ? j : j.substr(mezera + 1);
}

const XML_Char* atribut(const XML_Char** atributy, std::string_view jmeno) {
  for (int k = 0; atributy[k]; k += 2)
    if (mistniJmeno(atributy[k]) == jmeno) return atributy[k + 1];
  return nullptr;
}

void XMLCALL zacatek(void* data, const XML_Char* jmeno, const XML_Char** atributy) {
  auto& c = *static_cast<DphCteni*>(data);
  const std::string_view j = mistniJmeno(jmeno);
  const auto a = [&](std::string_view n) -> std::string {
    const XML_Char* h = atribut(atributy, n);
    return h ? std::string(h) : std::string();
  };
  if (c.vPlatci > 0) {
    ++c.vPlatci;
    if (j == "standardniUcet") c.ucty.push_back({a("predcisli"), a("cislo"), a("kodBanky"), {}});
    else if (j == "nestandardniUcet") c.ucty.push_back({{}, {}, {}, a("cislo")});
    return;
  }
  if (j == "Fault") {
    c.fault = true;
  } else if (j == "faultstring") {
    c.vFaultString = true;
  } else if (j == "status" && !c.maStatus) {
    c.maStatus = true;
    c.statusCode = a("statusCode");
    c.statusText = a("statusText");
  } else if (j == "statusPlatceDPH" && !c.nalezen) {
    const std::string dic = a("dic");
    if (!dic.empty() && dic != c.dic) return;
    c.nalezen = true;
    c.vPlatci = 1;
    if (const XML_Char* s = atribut(atributy, "nespolehlivyPlatce")) {
      c.maStav = true;
      c.stav = s;
    }
  }
}

void XMLCALL konec(void* data, const XML_Char*) {
  auto& c = *static_cast<DphCteni*>(data);
  if (c.vPlatci > 0) --c.vPlatci;
  c.vFaultString = false;
}

void XMLCALL znaky(void* data, const XML_Char* s, int delka) {
  auto& c = *static_cast<DphCteni*>(data);
  if (c.vFaultString) c.faultText.append(s, static_cast<std::size_t>(delka));
}

// A Czech IBAN "CZkk BBBB PPPPPP NNNNNNNNNN" with a right check: bank code and account.
bool zCeskehoIban(std::string iban, std::string& kod, std::string& ucet) {
  iban.erase(std::remove(iban.begin(), iban.end(), ' '), iban.end());
  if (iban.size() != 24 || !iban.starts_with("CZ") || !jenCislice(iban.substr(2))) return false;
  // The check: the account digits, then "CZ" as 12 35 and the check digits, mod 97 is 1.
  const std::string preskupeny = iban.substr(4) + "1235" + iban.substr(2, 2);
  int zbytek = 0;
  for (char c : preskupeny) zbytek = (zbytek * 10 + (c - '0')) % 97;
  if (zbytek != 1) return false;
  kod = iban.substr(4, 4);
  const auto bezNul = [](const std::string& t) {
    const std::size_t p = t.find_first_not_of('0');
    return p == std::string::npos ? std::string() : t.substr(p);
  };
  const std::string predcisli = bezNul(iban.substr(8, 6)), cislo = bezNul(iban.substr(14));
  ucet = predcisli.empty() ? cislo : predcisli + "-" + cislo;
  return !cislo.empty();
}

// ---------------------------------------------------------------------------------------------
// One exchange with a register through the HTTP client.

struct Vymena {
  bool spusteno = true;  // false: the client could not be started
  bool odpoved = false;  // an answer of more than one byte came
  int http = 0;
  std::string telo;
};

// The curl protocol list an address may use: https, or plain http to this computer only.
std::string protokol(const std::string& adresa) {
  if (adresa.find_first_of(" \t\r\n\"'<>\\") != std::string::npos) return {};
  if (adresa.starts_with("https://") && adresa.size() > 8) return "=https";
  constexpr std::string_view mistni = "http://127.0.0.1";
  if (adresa.starts_with(mistni) && adresa.size() > mistni.size() &&
      (adresa[mistni.size()] == ':' || adresa[mistni.size()] == '/'))
    return "=http";
  return {};
}

Vymena vymen(const std::string& adresa, const std::string& proto, const platform::TempFolder& slozka,
             const std::string& odpoved, const std::vector<std::string>& navic) {
  const storage::GlobalSettings& s = storage::settings();
  const std::string soubor = slozka.path() + "/" + odpoved;
  std::vector<std::string> argv = {s.httpClient,     "--silent",        "--proto",  proto,
                                   "--max-time",     std::to_string(s.httpTimeoutS),
                                   "--max-filesize", kNejvetsiOdpoved,  "--output", soubor,
                                   "--write-out",    "%{http_code}"};
  if (proto == "=http") argv.insert(argv.end(), {"--noproxy", "127.0.0.1"});
  argv.insert(argv.end(), navic.begin(), navic.end());
  argv.insert(argv.end(), {"--url", adresa});
  Vymena v;
  for (int pokus = 1; pokus <= kPokusu; ++pokus) {
    ui::BlikPostup(kPokusu, pokus);
    // An answer of a try before must never be read as this one's.
    platform::removeFile(soubor);
    const platform::ProcessResult r = platform::runProcess(argv, s.httpTimeoutS * 1000 + 5000);
    if (!r.started) {
      v.spusteno = false;
      return v;
    }
    if (r.timedOut || r.exitCode != 0) continue;
    std::string telo;
    if (platform::readWholeFile(soubor, telo, platform::Share::DenyNone) != platform::kIoOk || telo.size() <= 1)
      continue;
    const std::string kod = storage::Orez(r.output);
    v.http = jenCislice(kod) ? std::stoi(kod) : 0;
    // A server in trouble may answer the next try.
    if (v.http < 200 || v.http >= 500) continue;
    v.odpoved = true;
    v.telo = std::move(telo);
    return v;
  }
  return v;
}

// The shared start and end of both lookups: false (after its message) when no answer came.
bool zeptejSe(const std::string& adresa, const std::string& predpona, const std::string& odpoved,
              const std::vector<std::pair<std::string, std::string>>& soubory, std::vector<std::string> navic,
              Vymena& v) {
  const std::string proto = protokol(adresa);
  if (proto.empty()) {
    ui::Zprava(cz("Adresa registru musí začínat https:// : ") + adresa);
    return false;
  }
  platform::TempFolder slozka(predpona);
  if (slozka.path().empty()) {
    ui::Zprava(cz("Dočasnou složku pro dotaz do registru nelze založit"));
    return false;
  }
  for (const auto& [jmeno, obsah] : soubory) {
    if (platform::writeWholeFile(slozka.path() + "/" + jmeno, obsah) != platform::kIoOk) {
      ui::Zprava(cz("Dotaz do registru nelze zapsat"));
      return false;
    }
  }
  for (std::string& a : navic)
    if (a.starts_with('@')) a = "@" + slozka.path() + "/" + a.substr(1);
  {
    // Shown while the client waits for the register; each try moves the bar on.
    ui::Blik(cz("Hledám v registru, čekejte prosím"));
    struct Konec {
      ~Konec() { ui::BlikKonec(); }
    } konec;
    v = vymen(adresa, proto, slozka, odpoved, navic);
  }
  if (!v.spusteno) {
    ui::Zprava(cz("Program ") + storage::settings().httpClient + cz(" nelze spustit"));
    return false;
  }
  if (!v.odpoved) {
    ui::Zprava(cz("Chyba spojení"));
    return false;
  }
  return true;
}

std::string xmlText(std::string_view t) {
  std::string out;
  for (char c : t) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      default: out += c;
    }
  }
  return out;
}

}  // namespace

std::optional<std::string> PlatneIco(std::string_view text) {
  const std::string t = storage::Orez(text);
  if (t.size() > 8 || !jenCislice(t)) return std::nullopt;
  return vlevoNuly(t, 8);
}

bool KontrolniCisliceIco(const std::string& ico8) {
  if (ico8.size() != 8 || !jenCislice(ico8)) return false;
  int soucet = 0;
  for (int k = 0; k < 7; ++k) soucet += (ico8[static_cast<std::size_t>(k)] - '0') * (8 - k);
  const int zbytek = soucet % 11;
  const int kontrolni = zbytek == 0 ? 1 : zbytek == 1 ? 0 : 11 - zbytek;
  return ico8[7] - '0' == kontrolni;
}

std::optional<std::string> CisliceDic(std::string_view text) {
  std::string t = storage::BezMezer(text);
  if (t.size() >= 2 && (t[0] == 'C' || t[0] == 'c') && (t[1] == 'Z' || t[1] == 'z')) t.erase(0, 2);
  if (t.size() < 8 || t.size() > 10 || !jenCislice(t)) return std::nullopt;
  return t;
}

CteniAres CtiOdpovedAres(std::string_view json, const std::string& ico8) {
  CteniAres c;
  Json koren;
  if (!JsonCteni(json).cti(koren) || koren.druh != Json::Druh::Objekt) {
    c.chyba = cz("Odpověď registru ekonomických subjektů nelze přečíst");
    return c;
  }
  // The register's error object: "kod", "popis" and "subKod" ("VYSLEDEK_NENALEZEN").
  if (const Json* sub = koren.clen("subKod"); sub && !sub->hodnota().empty()) {
    c.chyba = cp(sub->hodnota());
    return c;
  }
  if (const Json* kod = koren.clen("kod"); kod && !koren.clen("ico")) {
    const Json* popis = koren.clen("popis");
    c.chyba = cp(popis && !popis->hodnota().empty() ? popis->hodnota() : kod->hodnota());
    // An error object that names nothing is still an error the user is told of.
    if (c.chyba.empty()) c.chyba = cz("Registr ekonomických subjektů odpověděl chybou");
    return c;
  }
  AresUdaje u;
  u.ico = ico8;
  if (const Json* ico = koren.clen("ico"); ico) {
    const auto odpovezene = PlatneIco(ico->hodnota());
    if (!odpovezene || *odpovezene != ico8) {
      c.chyba = cz("Registr ekonomických subjektů odpověděl za jiné IČO");
      return c;
    }
  }
  const auto text = [](const Json& o, std::string_view klic) {
    const Json* v = o.clen(klic);
    return v ? cp(v->hodnota()) : std::string();
  };
  u.nazev = text(koren, "obchodniJmeno");
  const Json* dic = koren.clen("dic");
  for (std::size_t k = 0; !dic && k < koren.klice.size(); ++k)
    if (storage::VelkaPismena(koren.klice[k]) == "DIC") dic = &koren.cleny[k];
  if (dic) u.dic = cp(dic->hodnota());
  if (const std::string fu = storage::BezMezer(text(koren, "financniUrad")); !fu.empty())
    u.financniUrad = jenCislice(fu) && fu.size() < 3 ? vlevoNuly(fu, 3) : fu;
  if (const Json* sidlo = koren.clen("sidlo"); sidlo && sidlo->druh == Json::Druh::Objekt) {
    // A place without streets is written with the part of the town before the house number.
    std::string ulice = text(*sidlo, "nazevUlice");
    if (ulice.empty()) ulice = text(*sidlo, "nazevCastiObce");
    const std::string cislo = text(*sidlo, "cisloDomovni");
    u.ulice = storage::Orez(ulice + " " + cislo);
    u.psc = storage::BezMezer(text(*sidlo, "psc"));
    u.mesto = text(*sidlo, "nazevObce");
    u.stat = text(*sidlo, "nazevStatu");
  }
  c.udaje = std::move(u);
  return c;
}

std::string DotazDph(const std::string& dic) {
  return std::string("<soapenv:Envelope xmlns:soapenv=\"http://schemas.xmlsoap.org/soap/envelope/\"><soapenv:Body>"
                     "<StatusNespolehlivyPlatceRequest xmlns=\"") +
         kJmennyProstorDph + "\"><dic>" + xmlText(dic) +
         "</dic></StatusNespolehlivyPlatceRequest></soapenv:Body></soapenv:Envelope>";
}

CteniDph CtiOdpovedDph(std::string_view xml, const std::string& dic) {
  CteniDph c;
  DphCteni cteni;
  cteni.dic = dic;
  XML_Parser p = XML_ParserCreateNS("UTF-8", ' ');
  XML_SetUserData(p, &cteni);
  XML_SetElementHandler(p, zacatek, konec);
  XML_SetCharacterDataHandler(p, znaky);
  const bool precteno = XML_Parse(p, xml.data(), static_cast<int>(xml.size()), 1) == XML_STATUS_OK;
  XML_ParserFree(p);
  if (!precteno) {
    c.chyba = cz("Odpověď registru plátců DPH nelze přečíst");
  } else if (cteni.fault) {
    c.chyba = cz("Registr plátců DPH: ") + cp(cteni.faultText);
  } else if (cteni.maStatus && storage::Orez(cteni.statusCode) != "0") {
    // Maintenance and refusals come so, without the payer's status.
    c.chyba = cz("Registr plátců DPH: ") + cp(cteni.statusText);
  } else if (!cteni.nalezen || !cteni.maStav || storage::Orez(cteni.stav).empty()) {
    c.chyba = cz("Registr plátců DPH neuvedl stav plátce");
  }
  if (!c.chyba.empty()) return c;
  DphUdaje u;
  u.status = cp(cteni.stav);
  // The first standard account; else the first other one that is a Czech IBAN or fits the field.
  for (const Ucet& ucet : cteni.ucty) {
    // A Czech account: a prefix of up to 6 digits, a number of up to 10, a bank code of 4.
    const std::string predcisli = storage::Orez(ucet.predcisli);
    if (!jenCislice(ucet.cislo) || ucet.cislo.size() > 10 || ucet.kodBanky.size() != 4 || !jenCislice(ucet.kodBanky) ||
        predcisli.size() > 6 || (!predcisli.empty() && !jenCislice(predcisli)))
      continue;
    u.kodBanky = ucet.kodBanky;
    u.ucet = predcisli.empty() || predcisli.find_first_not_of('0') == std::string::npos ? ucet.cislo
                                                                                       : predcisli + "-" + ucet.cislo;
    break;
  }
  for (std::size_t k = 0; u.ucet.empty() && k < cteni.ucty.size(); ++k) {
    const std::string text = cp(cteni.ucty[k].text);
    if (text.empty()) continue;
    if (!zCeskehoIban(text, u.kodBanky, u.ucet) && text.size() <= 19) u.ucet = text;
  }
  c.udaje = std::move(u);
  return c;
}

bool HledejAres(const std::string& ico, AresUdaje& vysledek) {
  const auto ico8 = PlatneIco(ico);
  if (!ico8) {
    ui::Zprava(cz("IČO smí obsahovat jen 1 až 8 číslic, v registru se nehledá"));
    return false;
  }
  Vymena v;
  if (!zeptejSe(storage::settings().aresAddress + *ico8, "pzpokl-ares-", "ARES_RES.UTF", {},
                {"--header", "Accept: application/json"}, v))
    return false;
  CteniAres c = CtiOdpovedAres(v.telo, *ico8);
  if (!c.udaje && c.chyba.empty()) c.chyba = cz("Registr ekonomických subjektů odpověděl chybou");
  if (c.udaje && v.http >= 300) {
    c.udaje.reset();
    c.chyba = cz("Registr ekonomických subjektů odpověděl chybou ") + std::to_string(v.http);
  }
  if (!c.udaje) {
    ui::Zprava(c.chyba);
    return false;
  }
  vysledek = std::move(*c.udaje);
  return true;
}

bool HledejSpolehlivost(const std::string& dic, DphUdaje& vysledek) {
  const auto cislice = CisliceDic(dic);
  if (!cislice) {
    ui::Zprava(cz("DIČ smí obsahovat jen CZ a 8 až 10 číslic, spolehlivost plátce se neověřuje"));
    return false;
  }
  Vymena v;
  if (!zeptejSe(storage::settings().vatRegisterAddress, "pzpokl-dph-", "RPDPH.res", {{"RPDPH.req", DotazDph(*cislice)}},
                {"--header", "Content-Type: text/xml;charset=UTF-8", "--header", "SOAPAction:Get", "--data-binary",
                 "@RPDPH.req"},
                v))
    return false;
  CteniDph c = CtiOdpovedDph(v.telo, *cislice);
  if (c.udaje && v.http >= 300) {
    c.udaje.reset();
    c.chyba = cz("Registr plátců DPH odpověděl chybou ") + std::to_string(v.http);
  }
  if (!c.udaje) {
    ui::Zprava(c.chyba);
    return false;
  }
  vysledek = std::move(*c.udaje);
  return true;
}

}  // namespace pz::registers
