#include "reportfiles/report.h"

#include <cstdio>

#include "platform/clock.h"
#include "platform/fs.h"
#include "platform/io.h"
#include "platform/text.h"
#include "storage/filehelpers.h"
#include "storage/interaction.h"
#include "storage/probes.h"
#include "storage/settings.h"

namespace pz::reports {
namespace {

struct Writer {
  platform::File report;
  platform::File csv;
  bool csvInUse = false;
  bool usable = false;
  std::string name;     // as given, without the leading "*"
  std::string csvName;
  int width = 0;
  int lines = 0;
  int pages = 0;
  std::string buffer;   // lines not yet written
  std::string csvBuffer;  // side-file lines not yet written
  bool failed = false;  // a report write failed: the message was shown once
  bool csvFailed = false;  // a side file write failed: shown once, the side file is removed
};

Writer& writer() {
  static Writer w;
  return w;
}

constexpr size_t kFlushAt = 1 << 16;

std::string code3(int code, int width) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%*d", width, code);
  return buf;
}

void flush(Writer& w) {
  // Lines of a report that is not being written (not created, or already failed) go nowhere.
  if (!w.usable || w.failed) w.buffer.clear();
  if (w.buffer.empty()) return;
  int code = w.report.write(w.buffer.data(), w.buffer.size());
  w.buffer.clear();
  if (code != platform::kIoOk) {
    w.failed = true;
    storage::interaction().message("Err" + code3(code, 3) + " " + w.name + ".TXT");
  }
}

// Side-file lines go nowhere once the side file or its report failed: either way it is removed.
void flushCsv(Writer& w) {
  if (!w.csvInUse || w.csvFailed || w.failed) w.csvBuffer.clear();
  if (w.csvBuffer.empty()) return;
  const int code = w.csv.write(w.csvBuffer.data(), w.csvBuffer.size());
  w.csvBuffer.clear();
  if (code != platform::kIoOk) {
    w.csvFailed = true;
    storage::interaction().message("Err" + code3(code, 3) + " " + w.csvName);
  }
}

// Deletes a file, waiting while another program holds it.
void removeWaiting(const std::string& path) {
  int code = platform::removeFile(path);
  if (code == platform::kIoSharingViolation)
    storage::interaction().waitFor(path, 500, [&] { return platform::removeFile(path) != platform::kIoSharingViolation; });
}

std::string baseName(std::string_view name) {
  auto slash = name.find_last_of('\\');
  return std::string(slash == std::string_view::npos ? name : name.substr(slash + 1)).substr(0, 50);
}

std::string scrambleIfGdpr(std::string line) {
  return storage::settings().gdpr ? Zakoduj(line, KlicSestav()) : line;
}

}  // namespace

const std::string& KlicSestav() {
  // Taken from a longer text of the program's own, as the key must not change between runs.
  static const std::string key = std::string("Valutova pokladna TAMBRA - klic sestav").substr(3, 17);
  return key;
}

std::string Zakoduj(std::string_view text, std::string_view key) {
  std::string out(text);
  if (key.empty()) return out;
  for (size_t i = 0; i < out.size(); ++i) {
    const auto k = static_cast<unsigned char>(key[i % key.size()]);
    const unsigned r = static_cast<unsigned>(i % 7) + 1;
    const auto b = static_cast<unsigned char>(static_cast<unsigned char>(out[i]) ^ k);
    out[i] = static_cast<char>(static_cast<unsigned char>((b >> r) | (b << (8 - r))));
  }
  return out;
}

std::string Dekoduj(std::string_view text, std::string_view key) {
  std::string out(text);
  if (key.empty()) return out;
  for (size_t i = 0; i < out.size(); ++i) {
    const auto k = static_cast<unsigned char>(key[i % key.size()]);
    const unsigned r = static_cast<unsigned>(i % 7) + 1;
    const auto b = static_cast<unsigned char>(out[i]);
    out[i] = static_cast<char>(static_cast<unsigned char>((b << r) | (b >> (8 - r))) ^ k);
  }
  return out;
}

bool OtevriSestavu(std::string_view nameIn, int width) {
  Writer& w = writer();
  w.report.close();
  w.csv.close();
  w = Writer{};
  std::string name(nameIn);
  w.csvInUse = name.empty() || name[0] != '*';
  if (!w.csvInUse) {
    name.erase(0, 1);
    storage::ZalozCestu(name);
  }
  w.name = name.substr(0, 50);
  w.width = width < 1 ? 1 : width > 255 ? 255 : width;
  if (w.csvInUse) {
    w.csvName = "XLS\\" + baseName(w.name) + ".CSV";
    int code = w.csv.open(w.csvName, platform::Access::Write, platform::Share::DenyNone, platform::Create::CreateAlways);
    if (code == platform::kIoPathNotFound && platform::makeDirectory("XLS") == platform::kIoOk)
      code = w.csv.open(w.csvName, platform::Access::Write, platform::Share::DenyNone, platform::Create::CreateAlways);
    if (code != platform::kIoOk) w.csvInUse = false;
  }
  const int code = w.report.open(w.name + ".TXT", platform::Access::Write, platform::Share::DenyNone,
                                 platform::Create::CreateAlways);
  if (code != platform::kIoOk) {
    storage::interaction().message("Err" + code3(code, 3) + " " + w.name + ".TXT");
    return false;
  }
  w.usable = true;
  return true;
}

