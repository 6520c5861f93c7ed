// The two sorted views of the cash desk's document list: by document number (F6) and by paid
// amount (F7), built on demand from the documents' keys.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "ui/browse.h"

namespace pz::cashdesk {

// The two sorted views of the documents: by document number (F6) and by paid amount (F7). Entry
// r is 16 characters, a key of 11 and then the record number in five positions; row r of the
// list shows that record.
class TridenePohledy : public ui::PoradiRadku {
 public:
  enum Pohled { Zadny = 0, PodleCisla = 1, PodleCastky = 2 };
  // More documents than this are not sorted.
  static constexpr std::int32_t kNejvic = 10000;

  // Sorts the keys (each 16 characters as above) ascending as text and makes `pohled` the one
  // built. The view is not shown until NastavPoradi.
  void Postav(Pohled pohled, std::vector<std::string> klice);
  Pohled Postaveny() const { return postaveny_; }

  int PocetVPoradi(int poradi) const override;
  int AktivniPoradi() const override { return aktivni_; }
  void NastavPoradi(int poradi) override;
  int CisloZPoradi(int n) const override;
  int CisloZPoradi2(int n) const override;
  const std::vector<std::string>& Klice() const { return klice_; }

 private:
  Pohled postaveny_ = Zadny;
  int aktivni_ = 0;
  std::vector<std::string> klice_;
  std::vector<int> zaznamy_;  // record of row r (from 0)
  std::vector<int> radky_;    // row of record z (from 0)
};

// The keys of the sorted views for document `cislo`.
std::string KlicPodleCisla(std::span<const std::uint8_t> doklad, std::int32_t cislo);
std::string KlicPodleCastky(std::span<const std::uint8_t> doklad, std::int32_t cislo);

}  // namespace pz::cashdesk
