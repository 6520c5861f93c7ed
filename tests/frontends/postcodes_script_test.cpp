// The postal code list of the program root, searched by town with Ctrl+F3 as a user types the
// town without diacritics.
#include <gtest/gtest.h>

#include <sstream>

#include "frontends/headless/headless.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "registers/postcodes.h"
#include "storage/fields.h"
#include "storage/interaction.h"
#include "storage/params.h"
#include "storage/roots.h"
#include "support/tempdir.h"

namespace pz {
namespace {

using platform::cz;
using registers::tPsc;

std::string psc(const std::string& kod, const std::string& obec, const std::string& posta, const std::string& okres) {
  std::string v(tPsc::kVelikost, '\0');
  EXPECT_TRUE(storage::writeShortString(v, tPsc::kPsc, 5, kod));
  EXPECT_TRUE(storage::writeShortString(v, tPsc::kObec, 50, obec));
  EXPECT_TRUE(storage::writeShortString(v, tPsc::kPosta, 50, posta));
  EXPECT_TRUE(storage::writeShortString(v, tPsc::kOkres, 50, okres));
  return v;
}

TEST(PscScript, CtrlF3FindsATownTypedWithoutDiacriticsAndEnterChoosesIt) {
  pz::test::TempDir dir;
  pz::test::ScopedCwd cwd{dir.path()};
  platform::paths().setWorkDir(dir.str());
  dir.write("prog.adr", dir.str() + "/PROG/\r\n");
  dir.write("PROG/2/PSC.dta", psc("36235", "Abertamy", "Abertamy", "Karlovy Vary") +
                                  psc("37001", cz("České Budějovice 1"), cz("České Budějovice 1"), cz("České Budějovice")) +
                                  psc("67401", cz("Třebíč"), cz("Třebíč 1"), cz("Třebíč")));
  storage::ZapomenAdresy();
  storage::ZahodParametry();
  storage::RecordingInteraction zpravy;
  storage::setInteraction(&zpravy);
  registers::TfPsc okno;
  std::string vybrane;
  dir.write("skript.txt", "Ctrl+F3\ntype Ceske Bud\nEnter\ndump\nEnter\n");
  std::ostringstream out, err;
  const int rc = headless::runHeadless((dir / "skript.txt").string(), platform::Date{2026, 12, 9},
                                       [&] {
                                         okno.NastavPsc();
                                         okno.showModal();
                                         vybrane = okno.VybranePsc();
                                         okno.Zavri();
                                         return 0;
                                       },
                                       out, err);
  EXPECT_EQ(rc, 0) << err.str();
  EXPECT_EQ(vybrane, "37001") << out.str();
  EXPECT_NE(out.str().find("Ctrl+F3 = Hledej PSČ (podle-obec,okres)"), std::string::npos) << out.str();
  storage::setInteraction(nullptr);
  storage::ZapomenAdresy();
  platform::paths().clear();
}

}  // namespace
}  // namespace pz