bool PisRadek(std::string_view text) {
  Writer& w = writer();
  ++w.lines;
  if (!text.empty() && text[0] == kFormFeed) ++w.pages;
  std::string line(text.substr(0, static_cast<size_t>(w.width)));
  line.resize(static_cast<size_t>(w.width), ' ');
  w.buffer += scrambleIfGdpr(std::move(line));
  w.buffer += "\r\n";
  if (w.buffer.size() >= kFlushAt) flush(w);
  return w.usable && !w.failed;
}

void PisCsv(std::string_view text) {
  Writer& w = writer();
  if (!w.csvInUse || w.csvFailed) return;
  w.csvBuffer += text;
  w.csvBuffer += "\r\n";
  if (w.csvBuffer.size() >= kFlushAt) flushCsv(w);
}

bool ZavriSestavu() {
  Writer& w = writer();
  flush(w);
  flushCsv(w);
  w.report.close();
  if (w.csvInUse) {
    w.csv.close();
    // A side file that lost lines is no spreadsheet of the report.
    if (w.csvFailed || w.failed || storage::VelikostSouboru(w.csvName) < 1) removeWaiting(w.csvName);
  }
  if (w.usable && w.failed) {
    // The lines that reached the disk end somewhere in the middle, perhaps within a line.
    removeWaiting(w.name + ".txt");
  } else if (w.usable && storage::VelikostSouboru(w.name + ".txt") < 1) {
    removeWaiting(w.name + ".txt");
    if (platform::fileExists(w.name + ".txz")) removeWaiting(w.name + ".txz");
  }
  const bool whole = w.usable && !w.failed;
  w.usable = false;
  w.csvInUse = false;
  return whole;
}

int RadkuSestavy() { return writer().lines; }
int StranSestavy() { return writer().pages; }
int SirkaSestavy() { return writer().width; }
const std::string& JmenoSestavy() { return writer().name; }

StrankovanaSestava::StrankovanaSestava(std::string titul, std::vector<SloupecSestavy> sloupce)
    : titul_(std::move(titul)), sloupce_(std::move(sloupce)) {}

std::string StrankovanaSestava::hlavickaSloupcu() const {
  std::string out;
  for (const auto& s : sloupce_) {
    std::string t = s.titulek.substr(0, static_cast<size_t>(std::max(0, s.sirka)));
    t.resize(static_cast<size_t>(std::max(0, s.sirka)), ' ');
    out += t + ' ';
  }
  return out;
}

void StrankovanaSestava::hlavicka() {
  ++strana_;
  const auto& nastaveni = storage::settings();
  if (strana_ > 1 || nastaveni.newPage) PisRadek(std::string(1, kFormFeed));
  PisRadek("");
  PisRadek("");
  std::string firma = nastaveni.firmName.substr(0, 24);
  firma.resize(24, ' ');
  const platform::Date d = platform::clock().today();
  char datum[16];
  std::snprintf(datum, sizeof datum, "%02d.%02d.%02d", d.day, d.month, d.year % 100);
  PisRadek(firma + std::string(13, ' ') + titul_ + std::string(10, ' ') + "List:" + code3(strana_, 3) + " Datum: " + datum);
  PisRadek("");
  const std::string sloupce = hlavickaSloupcu();
  PisRadek(sloupce);
  PisRadek(std::string(sloupce.size(), '='));
  PisRadek("");
  radku_ = 7;
}

bool StrankovanaSestava::radek(std::string_view text) {
  if (storage::settings().pageLength < radku_) hlavicka();
  ++radku_;
  return PisRadek(text);
}

namespace {

// The width of a report file as the line access finds it; 0 when it cannot be read.
int sirkaSouboru(std::string_view path) {
  platform::File f;
  if (f.open(path, platform::Access::Read, platform::Share::DenyNone) != platform::kIoOk) return 0;
  std::string head(999, '\0');
  size_t got = 0;
  f.readAt(0, head.data(), head.size(), &got);
  head.resize(got);
  int64_t size = 0;
  f.size(size);
  return SirkaZeZacatku(head, size);
}

}  // namespace

