#include "accounting/entries.h"

#include <cstdio>
#include <limits>

#include "accounting/attach.h"
#include "platform/file.h"
#include "platform/fs.h"
#include "platform/io.h"
#include "platform/text.h"
#include "storage/czech.h"
#include "storage/filehelpers.h"
#include "storage/locks.h"
#include "storage/recordfile.h"
#include "storage/roots.h"
#include "storage/textutil.h"
#include "storage/intentrecord.h"
#include "storage/interaction.h"

namespace pz::accounting {

using platform::cz;
namespace uz = ucZapis;

namespace {

struct PoleZapisu {
  std::size_t offset, sirka;
  std::string tUcZapis::*text;
};
constexpr PoleZapisu kTexty[] = {
    {uz::kAgenda, 2, &tUcZapis::agenda},   {uz::kCisloUP, 6, &tUcZapis::cisloUP}, {uz::kRadek, 2, &tUcZapis::radek},
    {uz::kText, 30, &tUcZapis::text},      {uz::kUcetMD, 6, &tUcZapis::ucetMD},   {uz::kStrMD, 5, &tUcZapis::strMD},
    {uz::kZakMD, 20, &tUcZapis::zakMD},    {uz::kUcetDal, 6, &tUcZapis::ucetDal}, {uz::kStrDal, 5, &tUcZapis::strDal},
    {uz::kZakDal, 20, &tUcZapis::zakDal},  {uz::kDatum, 6, &tUcZapis::datum},     {uz::kParUdaj, 10, &tUcZapis::parUdaj},
};

void zprava(const std::string& text) { storage::interaction().message(text, true); }

// Digits of `text` from `od`, `n` of them, as a number; anything else counts as 0.
int cislo(std::string_view text, std::size_t od, std::size_t n) {
  int v = 0;
  for (std::size_t i = od; i < od + n; ++i) {
    const char c = i < text.size() ? text[i] : '0';
    v = v * 10 + (c >= '0' && c <= '9' ? c - '0' : 0);
  }
  return v;
}

std::optional<std::string> dalsi(std::string_view citac, std::size_t drzet, int cifer) {
  const std::string c = storage::DoplnZprava(citac.substr(0, 8), 8, '0');
  const int a = cislo(c, drzet, 6 - drzet), b = cislo(c, 6, 2);
  const long long v = b + 1 > 99 ? a * 100LL + 101 : a * 100LL + b + 1;
  char buf[16];
  std::snprintf(buf, sizeof buf, "%0*lld", cifer, v);
  if (static_cast<int>(std::string_view(buf).size()) != cifer) return std::nullopt;
  return c.substr(0, drzet) + buf;
}

std::string nazevSouboru(std::string_view jmeno) {
  const std::string s(jmeno);
  const auto p = s.find_last_of("\\/:");
  return p == std::string::npos ? s : s.substr(p + 1);
}


}  // namespace

tUcZapis RozeberZapis(storage::ConstBytes veta) {
  tUcZapis z;
  for (const auto& p : kTexty) z.*p.text = storage::readShortString(veta, p.offset, p.sirka);
  z.castka = storage::readI64(veta, uz::kCastka);
  return z;
}

void PisZapis(storage::Bytes veta, const tUcZapis& z) {
  for (const auto& p : kTexty) {
    const std::string& t = z.*p.text;
    (void)storage::writeShortString(veta, p.offset, p.sirka, std::string_view(t).substr(0, p.sirka));
  }
  storage::writeI64(veta, uz::kCastka, z.castka);
}

std::vector<std::uint8_t> SlozZapis(const tUcZapis& z) {
  std::vector<std::uint8_t> v(uz::kVelikost, 0);
  PisZapis(v, z);
  return v;
}

const std::vector<std::string>& ZnamyAgendy() {
  static const std::vector<std::string> a = {"UC", "OF", "DF", "DZ", "MZ", "SK", "PO", "PZ", "BA",
                                             "VP", "IM", "ZA", "ZV", "XX", "KU", "UP", "PD"};
  return a;
}

bool ZnamaAgenda(std::string_view agenda) {
  for (const auto& a : ZnamyAgendy())
    if (a == agenda) return true;
  return false;
}

std::string AgendaSouboru(std::string_view jmeno) {
  std::string n = !jmeno.empty() && jmeno[0] == '=' ? nazevSouboru(jmeno.substr(1)) : std::string(jmeno);
  return storage::VelkaPismena(n.substr(0, 2));
}

std::optional<std::string> DalsiRadekUP(std::string_view citac) { return dalsi(citac, 4, 4); }
std::optional<std::string> DalsiZapisUP(std::string_view citac) { return dalsi(citac, 2, 6); }

std::string ZpravaPreteceniCitace(std::string_view citac) {
  return cz("Číslo účetního předpisu ") + std::string(citac) + cz(" už nelze zvýšit, zápis nebyl proveden");
}

namespace {

// A damaged file can hold any 64-bit amount: a sum stops at the end of the range rather than
// wrapping round to a plausible figure.
void pricti(std::int64_t& suma, std::int64_t castka) {
  if (__builtin_add_overflow(suma, castka, &suma))
    suma = castka > 0 ? std::numeric_limits<std::int64_t>::max() : std::numeric_limits<std::int64_t>::min();
}

}  // namespace

Strany SoucetStran(const std::vector<tUcZapis>& zapisy, bool bez701000) {
  Strany s;
  for (const auto& z : zapisy) {
    if (z.castka == 0 || z.agenda == "SA") continue;
    if (z.maMD() && !(bez701000 && z.ucetMD == "701000")) pricti(s.md, z.castka);
    if (z.maDal() && !(bez701000 && z.ucetDal == "701000")) pricti(s.dal, z.castka);
  }
  return s;
}

namespace {

// The whole file as it is, or nullopt (after the message) when it cannot be read or is no whole
// number of entries. A missing file is empty.
std::optional<std::string> ctiCelou(const std::string& cesta) {
  std::string obsah;
  if (!platform::fileExists(cesta)) return obsah;
  if (const int e = platform::readWholeFile(cesta, obsah); e != platform::kIoOk) {
    zprava(storage::ZpravaCteni(nazevSouboru(cesta), e));
    return std::nullopt;
  }
  if (obsah.size() % uz::kVelikost != 0) {
    zprava(cz("Soubor ") + nazevSouboru(cesta) + cz(" nemá délku celých účetních zápisů (") +
           std::to_string(obsah.size()) + cz(" B), nelze s ním pracovat"));
    return std::nullopt;
  }
  return obsah;
}

// Writes `obsah` into a work file beside `cesta`, which then takes its place in one rename.
bool nahradPracovnim(const std::string& cesta, const std::string& obsah, bool zamceno) {
  const auto tecka = cesta.find_last_of('.');
  const auto oddelovac = cesta.find_last_of("\\/");
  const bool pripona = tecka != std::string::npos && (oddelovac == std::string::npos || tecka > oddelovac);
  const std::string pracovni = (pripona ? cesta.substr(0, tecka) : cesta) + ".$uc";
  int e = platform::writeWholeFile(pracovni, obsah);
  if (e != platform::kIoOk) {
    platform::removeFile(pracovni);
    zprava(storage::ZpravaZapisu(nazevSouboru(pracovni), e));
    return false;
  }
  if (zamceno && !storage::DrziZamek(cesta)) {
    platform::removeFile(pracovni);
    zprava(cz("Soubor ") + nazevSouboru(cesta) + cz(" už není zamčen touto stanicí, nebyl přepsán"));
    return false;
  }
  e = storage::NahradSoubor(pracovni, cesta);  // shows its own messages
  if (e != 0) {
    platform::removeFile(pracovni);
    return false;
  }
  return true;
}

std::string bajty(const std::vector<tUcZapis>& zapisy) {
  std::string obsah;
  obsah.reserve(zapisy.size() * uz::kVelikost);
  for (const auto& z : zapisy) {
    const auto v = SlozZapis(z);
    obsah.append(v.begin(), v.end());
  }
  return obsah;
}

}  // namespace

std::optional<std::string> BajtyDavky(const std::string& cesta) { return ctiCelou(cesta); }
bool NahradBajty(const std::string& cesta, const std::string& obsah, bool zamceno) {
  return nahradPracovnim(cesta, obsah, zamceno);
}

bool CtiDavku(std::string_view jmeno, std::vector<tUcZapis>& zapisy) {
  zapisy.clear();
  const auto obsah = BajtyDavky(storage::DataCesta(jmeno));
  if (!obsah) return false;
  for (std::size_t o = 0; o < obsah->size(); o += uz::kVelikost)
    zapisy.push_back(RozeberZapis(std::string_view(*obsah).substr(o, uz::kVelikost)));
  return true;
}

bool PrepisDavku(std::string_view jmeno, const std::vector<tUcZapis>& zapisy, bool zamceno) {
  return NahradBajty(storage::DataCesta(jmeno), bajty(zapisy), zamceno);
}

std::optional<std::string> PridejDoDavky(const std::vector<tUcZapis>& zapisy, std::string_view davka,
                                         std::string_view pripona) {
  std::vector<tUcZapis> nove;
  for (tUcZapis z : zapisy) {
    if (z.prazdny()) continue;
    if (!pripona.empty())
      z.text = (storage::DoplnZprava(std::string_view(z.text).substr(0, 28), 28) + std::string(pripona)).substr(0, 30);
    if (!nove.empty()) {
      const tUcZapis& p = nove.back();
      const auto c = DalsiRadekUP(storage::DoplnZprava(p.cisloUP, 6, '0') + storage::DoplnZprava(p.radek, 2, '0'));
      if (!c) {
        zprava(ZpravaPreteceniCitace(p.cisloUP + p.radek));
        return std::nullopt;
      }
      z.cisloUP = c->substr(0, 6);
      z.radek = c->substr(6, 2);
    }
    nove.push_back(std::move(z));
  }
  if (nove.empty()) return std::string();

  const tUcZapis& posledni = nove.back();
  std::string radek = storage::DoplnZprava(posledni.radek, 2, '0');
  if (radek > "90") radek = "99";
  const auto citac = DalsiRadekUP(storage::DoplnZprava(posledni.cisloUP, 6, '0') + radek);
  if (!citac) {
    zprava(ZpravaPreteceniCitace(posledni.cisloUP + posledni.radek));
    return std::nullopt;
  }

  const std::string cesta = storage::DataCesta(davka);
  const storage::Zamek zamek = storage::Zamkni(cesta, "W");
  if (!storage::MuzePokracovat(zamek)) {
    zprava(cz("Dávka ") + nazevSouboru(cesta) + cz(" není volná, zápisy nebyly připsány"));
    return std::nullopt;
  }
  // The old entries are copied as they are; only the voucher's are made here. An attach cut off by
  // a kill is finished first, so that the entries it moved are not kept.
  // So is a cash document save cut off in it, whose undo would otherwise cut these entries off.
  std::optional<std::string> obsah;
  if (DokonciPripojeni(cesta, zamek == storage::Zamek::Drzen) != Dokonceni::Chyba && storage::VratPrerusenaUlozeniNad({cesta}))
    obsah = BajtyDavky(cesta);
  const bool ok = obsah && NahradBajty(cesta, *obsah + bajty(nove), zamek == storage::Zamek::Drzen);
  if (zamek == storage::Zamek::Drzen) storage::Odemkni(cesta);
  if (!ok) return std::nullopt;
  return *citac;
}

}  // namespace pz::accounting
