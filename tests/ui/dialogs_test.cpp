#include "ui/dialogs.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <variant>

#include "platform/fs.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "storage/interaction.h"
#include "storage/params.h"
#include "storage/roots.h"
#include "ui/app.h"
#include "platform/clock.h"
#include "ui/calculator.h"
#include "ui/timer.h"
#include "ui/form.h"
#include "ui/recordform.h"
#include "support/tempdir.h"

namespace pz::ui {
namespace {

using platform::cz;

// Plays a user: each step is a key for the topmost window or a look at the screen.
class UserPresenter : public Presenter {
 public:
  using Step = std::variant<KeyEvent, std::function<void()>>;
  std::deque<Step> steps;
  void runModal(Form& f) override {
    while (!f.closeRequested()) {
      if (steps.empty()) {
        ADD_FAILURE() << "no more keys for " << f.name();
        f.close();
        return;
      }
      Step s = steps.front();
      steps.pop_front();
      if (auto* k = std::get_if<KeyEvent>(&s)) Application::instance().dispatchKey(*k);
      else std::get<std::function<void()>>(s)();
    }
  }
  void keys(std::initializer_list<KeyEvent> ks) { steps.insert(steps.end(), ks.begin(), ks.end()); }
  void type(const std::string& text) {
    for (char c : text) steps.emplace_back(keyForChar(c));
  }
  void then(std::function<void()> fn) { steps.emplace_back(std::move(fn)); }
};

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::paths().clear();
    platform::paths().setWorkDir(dir.str());
    storage::ZahodParametry();
    storage::ZapomenAdresy();
    Application::instance().setPresenter(&user);
    storage::setInteraction(&rec);
  }
  void TearDown() override {
    Application::instance().setPresenter(nullptr);
    storage::setInteraction(nullptr);
    storage::ZahodParametry();
    storage::ZapomenAdresy();
    EXPECT_TRUE(user.steps.empty()) << "keys left over";
  }
  std::string topLine() {
    Form* f = Application::instance().topForm();
    return f ? f->name() : "";
  }
  test::TempDir dir;
  UserPresenter user;
  storage::RecordingInteraction rec;
};

const std::vector<std::string> kPolozky = {" Opravy ", " Opis ", " Pripojovani "};

TEST_F(DialogTest, MaskedItemIsSkippedAndTheChoiceIsRemembered) {
  storage::PisPar("par\\VYBER.PAR", "Ucetnictvi", " -");
  user.keys({{kVkDown}, {kVkReturn}});  // from item 1, Down passes the disabled item 2
  EXPECT_EQ(Vyber(30, 10, nullptr, kPolozky, "Ucetnictvi"), 3);
  EXPECT_EQ(vysledekDialogu().kodVolby, "Pr");
  EXPECT_EQ(storage::CtiPar("par\\VYBER.IDX", "Ucetnictvi VyberIndex"), "   3");
  user.keys({{kVkReturn}});  // the next time the focus starts on the last choice
  EXPECT_EQ(Vyber(30, 10, nullptr, kPolozky, "Ucetnictvi"), 3);
}

TEST_F(DialogTest, EscChoosesNothingAndLeavesTheLastChoiceAlone) {
  user.keys({{kVkDown}, {kVkReturn}});
  ASSERT_EQ(Vyber(1, 1, nullptr, kPolozky, "Menu"), 2);
  user.keys({{kVkUp}, {kVkEscape}});
  EXPECT_EQ(Vyber(1, 1, nullptr, kPolozky, "Menu"), 0);
  EXPECT_EQ(vysledekDialogu().kodVolby, "  ");
  EXPECT_EQ(storage::CtiPar("par\\VYBER.IDX", "Menu VyberIndex"), "   2");
}

TEST_F(DialogTest, MenusSharingFifteenCharactersShareTheirPlace) {
  user.keys({{kVkReturn}});
  Vyber(5, 5, nullptr, kPolozky, "Seznam polozek A - prvni");
  storage::PisPar("par\\okna2.par", "Seznam polozek  VyberLeft", "   333");
  int seenX = 0;
  user.then([&] { seenX = Application::instance().topForm()->geometry.x; });
  user.keys({{kVkReturn}});
  Vyber(5, 5, nullptr, kPolozky, "Seznam polozek B - druhy");
  EXPECT_EQ(seenX, 333);
}

