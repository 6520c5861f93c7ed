#include "shell/program.h"

#include "shell/main_window.h"

namespace pz::shell {

int runProgram() {
  TForm1 mainWindow;
  mainWindow.showModal();
  return 0;
}

}  // namespace pz::shell
