// The cash desk loop of the main window: the series list, the cash desk of the series chosen
// there, and the series list again, until the list is left with anything but Enter. Each window
// is opened, shown and closed in turn, and each start and end goes to the event log with the
// record count of its file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pz::cashdesk {
class TfPZPokl;
class TfPZRady;
}

namespace pz::shell {

// The cash desk window of one series as the loop drives it.
class OknoPokladny {
 public:
  virtual ~OknoPokladny() = default;
  // Opens on the series' document file; `rada` is the whole 71-byte series record, `zustatek`
  // the balance caption.
  virtual void Otevri(const std::string& soubor, const std::vector<std::uint8_t>& rada,
                      const std::string& zustatek) = 0;
  // The records of its document file, counted anew.
  virtual int PocetDokladu() = 0;
  virtual void Ukaz() = 0;
  virtual void Zavri() = 0;
};

// The balance caption of a series record: its balance with "##########.##-" and its currency.
std::string ZustatekRady(const std::vector<std::uint8_t>& rada);

class PokladniSmycka {
 public:
  // Until a cash desk window is given, choosing a series brings the list back at once.
  explicit PokladniSmycka(cashdesk::TfPZRady& rady, OknoPokladny* pokladna = nullptr)
      : rady_(rady), pokladna_(pokladna) {}

  void NastavPokladnu(OknoPokladny* pokladna) { pokladna_ = pokladna; }
  void Spust();

  // The series chosen last: its record, its document file and its balance caption.
  const std::vector<std::uint8_t>& AktualniRada() const { return rada_; }
  const std::string& SouborDokladu() const { return soubor_; }
  const std::string& Zustatek() const { return zustatek_; }

 private:
  // Shows the series list once; true when a series was chosen (and is now the current one).
  bool vyberRadu();
  void pokladna();

  cashdesk::TfPZRady& rady_;
  OknoPokladny* pokladna_;
  std::vector<std::uint8_t> rada_;
  std::string soubor_;
  std::string zustatek_;
};

// The cash desk window of the program as the loop's window: `OknoPZPokl okno{pokladna, smycka}`
// hands itself to the loop.
class OknoPZPokl : public OknoPokladny {
 public:
  OknoPZPokl(cashdesk::TfPZPokl& okno, PokladniSmycka& smycka);
  void Otevri(const std::string& soubor, const std::vector<std::uint8_t>& rada, const std::string& zustatek) override;
  int PocetDokladu() override;
  void Ukaz() override;
  void Zavri() override;

 private:
  cashdesk::TfPZPokl& okno_;
  bool otevreno_ = false;  // a document file that cannot be opened shows no cash desk
};

}  // namespace pz::shell