TEST_F(DialogTest, TooManyItemsSayWhy) {
  std::vector<std::string> many(61, "x");
  user.keys({{kVkReturn}});  // closes the message
  EXPECT_EQ(Vyber(1, 1, nullptr, many, "Velke menu"), 0);
}

TEST_F(DialogTest, AllItemsDisabledNeverHangs) {
  user.keys({{kVkDown}, {kVkUp}, {kVkReturn}, {kVkEscape}});
  EXPECT_EQ(Vyber(1, 1, nullptr, {"-a", "-b"}, "Zakazane"), 0);
}

TEST_F(DialogTest, YesNoQuestionRemembersAnAnswerOfYes) {
  user.type("a");
  EXPECT_TRUE(Dotaz(0, 0, cz("Smazat záznam?")));
  std::string focused;
  user.then([&] { focused = Application::instance().topForm()->focused()->name(); });
  user.keys({{kVkEscape}});
  EXPECT_FALSE(Dotaz(0, 0, cz("Smazat záznam?")));
  EXPECT_EQ(focused, "bAno");
  user.then([&] { focused = Application::instance().topForm()->focused()->name(); });
  user.keys({{kVkReturn}});
  EXPECT_FALSE(Dotaz(0, 0, cz("Smazat záznam?")));  // the Esc before was remembered as "no"
  EXPECT_EQ(focused, "bNe");
}

TEST_F(DialogTest, QuestionFormHandsBackItsLinesAndTheCalculatorResult) {
  user.keys({{kVkDown}, {kVkEnd}});
  user.type("5");
  user.keys({{kVkUp}, {kVkF9}});  // calculator on line 1 (value 100)
  user.type("21*");
  user.keys({{kVkReturn}});
  user.keys({{kVkF2}});
  ASSERT_TRUE(Dotazy(1, 1, nullptr, {"Castka", "100", "Kurz", "25,3"}, "Prepocet"));
  EXPECT_EQ(vysledekDialogu().odpovedi, (std::vector<std::string>{"2100.00", "25,35"}));
}

// F10 puts the file chosen in the chooser into the line, without blanks; the line's own text is
// what the chooser starts from.
TEST_F(DialogTest, QuestionFormTakesAFileNameFromTheChooserWithF10) {
  std::string nabidnuto, titulek;
  sluzbySouboru().vyberSouboru = [&](const std::string& slozka, const std::string&, const std::string& t) {
    nabidnuto = slozka;
    titulek = t;
    return std::string("C:\\IMPORT\\MOJE DATA.CSV");
  };
  user.keys({{kVkDown}, {kVkF10}, {kVkF2}});
  const bool potvrzeno = Dotazy(1, 1, nullptr, {"Popis", "x", "Soubor", "  C:\\A.CSV  "}, "Import");
  sluzbySouboru().vyberSouboru = nullptr;
  ASSERT_TRUE(potvrzeno);
  EXPECT_EQ(nabidnuto, "C:\\A.CSV");
  EXPECT_EQ(titulek, cz("Urči soubor"));
  EXPECT_EQ(vysledekDialogu().odpovedi, (std::vector<std::string>{"x", "C:\\IMPORT\\MOJEDATA.CSV"}));
}

TEST_F(DialogTest, CalculatorKeepsItsTapeAsTheUserSeesIt) {
  user.type("21*");
  std::vector<std::string> tape;
  user.then([&] { tape = kalkulacka().Memo1.lines; });
  user.keys({{kVkReturn}});
  const double r = Kalkulacka(100);
  EXPECT_TRUE(vysledekKalkulacky().potvrzeno);
  EXPECT_DOUBLE_EQ(r, 2100);
  EXPECT_EQ(tape, (std::vector<std::string>{"         100.00 =", "             21 *", "       2 100.00 ="}));
}

