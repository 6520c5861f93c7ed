// The report viewer in the running program: F1 on the main window shows the help page of the
// focused button in it, F1 there shows the print help, and Esc goes back step by step.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace pz::test
