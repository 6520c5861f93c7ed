#include "registers/checks.h"

#include <algorithm>
#include <cctype>

namespace pz::registers {

namespace {

bool jenCislice(const std::string& s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool jeNula(const std::string& s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return c == '0' || c == '-' || c == ' '; });
}

// Remainder of a decimal digit string divided by 11, without overflow for any length.
int zbytek11(const std::string& s) {
  int r = 0;
  for (char c : s) r = (r * 10 + (c - '0')) % 11;
  return r;
}

}  // namespace

bool KontrolaRodnehoCisla(const std::string& vstup) {
  std::string rc;
  for (char c : vstup)
    if (c != ' ') rc += c;
  if (const auto p = rc.find('/'); p != std::string::npos) rc.erase(p, 1);
  if (!jenCislice(rc)) return false;
  if (rc.size() == 9) {
    const int mesic = (rc[2] - '0') * 10 + (rc[3] - '0');
    return mesic <= 12 || (mesic >= 51 && mesic <= 62);
  }
  if (rc.size() == 10) return zbytek11(rc) == 0 || (rc[9] == '0' && zbytek11(rc.substr(0, 9)) == 10);
  return false;
}

bool VahovyTest(const std::string& cast) {
  if (cast.empty() || jeNula(cast)) return false;
  long long soucet = 0;
  long long vaha = 1;
  for (auto it = cast.rbegin(); it != cast.rend(); ++it) {
    if (*it == '-' || *it == ' ') continue;
    if (*it < '0' || *it > '9') return false;
    soucet = (soucet + vaha * (*it - '0')) % 11;
    vaha = vaha * 2 % 11;  // only the remainder matters
  }
  return soucet % 11 == 0;
}

bool KontrolaKonta(std::string& ucet) {
  std::string t;
  for (char c : ucet)
    if (c != ' ' && t.size() < 30) t += c;
  if (t.empty() || jeNula(t)) return false;
  // "123456-789": a dash three characters from the end is a typing habit, not the prefix.
  if (const auto p = t.find('-'); p != std::string::npos && p + 4 == t.size()) t.erase(p, 1);
  std::string predcisli, cislo;
  if (const auto p = t.find('-'); p != std::string::npos) {
    predcisli = t.substr(0, p);
    cislo = t.substr(p + 1);
    cislo.erase(std::remove(cislo.begin(), cislo.end(), '-'), cislo.end());
  } else {
    cislo = t;
  }
  if (cislo.size() > 10) {
    predcisli += cislo.substr(0, cislo.size() - 10);
    cislo = cislo.substr(cislo.size() - 10);
  }
  if (!predcisli.empty() && !VahovyTest(predcisli)) return false;
  if (!VahovyTest(cislo)) return false;
  std::string novy = predcisli.empty() ? cislo : predcisli + "-" + cislo;
  if (novy.size() < ucet.size()) novy.insert(0, ucet.size() - novy.size(), ' ');
  ucet = novy;
  return true;
}

}  // namespace pz::registers
