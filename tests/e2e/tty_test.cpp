// The terminal presenter in a real terminal: pzpokl --tty under tmux, keys sent as a terminal
// sends them, the screen read back from the pane.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "support/tempdir.h"

namespace pz::test {
namespace {

std::string shell(const std::string& cmd) {
  std::string out;
  if (FILE* p = popen(cmd.c_str(), "r")) {
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
  }
  return out;
}

class Tmux {
 public:
  Tmux() : socket_("pztest-" + std::to_string(getpid())) {}
  ~Tmux() { run("tmux -L " + socket_ + " kill-server 2>/dev/null"); }
  void start(const std::string& command, int cols = 100, int rows = 30) {
    EXPECT_EQ(run("tmux -L " + socket_ + " new-session -d -x " + std::to_string(cols) + " -y " + std::to_string(rows) +
                  " \"" + command + "\""),
              0);
  }
  void keys(const std::string& k) { EXPECT_EQ(run("tmux -L " + socket_ + " send-keys " + k), 0); }
  std::string screen() { return shell("tmux -L " + socket_ + " capture-pane -p"); }
  // Waits up to five seconds for `text` to appear on the screen.
  bool waitFor(const std::string& text) {
    for (int i = 0; i < 100; ++i) {
      if (screen().find(text) != std::string::npos) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }

 private:
  static int run(const std::string& command) { return std::system(command.c_str()); }
  std::string socket_;
};

TEST(Terminal, MainWindowTakesKeysAndEscLeavesAUsableTerminal) {
  if (std::system("command -v tmux >/dev/null 2>&1") != 0) GTEST_SKIP() << "tmux is not installed";
  TempDir dir;
  Tmux t;
  t.start("cd '" + dir.str() + "' && TERM=xterm-256color '" PZPOKL_BIN "' --tty; echo EXIT=$?; stty -a; sleep 10");
  ASSERT_TRUE(t.waitFor("V A L U T O V Á   P O K L A D N A")) << t.screen();
  EXPECT_NE(t.screen().find(">            Valutová pokladna            <"), std::string::npos) << t.screen();
  t.keys("Tab");  // the focus moves from the first button to the second
  ASSERT_TRUE(t.waitFor(">               Účetnictví                <")) << t.screen();
  t.keys("Escape");
  ASSERT_TRUE(t.waitFor("EXIT=0")) << t.screen();
  std::string after = t.screen();
  EXPECT_EQ(after.find("V A L U T O V"), std::string::npos) << after;  // the alternate screen is gone
  EXPECT_NE(after.find(" icanon"), std::string::npos) << after;      // cooked mode is back
  EXPECT_NE(after.find(" echo"), std::string::npos) << after;
}

TEST(Terminal, WithoutDisplayOrTerminalItSaysSoAndExits2) {
  TempDir dir;
  const std::string out = shell("cd '" + dir.str() + "' && env -u DISPLAY -u WAYLAND_DISPLAY '" PZPOKL_BIN
                                "' </dev/null 2>&1; echo EXIT=$?");
  EXPECT_NE(out.find("EXIT=2"), std::string::npos) << out;
  EXPECT_NE(out.find("no display and no terminal"), std::string::npos) << out;
}

// On a terminal smaller than the window the view follows the focus down the document form, the
// last row says why the window is cut, and Alt with the cursor keys reaches the rest of a window.
TEST(Terminal, ASmallTerminalFollowsTheFocusAndSaysTheWindowIsLarger) {
  if (std::system("command -v tmux >/dev/null 2>&1") != 0) GTEST_SKIP() << "tmux is not installed";
  TempDir dir;
  std::filesystem::copy(std::filesystem::path(PZ_SOURCE_DIR) / "demo", dir.path(),
                        std::filesystem::copy_options::recursive);
  Tmux t;
  t.start("cd '" + dir.str() + "/work' && TERM=xterm-256color '" PZPOKL_BIN "' --tty --today 2026-12-09; sleep 10", 80, 12);
  ASSERT_TRUE(t.waitFor("V A L U T O V")) << t.screen();
  t.keys("Enter");
  ASSERT_TRUE(t.waitFor("I Č O  firmy")) << t.screen();
  t.keys("Escape");
  ASSERT_TRUE(t.waitFor("EUR ")) << t.screen();
  t.keys("Enter");
  ASSERT_TRUE(t.waitFor("je větší než terminál (80 x 12)")) << t.screen();
  t.keys("F4");
  ASSERT_TRUE(t.waitFor("IDV")) << t.screen();
  t.keys("P Enter Enter 1 Enter 030122 Enter Enter Enter");
  ASSERT_TRUE(t.waitFor("Typ vstupu")) << t.screen();
  // No items; apart from what follows, so that the terminal does not read Esc as a prefix.
  t.keys("Escape");
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  t.keys("Enter 100 Enter");
  ASSERT_TRUE(t.waitFor("100.00")) << t.screen();
  t.keys("Down Down Down Down");
  // The form's lower fields are on the screen now, and its first ones are not.
  ASSERT_TRUE(t.waitFor("IND - zaúčtování")) << t.screen();
  const std::string screen = t.screen();
  EXPECT_NE(screen.find("Placeno Kč             2482.00"), std::string::npos) << screen;
  EXPECT_EQ(screen.find("IDV    P,V,O,D"), std::string::npos) << screen;
  EXPECT_NE(screen.find("Okno (107 x 18) je větší než terminál (80 x 12): pohled sleduje kurzor"), std::string::npos)
      << screen;
  // Saved, back in the list: its focus is the grid at the top, its key line on the bottom row.
  t.keys("F2");
  // The VAT line of the receipt's supplement as proposed, then the supplement as filled.
  ASSERT_TRUE(t.waitFor("daň na výstupu")) << t.screen();
  t.keys("Enter");
  ASSERT_TRUE(t.waitFor("Dodatek k DPH")) << t.screen();
  t.keys("F2");
  // The posting: the voucher number as proposed, the entries as proposed, written.
  ASSERT_TRUE(t.waitFor("ČÍSLO ÚČETNÍHO PŘEDPISU")) << t.screen();
  t.keys("Enter");
  ASSERT_TRUE(t.waitFor("PZ 000001 02")) << t.screen();
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  t.keys("Escape");
  ASSERT_TRUE(t.waitFor("Zapsat do účetnictví?")) << t.screen();
  t.keys("a");
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  // The cash voucher in the report viewer, left with Esc.
  t.keys("Escape");
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  ASSERT_TRUE(t.waitFor("PZ0100001")) << t.screen();
  EXPECT_EQ(t.screen().find("Enter=Výběr F3=Hledej"), std::string::npos) << t.screen();
  t.keys("M-Down M-Down M-Down M-Down M-Down");
  EXPECT_TRUE(t.waitFor(" F1,Ctrl+F1,Alt+F1=help Enter=Výběr F3=Hledej")) << t.screen();
  EXPECT_EQ(t.screen().find("PZ0100001"), std::string::npos) << t.screen();
}

}  // namespace
}  // namespace pz::test
