#include "shell/suite_check.h"

#include <string>

#include "platform/file.h"
#include "platform/io.h"
#include "storage/fields.h"

namespace pz::shell {

using namespace platform;

namespace {

constexpr size_t kVelikost = 200;
constexpr int kPokusu = 10;  // quick tries while another process has the table open
constexpr std::uint16_t kNovySlot = 99;

// Reads the table, creating it when missing. False when it could not be read this time.
bool ctiTabulku(const std::string& soubor, int uzivatel, std::string& tabulka) {
  File f;
  int code = kIoSharingViolation;
  for (int i = 0; i < kPokusu && code == kIoSharingViolation; ++i)
    code = f.open(soubor, Access::Read, Share::DenyReadWrite);
  if (code == kIoFileNotFound) {
    code = f.open(soubor, Access::ReadWrite, Share::DenyReadWrite, Create::OpenAlways);
    int64_t size = -1;
    if (code == kIoOk && f.size(size) == kIoOk && size == 0) {
      std::string nova(kVelikost, '\0');
      if (uzivatel > 0 && uzivatel < 100) (void)storage::writeU16(nova, static_cast<size_t>(uzivatel) * 2, kNovySlot);
      f.writeAt(0, nova.data(), nova.size());
    }
  }
  if (code != kIoOk) return false;
  tabulka.assign(kVelikost, '\0');
  size_t got = 0;
  code = f.readAt(0, tabulka.data(), kVelikost, &got);
  return code == kIoOk || code == kIoReadPastEnd;  // a short table reads as far as it goes
}

}  // namespace

KontrolaSady::Vysledek KontrolaSady::zkontroluj(const std::string& soubor, int uzivatel) {
  std::string tabulka;
  bool zmizela = false;
  if (ctiTabulku(soubor, uzivatel, tabulka) && storage::readU16(tabulka, 0) == 0) {
    const size_t slot = uzivatel > 0 && uzivatel < 100 ? static_cast<size_t>(uzivatel) * 2 : 0;
    const std::uint16_t hodnota = storage::readU16(tabulka, slot);
    if (!zapamatovano_) zapamatovano_ = hodnota;
    zmizela = hodnota != *zapamatovano_;
  }
  if (!zmizela) {
    citac_ = 0;
    return Vysledek::Bezi;
  }
  if (citac_ >= 2) {
    citac_ = 0;
    return Vysledek::Ukoncit;
  }
  ++citac_;
  return Vysledek::Zmizela;
}

void KontrolaSady::vynuluj() {
  zapamatovano_.reset();
  citac_ = 0;
}

}  // namespace pz::shell
