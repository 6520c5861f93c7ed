#include "storage/textutil.h"

#include <algorithm>

namespace pz::storage {

std::string DoplnZleva(std::string_view text, size_t sirka, char vypln) {
  if (text.size() >= sirka) return std::string(text);
  std::string out(sirka - text.size(), vypln);
  out += text;
  return out;
}

std::string DoplnZprava(std::string_view text, size_t sirka, char vypln) {
  std::string out(text);
  if (out.size() < sirka) out.append(sirka - out.size(), vypln);
  return out;
}

std::string NaSirku(std::string_view text, size_t sirka, char vypln) {
  return DoplnZprava(text.substr(0, sirka), sirka, vypln);
}

std::string& PridejNaSirku(std::string& out, std::string_view text, size_t sirka) {
  const size_t n = std::min(text.size(), sirka);
  return out.append(text.data(), n).append(sirka - n, ' ');
}

std::string ZarovnejVlevo(std::string_view text, size_t sirka) {
  return NaSirku(OrezZleva(text), sirka);
}

std::string ZarovnejVpravo(std::string_view text, size_t sirka) {
  const std::string s = DoplnZleva(OrezZprava(text), sirka);
  return s.substr(s.size() - sirka);
}

std::string OrezZleva(std::string_view text) {
  const size_t prvni = text.find_first_not_of(' ');
  return prvni == std::string_view::npos ? std::string() : std::string(text.substr(prvni));
}

std::string OrezZprava(std::string_view text) {
  const size_t posledni = text.find_last_not_of(' ');
  return posledni == std::string_view::npos ? std::string() : std::string(text.substr(0, posledni + 1));
}

std::string Orez(std::string_view text) { return OrezZprava(OrezZleva(text)); }

std::string BezMezer(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text)
    if (c != ' ') out += c;
  return out;
}

std::string SlucMezery(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text)
    if (c != ' ' || out.empty() || out.back() != ' ') out += c;
  return out;
}

}  // namespace pz::storage
