// The report viewer in the running program: F1 on the main window shows the help page of the
// focused button in it, F1 there shows the print help, and Esc goes back step by step.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "e2e/run.h"
#include "support/installation.h"
#include "support/tempdir.h"

namespace pz::test {
namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(ReportViewer, HelpPagesOpenInTheViewerAndEscReturnsFromThePrintHelp) {
  TempDir dir;
  install(dir);
  dir.write("prog.adr", "prog\\\r\n");
  dir.write("prog/pz/pz.hlp",
            "$Obsah\r\nprvni strana napovedy\r\n$Valutov\xE1 pokladna\r\nnapoveda k pokladne\r\n");
  dir.write("prog/2/spool.hhh", "tisk sestav napoveda\r\n" + std::string(15, '-') + "\r\n");
  auto r = runPzpokl(dir, "F1\ndump\nF1\ndump\nEsc\ndump\nEsc\nEsc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  const size_t prvni = r.out.find("=== fPozri \" Soubor: ");
  ASSERT_NE(prvni, std::string::npos) << r.out;
  EXPECT_TRUE(has(r.out, "help.txt\" ===") || has(r.out, "help.TXT\" ===")) << r.out;
  EXPECT_TRUE(has(r.out, "napoveda k pokladne")) << r.out;
  EXPECT_TRUE(has(r.out, "spool.hhh\" ===")) << r.out;
  // After Esc the help text is back.
  const std::string posledni = r.out.substr(r.out.rfind("=== fPozri"));
  EXPECT_TRUE(has(posledni, "napoveda k pokladne")) << r.out;
  EXPECT_FALSE(has(posledni, "spool.hhh")) << r.out;
}

// The demo installation ships its help pages and guide pages: F1 on the main window, the
// "Ctrl+F1-průvodce" button, the calculator's F1 and F1 in the list of series show Czech text.
TEST(ReportViewer, TheDemoShipsHelpAndGuidePagesForItsWindows) {
  TempDir demo;
  std::filesystem::copy(std::filesystem::path(PZ_SOURCE_DIR) / "demo", demo.path(),
                        std::filesystem::copy_options::recursive);
  const auto hraj = [&](const std::string& klavesy) {
    demo.write("work/h.keys", klavesy);
    const std::string cmd = "cd '" + demo.str() + "/work' && '" PZPOKL_BIN "' --headless h.keys --today 2026-12-09"
                            " >../stdout.txt 2>../stderr.txt";
    const int status = std::system(cmd.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << demo.read("stderr.txt") << demo.read("stdout.txt");
    return demo.read("stdout.txt");
  };
  std::string out = hraj("F1\ndump\nEsc\nTab Tab Tab Tab Tab Tab Enter\ndump\nEsc\nEsc\n");
  out += hraj("Tab Enter\nF9\nF1\ndump\nEsc\nEsc\nEsc\nEsc\n");
  out += hraj("Enter\nEsc\nF1\ndump\nEsc\nEsc\nEsc\n");
  EXPECT_TRUE(has(out, "Valutová pokladna vede hotovost v cizích měnách")) << out;
  EXPECT_TRUE(has(out, "Kurz se bere ze souboru kurzů k DATU ZAPLACENÍ")) << out;
  EXPECT_TRUE(has(out, "=== TfHint \"C:\\prog\\NAVODY\\ : PZ\" ===\nPrůvodce valutovou pokladnou")) << out;
  EXPECT_TRUE(has(out, "Kalkulačka sčítá a násobí čísla")) << out;
  EXPECT_TRUE(has(out, "Klávesy v seznamech (řady, doklady, partneři):")) << out;
}

}  // namespace
}  // namespace pz::test