TEST_F(DialogTest, DivisionByZeroKeepsTheResultAndDigitsAfterAStepStartANewOperand) {
  user.type("0/");
  user.keys({{kVkReturn}});  // the message "Dělení nulou"
  user.type("5");
  user.type("+");
  std::vector<std::string> tape;
  user.then([&] { tape = kalkulacka().Memo1.lines; });
  user.keys({{kVkEscape}});
  EXPECT_EQ(Kalkulacka(7), 0);  // Esc without F2-OK hands back nothing
  EXPECT_FALSE(vysledekKalkulacky().potvrzeno);
  ASSERT_EQ(tape.size(), 5u);
  EXPECT_EQ(tape[1], "              0 /");
  EXPECT_EQ(tape[2], "           7.00 =");
  EXPECT_EQ(tape[3], "              5 +");  // "5" replaced the operand "0"
  EXPECT_EQ(tape[4], "          12.00 =");
}

TEST_F(DialogTest, AResultTooLargeForTheFieldIsAnOverflowAndTheResultStays) {
  std::vector<std::string> zpravy;
  auto zprava = [&] {
    Form* f = Application::instance().topForm();
    auto* text = f ? dynamic_cast<Memo*>(f->find("mText")) : nullptr;
    zpravy.push_back(text && !text->lines.empty() ? text->lines.front() : "(no message)");
  };
  user.type("600000000+");
  user.then(zprava);
  user.keys({{kVkReturn}});
  user.type("2,5*");
  user.then(zprava);
  user.keys({{kVkReturn}});
  user.type("100+");
  std::vector<std::string> tape;
  user.then([&] { tape = kalkulacka().Memo1.lines; });
  user.keys({{kVkF2}});
  EXPECT_EQ(Kalkulacka(600000000), 600000100);
  EXPECT_EQ(vysledekKalkulacky().text, "600000100.00");
  EXPECT_EQ(zpravy, (std::vector<std::string>{cz("Přetečení"), cz("Přetečení")}));
  ASSERT_EQ(tape.size(), 7u);
  EXPECT_EQ(tape[2], " 600 000 000.00 =");
  EXPECT_EQ(tape[4], " 600 000 000.00 =");
  EXPECT_EQ(tape[6], " 600 000 100.00 =");
}

TEST_F(DialogTest, OkButtonThenEscStillHandsTheResultBackAndAnEmptyTapePrintsNothing) {
  user.keys({{kVkF10}});
  user.then([&] { kalkulacka().Button1.onClick(); });
  user.keys({{kVkEscape}});
  EXPECT_EQ(Kalkulacka(42.5), 42.5);
  EXPECT_TRUE(vysledekKalkulacky().potvrzeno);
  EXPECT_FALSE(platform::fileExists("Paragon.TXT"));
}

TEST_F(DialogTest, HelpTopicThatMatchesNoHeadingOpensAtTheFirstLine) {
  dir.write("prog.adr", "PROG\\\r\n");
  dir.write("PROG/pz/pz.hlp", "@ comment\r\n$Valutov\xE1 pokladna\r\ntext [tucne] dal\r\n$Kurzy\r\n");
  std::string shown;
  NastavProhlizecSestav([&](const std::string& f) { shown = f; });
  Napoveda("\\pz\\pz", "neexistuje");
  EXPECT_EQ(shown, "help.txt");
  EXPECT_EQ(storage::CtiPar("par\\okna2.par", "fPozri Index"), "     1");
  Napoveda("\\pz\\pz", "KURZY");
  EXPECT_EQ(storage::CtiPar("par\\okna2.par", "fPozri Index"), "     4");
  const std::string help = dir.read("help.TXT");
  EXPECT_EQ(help.substr(0, 82), std::string(80, ' ') + "\r\n");  // "@" lines are empty
  EXPECT_EQ(help.substr(164, 18), "text TUCNE dal    ");
  NastavProhlizecSestav(nullptr);
}

