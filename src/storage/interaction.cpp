#include "storage/interaction.h"

namespace pz::storage {
namespace {
Interaction* g_interaction = nullptr;
}

Interaction& interaction() {
  static RecordingInteraction fallback;
  return g_interaction ? *g_interaction : fallback;
}

void setInteraction(Interaction* i) { g_interaction = i; }

void RecordingInteraction::message(const std::string& text, bool) { messages.push_back(text); }

bool RecordingInteraction::question(const std::string& text, bool defaultYes) {
  questions.push_back(text);
  return answer ? answer(text) : defaultYes;
}

bool RecordingInteraction::waitFor(const std::string& text, int, const std::function<bool()>& attempt) {
  waits.push_back(text);
  for (int i = 0; i < waitAttempts; ++i)
    if (attempt()) return true;
  return false;
}

int RecordingInteraction::window(const std::string& title, const std::function<int()>& show) {
  windows.push_back(title);
  return windowAnswer ? windowAnswer(title) : show();
}

}  // namespace pz::storage
