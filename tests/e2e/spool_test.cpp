// The report list and the file chooser in the running program. The installation lies in a
// temporary folder that the drive table maps as C:, the program runs in its "work" folder, and
// C:\odkaz is a link to that folder, so that one file has two spellings.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/stationtable.h"
#include "support/tempdir.h"

namespace pz::test {
namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The screen of window `name` in its nth dump (each dump shows every open window once).
std::string screen(const std::string& out, const std::string& name, size_t nth) {
  size_t at = std::string::npos, from = 0;
  for (size_t i = 0; i <= nth; ++i) {
    at = out.find("=== " + name + " ", from);
    if (at == std::string::npos) return {};
    from = at + 1;
  }
  const size_t end = out.find("\n=== ", at + 1);
  return out.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

// The line of a screen that contains `part`.
std::string line(const std::string& scr, const std::string& part) {
  const size_t p = scr.find(part);
  if (p == std::string::npos) return {};
  const size_t z = scr.rfind('\n', p) + 1;
  return scr.substr(z, scr.find('\n', p) - z);
}

class Stanice {
 public:
  Stanice() {
    dir.write("work/master.job", stationTable({{"UZIVATEL", "01"}, {"POCITAC", "1"}, {"DAN2", "21"}}));
    dir.write("work/data.adr", "C:\\data\\\r\n");
    dir.write("work/prog.adr", "C:\\prog\\\r\n");
    dir.write("work/drives.txt", "C: = ..\n");
    dir.write("data/master.job", stationTable({}));
    std::filesystem::create_directory_symlink("work", dir.path() / "odkaz");
  }
  // Sets a file's date, as the list shows it.
  void datum(const std::string& file, const std::string& when) {
    const std::string cmd = "touch -d '" + when + "' '" + dir.str() + "/" + file + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
  }
  std::string hraj(const std::string& keys) {
    dir.write("work.keys", keys);
    const std::string cmd = "cd '" + dir.str() + "/work' && '" PZPOKL_BIN "' --headless ../work.keys --today 2026-12-09"
                            " >../out.log 2>../err.log";
    const int status = std::system(cmd.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << dir.read("err.log") << dir.read("out.log");
    return dir.read("out.log");
  }
  TempDir dir;
};

// "Tisky" on the main window opens the report list.
constexpr const char* kTisky = "Tab Tab Tab Enter\n";

TEST(ReportList, ListsBothDirectoriesWithTitlesSortsByDateBothWaysOpensAndDeletes) {
  Stanice s;
  s.dir.write("work/_sestavy.kde", "C:\\arch\\\r\nC:\\work\r\n");
  s.dir.write("arch/PZ10.txt", "PZ10 prvni radek\r\n");
  s.dir.write("arch/PZ1.txt", "PZ1 radek\r\n");
  s.dir.write("arch/Dlouhe_jmeno_sestavy_ktere_je_delsi_nez_tricet.txt", "DLOUHA SESTAVA\r\n");
  s.dir.write("work/PZ10X.txt", std::string(2500, 'x') + "\r\n");
  s.dir.write("work/kniha.txt", "KNIHA radek jedna\r\nKNIHA radek dva  \r\n");
  s.dir.write("work/kniha.txz", "prilohy");
  s.dir.write("work/prazdna.txt", "");
  s.dir.write("prog/listw.tab", "PZ10**** Prehled pokladen\r\nKNIHA*** 12345678|Kniha dokladu\r\nPZ1      Jen PZ1\r\n");
  s.datum("arch/PZ10.txt", "2021-02-03 10:00");
  s.datum("arch/PZ1.txt", "2024-03-01 10:00");
  s.datum("arch/Dlouhe_jmeno_sestavy_ktere_je_delsi_nez_tricet.txt", "2022-05-06 10:00");
  s.datum("work/PZ10X.txt", "1999-06-30 10:00");
  s.datum("work/kniha.txt", "2023-07-08 10:00");

  const std::string out = s.hraj(std::string(kTisky) +
                                 "dump\n"
                                 "1 Enter\ndump\nEsc\n"      // the long name opens by its real path
                                 "2 F8\ndump\nF8 Enter\n"     // delete KNIHA, then nothing more
                                 "F10 Down Down Enter\ndump\n"  // "Dle data": oldest first
                                 "F10 Down Down Enter\ndump\n"  // again: newest first
                                 "Esc Esc\n");
  const std::string seznam = screen(out, "fSpool", 0);
  // Name order, opened on the last row; the empty report and the drive table are not listed.
  EXPECT_TRUE(has(seznam, "      5/      5")) << seznam;
  EXPECT_FALSE(has(seznam, "PRAZDNA") || has(seznam, "DRIVES")) << seznam;
  EXPECT_TRUE(has(line(seznam, "    1  "), "DLOUHE_JMENO_SESTAVY_KTERE_JE_ ")) << seznam;
  const std::string pz1 = line(seznam, "PZ1 "), pz10 = line(seznam, "PZ10 "), pz10x = line(seznam, "PZ10X");
  EXPECT_TRUE(has(line(seznam, "    2  "), "KNIHA")) << seznam;
  EXPECT_TRUE(has(line(seznam, "KNIHA"), "Kniha dokladu")) << seznam;
  EXPECT_TRUE(has(line(seznam, "KNIHA"), "C:\\work\\")) << seznam;
  // PZ10**** names PZ10 and PZ10X; the later "PZ1     " line names only PZ1.
  EXPECT_TRUE(has(pz10, "Prehled pokladen") && has(pz10, "C:\\arch\\") && has(pz10, "03.02.21")) << seznam;
  EXPECT_TRUE(has(pz10x, "Prehled pokladen") && has(pz10x, "C:\\work\\") && has(pz10x, "30.06.99")) << seznam;
  EXPECT_TRUE(has(pz10x, "         3 ")) << seznam;  // 2502 bytes: 2502 / 1000 + 1
  EXPECT_TRUE(has(pz1, "Jen PZ1") && !has(pz1, "Prehled")) << seznam;

  EXPECT_TRUE(has(screen(out, "fPozri", 0), "DLOUHA SESTAVA")) << out;

  // The deleted row stays, marked; its files are gone, nothing else is.
  const std::string poSmazani = screen(out, "fSpool", 2);
  EXPECT_TRUE(has(line(poSmazani, "    2  "), "########")) << poSmazani;
  EXPECT_FALSE(std::filesystem::exists(s.dir.path() / "work/kniha.txt"));
  EXPECT_FALSE(std::filesystem::exists(s.dir.path() / "work/kniha.txz"));
  EXPECT_TRUE(std::filesystem::exists(s.dir.path() / "arch/PZ10.txt"));
  EXPECT_EQ(screen(out, "fPozri", 1), "") << "Enter on a deleted row opened a report";

  const std::string vzestupne = screen(out, "fSpool", 3), sestupne = screen(out, "fSpool", 4);
  EXPECT_TRUE(has(line(vzestupne, "    1  "), "PZ10X")) << vzestupne;  // 1999
  EXPECT_TRUE(has(line(vzestupne, "    5  "), "PZ1 ")) << vzestupne;   // 2024
  EXPECT_TRUE(has(line(sestupne, "    1  "), "PZ1 ")) << sestupne;
  EXPECT_TRUE(has(line(sestupne, "    5  "), "PZ10X")) << sestupne;
}

// The administrator's scrambling (Ctrl with the right button on the list): reports, the
// partner register and a document folder are scrambled once, a second run is refused and
// changes nothing, and unscrambling gives back every byte.
TEST(ReportList, ScramblingRunsOnceInEachDirectionAndUnscramblingRestoresTheFiles) {
  Stanice s;
  const std::string kniha = "Jan Novak, Praha 2\r\nDruhy radek sestavy\r\n";
  std::string org(586, ' ');
  org.replace(28, 10, std::string("\x09") + "Jan Novak");
  const std::string obrazek = std::string("\xFF\xD8\xFF\xE0", 4) + std::string(300, 'p');
  s.dir.write("work/kniha.txt", kniha);
  s.dir.write("data/org.dta", org);
  s.dir.write("data/doklady/PO0001/d1.jpg", obrazek);
  const auto polozka = [](int n) { return "rclick 10 3 Ctrl\n" + std::string(n == 0 ? "" : "Down") + [&] {
    std::string d;
    for (int i = 1; i < n; ++i) d += " Down";
    return d;
  }() + "\nEnter\n"; };
  const std::string sestavy = polozka(11), orgDoklady = polozka(12), desifruj = polozka(13), jenDoklady = polozka(14);

  std::string out = s.hraj(std::string(kTisky) + sestavy + "type a\ndump\nEnter\n" + orgDoklady + "type a\ndump\nEnter\nEsc Esc\n");
  EXPECT_TRUE(has(screen(out, "TfZprava", 0), "OK")) << out;
  EXPECT_TRUE(has(screen(out, "TfZprava", 1), "Hotovo")) << out;
  const std::string sifraKnihy = s.dir.read("work/kniha.txt"), sifraOrg = s.dir.read("data/org.dta"),
                    sifraObrazku = s.dir.read("data/doklady/PO0001/d1.jpg");
  EXPECT_EQ(sifraKnihy.size(), kniha.size());
  EXPECT_FALSE(has(sifraKnihy, "Novak") || has(sifraKnihy, "radek")) << sifraKnihy;
  EXPECT_EQ(sifraKnihy.substr(18, 2), "\r\n");  // the lines keep their places
  EXPECT_EQ(sifraOrg.size(), org.size());
  EXPECT_FALSE(has(sifraOrg, "Novak"));
  EXPECT_NE(sifraObrazku, obrazek);
  EXPECT_TRUE(has(s.dir.read("data/master.job"), std::string("\x04GDPR\0\0\0\0\x03" "ANO", 13)));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(s.dir.path() / "data/doklady/PO0001"),
                          std::filesystem::directory_iterator()), 1);

  out = s.hraj(std::string(kTisky) + sestavy + "dump\nEnter\n" + orgDoklady + "dump\nEnter\nEsc Esc\n");
  EXPECT_TRUE(has(screen(out, "TfZprava", 0), "Sestavy už jsou zašifrované")) << out;
  EXPECT_TRUE(has(screen(out, "TfZprava", 1), "ORG a doklady už jsou zašifrované")) << out;
  EXPECT_EQ(s.dir.read("work/kniha.txt"), sifraKnihy);
  EXPECT_EQ(s.dir.read("data/org.dta"), sifraOrg);
  EXPECT_EQ(s.dir.read("data/doklady/PO0001/d1.jpg"), sifraObrazku);

  out = s.hraj(std::string(kTisky) + desifruj + "type a\nEnter\n" + jenDoklady + "type a\nEnter\nEsc Esc\n");
  EXPECT_EQ(s.dir.read("work/kniha.txt"), kniha);
  EXPECT_EQ(s.dir.read("data/doklady/PO0001/d1.jpg"), obrazek);
}

// The chooser behind the viewer's Ctrl+F2: "*.txt" in the working directory, a mask listing,
// up to the root and never above it, a directory typed without its closing "\", and a file
// confirmed with Enter in the name line.
TEST(FileChooser, SplitsTheInitialPathListsByMaskStopsAtTheRootAndReturnsThePath) {
  Stanice s;
  s.dir.write("work/kniha.txt", "KNIHA radek jedna\r\nKNIHA radek dva  \r\n");
  s.dir.write("work/druha.txt", "DRUHA SESTAVA\r\n");
  s.dir.write("work/jine.dat", "x");
  s.dir.write("work/sub/a.txt", "x");
  s.dir.write("work/slozka.txt/b.txt", "x");
  const std::string out = s.hraj(std::string(kTisky) +
                                 "Enter Ctrl+F2\ndump\n"
                                 "Backspace Backspace Backspace Backspace Backspace\ntype *\nTab\ndump\n"
                                 "Down Enter\ndump\n"           // Enter on the first entry: nothing
                                 "Down Enter\ndump\n"           // "\..": up to the root
                                 "Shift+Tab Shift+Tab Shift+Tab Backspace\ntype \\work\nTab Tab\n"
                                 "Backspace\ntype druha.txt\nEnter\ndump\n"
                                 "Esc Esc Esc\n");
  const std::string prvni = screen(out, "fInOut", 0);
  EXPECT_TRUE(has(prvni, "\"Vyber novou sestavu\"")) << prvni;
  EXPECT_TRUE(has(line(prvni, "Složka"), "\\work\\") && has(line(prvni, "Složka"), "Disk C:")) << prvni;
  EXPECT_TRUE(has(line(prvni, "Název soubor"), "*.txt")) << prvni;
  EXPECT_TRUE(has(prvni, "Soubor C:\\work\\*.txt")) << prvni;
  EXPECT_TRUE(has(prvni, "  \\slozka.txt\n  drives.txt\n  druha.txt\n  kniha.txt\n")) << prvni;
  EXPECT_FALSE(has(prvni, "\\sub") || has(prvni, "jine.dat") || has(prvni, "\\..")) << prvni;

  const std::string vse = screen(out, "fInOut", 1);
  EXPECT_TRUE(has(vse, "  \\.\n  \\..\n  \\slozka.txt\n  \\sub\n  data.adr\n")) << vse;
  EXPECT_TRUE(has(vse, "  druha.txt\n  jine.dat\n  kniha.txt\n")) << vse;
  EXPECT_TRUE(has(line(screen(out, "fInOut", 2), "Složka"), "\\work\\")) << out;

  const std::string koren = screen(out, "fInOut", 3);
  EXPECT_TRUE(has(line(koren, "Složka"), "Složka \\ ")) << koren;
  EXPECT_TRUE(has(koren, "  \\data\n") && has(koren, "  \\work\n")) << koren;
  EXPECT_FALSE(has(koren, "\\..")) << koren;

  EXPECT_TRUE(has(out, "=== fPozri \" Soubor: C:\\work\\druha.txt\" ===")) << out;
  EXPECT_TRUE(has(out.substr(out.rfind("=== fPozri")), "DRUHA SESTAVA")) << out;
}

// Ctrl+F6 writes the section where the chooser points (the data root's "aaa" the first time);
// Alt+F6 refuses to write onto the report being read through a link to its folder, and asks
// again.
TEST(FileChooser, TheViewerSavesASectionThroughItAndRefusesItsOwnReportUnderAnotherSpelling) {
  Stanice s;
  const std::string kniha = "KNIHA radek jedna\r\nKNIHA radek dva  \r\n";
  s.dir.write("work/kniha.txt", kniha);
  const std::string out = s.hraj(std::string(kTisky) +
                                 "Enter Ctrl+F6\ndump\nEnter\n"
                                 "Alt+F6\ndump\n"
                                 "Shift+Tab Shift+Tab End\nBackspace Backspace Backspace Backspace Backspace Backspace\n"
                                 "type \\odkaz\nTab Tab\n"
                                 "Backspace Backspace Backspace\ntype kniha\nEnter\ndump\nEnter\ndump\n"
                                 "Esc Esc Esc Esc\n");
  const std::string usek = screen(out, "fInOut", 0);
  EXPECT_TRUE(has(usek, "\"Urči, kam úsek zapsat (.TXT)\"")) << usek;
  EXPECT_TRUE(has(line(usek, "Složka"), "\\data\\") && has(line(usek, "Název soubor"), "aaa")) << usek;
  EXPECT_TRUE(has(usek, "Soubor C:\\data\\aaa")) << usek;
  const std::string sirka250 = "KNIHA radek jedna" + std::string(250 - 17, ' ') + "\r\nKNIHA radek dva" +
                               std::string(250 - 15, ' ') + "\r\n";
  EXPECT_EQ(s.dir.read("data/AAA.TXT"), sirka250);

  const std::string preklad = screen(out, "fInOut", 1);
  EXPECT_TRUE(has(preklad, "Soubor C:\\work\\aaa")) << preklad;
  const std::string zprava = screen(out, "TfZprava", 0);
  EXPECT_TRUE(has(zprava, "Určete jiný soubor, nemůžu přepsat sám sebe")) << out;
  const std::string znovu = screen(out, "fInOut", 2);
  EXPECT_TRUE(has(znovu, "C:\\ODKAZ\\KNIHA.TXT")) << out;
  EXPECT_EQ(s.dir.read("work/kniha.txt"), kniha);
}

}  // namespace
}  // namespace pz::test