TEST_F(DialogTest, GuidePageEditedWithF2IsSavedWithItsMark) {
  dir.write("prog.adr", "PROG\\\r\n");
  const std::string adresar = storage::ProgCesta("NAVODY\\");
  user.keys({{kVkF2}});
  user.type("Krok 1");
  user.keys({{kVkEscape}});
  Navod(adresar, cz("Účet: \"A/B\"?"));
  const std::string saved = dir.read("PROG/NAVODY/Ucet__A_B__.nav");
  EXPECT_EQ(saved.substr(0, 8), "Krok 1\r\n");
  EXPECT_NE(saved.find("&"), std::string::npos);
  std::vector<std::string> shown;
  user.then([&] { shown = static_cast<Memo*>(Application::instance().topForm()->find("MemoNavod"))->lines; });
  user.keys({{kVkEscape}});
  Navod(adresar, cz("Účet: \"A/B\"?"));
  EXPECT_EQ(shown, std::vector<std::string>{"Krok 1"});  // the "&" line is not shown
}

TEST_F(DialogTest, EmptyReportShowsItsMessage) {
  dir.write("kratka.txt", "x");
  user.keys({{kVkReturn}});
  std::string caption;
  user.steps.push_front(std::function<void()>([&] { caption = topLine(); }));
  UkazSestavu("kratka");
  EXPECT_EQ(caption, "TfZprava");
}

TEST(TextLayout, WrapsAtBlanksAndKeepsLineBreaks) {
  using V = std::vector<std::string>;
  EXPECT_EQ(ZalomText("jedna dva tri ctyri", 9), (V{"jedna dva", "tri ctyri"}));
  EXPECT_EQ(ZalomText("a\r\nb\nc", 10), (V{"a", "b", "c"}));
  EXPECT_EQ(ZalomText("abcdefghijkl x", 5), (V{"abcde", "fghij", "kl x"}));
  EXPECT_EQ(ZalomText("", 5), (V{""}));
}

}  // namespace
}  // namespace pz::ui

namespace pz::ui {
namespace {

TEST_F(DialogTest, FlashingMessageStaysAboveWithoutTakingKeysUntilItEnds) {
  Form host("TfHost", "host");
  host.geometry = {0, 0, 160, 64};
  std::vector<std::string> stack;
  user.then([&] {
    Blik(cz("Třídím..."));
    BlikPostup(200, 50);
    for (Form* f : Application::instance().openForms()) stack.push_back(f->name());
    EXPECT_EQ(Application::instance().topForm(), &host);  // keys still go to the window below
    BlikKonec();
    host.close();
  });
  host.showModal();
  EXPECT_EQ(stack, (std::vector<std::string>{"TfHost", "TfBlik"}));
  EXPECT_TRUE(Application::instance().openForms().empty());
}

TEST_F(DialogTest, TimedWaitEndsByItselfOrOnEsc) {
  platform::VirtualClock clock({2026, 12, 9}, {8, 0, 0, 0});
  platform::setClock(&clock);
  user.then([&] {
    clock.advance(1500);
    TimerQueue::instance().fireDue(clock.monotonicMs());
  });
  EXPECT_FALSE(Cekej(1000, "Chvilku"));
  user.keys({{kVkEscape}});
  EXPECT_TRUE(Cekej(60000, "Dlouho"));
  EXPECT_TRUE(vysledekDialogu().preruseno);
  platform::setClock(nullptr);
}

TEST_F(DialogTest, CtrlRightButtonForbidsItemsForGood) {
  user.then([&] {
    MouseEvent m;
    m.button = MouseButton::Right;
    m.ctrl = true;
    Application::instance().dispatchMouse(m);
  });
  user.keys({{kVkDown}, {kVkSpace}, {kVkReturn}});  // in the list of items: mark item 2
  user.keys({{kVkDown}, {kVkReturn}});              // back in the menu: Down skips item 2
  EXPECT_EQ(Vyber(1, 1, nullptr, kPolozky, "Zamykani"), 3);
  EXPECT_EQ(storage::CtiPar("par\\VYBER.PAR", "Zamykani").substr(0, 2), " -");
}

}  // namespace
}  // namespace pz::ui
