#include "shell/program.h"

#include <memory>

#include "shell/dialogs.h"
#include "shell/lock_client.h"
#include "shell/main_window.h"
#include "shell/settings.h"
#include "storage/interaction.h"
#include "storage/locks.h"
#include "storage/paths.h"
#include "ui/app.h"

namespace pz::shell {

namespace {

// The windows of the program, created once at start in this order and living until it ends.
// Each part of the program adds its windows here in their place in the order.
struct Okna {
  Okna() : form1(&klient) {}
  TfClient klient;  // constructed first: the main window refers to it
  TForm1 form1;
};

}  // namespace

int runProgram() {
  ShellInteraction dialogy;
  storage::setInteraction(&dialogy);
  struct Obnov {
    ~Obnov() { storage::setInteraction(nullptr); }
  } obnov;

  // The address files first: a data root that cannot be read must not send the run to the
  // working directory.
  if (!storage::NactiAdresy()) return 1;
  auto* presenter = ui::Application::instance().presenter();
  NactiNastaveni(presenter ? presenter->screenDpi() : 96);

  auto okna = std::make_unique<Okna>();
  // Record files and every other lock go through the sharing table or, when one is named, the
  // lock server on this link.
  storage::setLockLink(&okna->klient);
  storage::RegistrujSdileniZamku();
  struct Odregistruj {
    ~Odregistruj() {
      storage::ZrusSdileniZamku();
      storage::setLockLink(nullptr);
    }
  } odregistruj;
  okna->form1.showModal();
  return 0;
}

}  // namespace pz::shell