int PripojSestavu(std::string_view zdroj, std::string_view cil) {
  if (storage::VelikostSouboru(zdroj) < 2) return platform::kIoOk;
  if (storage::VelikostSouboru(cil) < 2) return storage::KopirujSoubor(zdroj, cil);
  RadkovySoubor z;
  if (!z.otevri(zdroj)) return platform::kIoFileNotFound;
  const int sirkaZdroje = z.sirka();
  if (sirkaSouboru(cil) < sirkaZdroje) {
    // The target is widened first, so that no appended line has to be cut.
    RadkovySoubor stary;
    if (!stary.otevri(cil)) return platform::kIoFileNotFound;
    platform::removeFile("xxx.txt");
    platform::File prac;
    int code = prac.open("xxx.txt", platform::Access::Write, platform::Share::DenyReadWrite, platform::Create::CreateAlways);
    if (code != platform::kIoOk) return code;
    std::string buf, radek;
    for (int64_t n = 1; n <= stary.pocet(); ++n) {
      if (!stary.cti(n, radek)) return platform::kIoReadPastEnd;
      radek.resize(static_cast<size_t>(sirkaZdroje), ' ');
      buf += scrambleIfGdpr(radek) + "\r\n";
    }
    code = prac.write(buf.data(), buf.size());
    if (code == platform::kIoOk) code = prac.sync();
    prac.close();
    stary.zavri();
    if (code != platform::kIoOk || (code = storage::NahradSoubor("xxx.txt", cil)) != platform::kIoOk) {
      platform::removeFile("xxx.txt");
      return code;
    }
  }
  RadkovySoubor c;
  if (!c.otevri(cil)) return platform::kIoFileNotFound;
  std::string radek;
  for (int64_t n = 1; n <= z.pocet(); ++n)
    if (!z.cti(n, radek) || !c.pis(c.pocet() + 1, radek)) return platform::kIoWriteFailed;
  return platform::kIoOk;
}

int SirkaZeZacatku(std::string_view head, int64_t fileSize) {
  for (size_t w = 1; w <= 490; ++w) {
    if (2 * w + 3 >= head.size()) break;
    if (head[w] == '\r' && head[w + 1] == '\n' && head[2 * w + 2] == '\r' && head[2 * w + 3] == '\n')
      return static_cast<int>(w);
  }
  // A report of a single line: taking 491 would count no line and lose it on the next write.
  const auto w = static_cast<size_t>(fileSize - 2);
  if (fileSize >= 3 && fileSize <= 492 && head.size() == static_cast<size_t>(fileSize) && head[w] == '\r' &&
      head[w + 1] == '\n' && head.substr(0, w).find("\r\n") == std::string_view::npos)
    return static_cast<int>(w);
  return 491;
}

bool RadkovySoubor::otevri(std::string_view path) {
  path_ = std::string(path);
  width_ = 0;
  lines_ = 0;
  platform::File probe;
  if (probe.open(path_, platform::Access::Read, platform::Share::DenyNone) == platform::kIoOk) {
    std::string head(999, '\0');
    size_t got = 0;
    probe.readAt(0, head.data(), head.size(), &got);
    head.resize(got);
    int64_t size = 0;
    probe.size(size);
    width_ = SirkaZeZacatku(head, size);
    lines_ = size / (width_ + 2);
  }
  if (width_ == 0) width_ = 132;
  const int code = file_.open(path_, platform::Access::ReadWrite, platform::Share::DenyNone, platform::Create::OpenAlways);
  if (code != platform::kIoOk) {
    if (code == platform::kIoPathNotFound)
      storage::interaction().message(platform::cz("Neexistuje složka ") + path_);
    else
      storage::interaction().message("Err " + code3(code, 5) + " " + path_);
    lines_ = 0;
    return false;
  }
  return true;
}

bool RadkovySoubor::cti(int64_t n, std::string& text) {
  if (n < 1 || n > lines_) return false;
  std::string rec(static_cast<size_t>(width_), '\0');
  size_t got = 0;
  const int code = file_.readAt((n - 1) * (width_ + 2), rec.data(), rec.size(), &got);
  if (code == platform::kIoReadPastEnd) {
    rec.replace(got, std::string::npos, rec.size() - got, ' ');  // a shorter last line ends in blanks
  } else if (code != platform::kIoOk) {
    storage::interaction().message("Err " + code3(code, 5) + " " + path_);
    return false;
  }
  text = storage::settings().gdpr ? Dekoduj(rec, KlicSestav()) : rec;
  return true;
}

bool RadkovySoubor::pis(int64_t n, std::string_view text) {
  if (n < 1 || n > lines_ + 1) return false;
  std::string line(text.substr(0, static_cast<size_t>(width_)));
  line.resize(static_cast<size_t>(width_), ' ');
  std::string rec = scrambleIfGdpr(std::move(line)) + "\r\n";
  const int code = file_.writeAt((n - 1) * (width_ + 2), rec.data(), rec.size());
  if (code != platform::kIoOk) {
    storage::interaction().message("Err " + code3(code, 5) + " " + path_);
    return false;
  }
  if (n == lines_ + 1) ++lines_;
  return true;
}

}  // namespace pz::reports
