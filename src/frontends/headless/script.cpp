#include "frontends/headless/script.h"

#include <cctype>
#include <charconv>
#include <map>
#include <sstream>

#include "platform/text.h"

namespace pz::headless {
namespace {

using namespace ui;

bool startsWithNoCase(const std::string& s, const std::string& prefix) {
  if (s.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(s[i])) != std::tolower(static_cast<unsigned char>(prefix[i]))) return false;
  return true;
}

const std::map<std::string, int>& namedKeys() {
  static const std::map<std::string, int> keys = {
      {"enter", kVkReturn}, {"esc", kVkEscape},     {"tab", kVkTab},        {"space", kVkSpace},
      {"backspace", kVkBack}, {"insert", kVkInsert}, {"delete", kVkDelete}, {"home", kVkHome},
      {"end", kVkEnd},      {"pgup", kVkPrior},     {"pgdn", kVkNext},      {"up", kVkUp},
      {"down", kVkDown},    {"left", kVkLeft},      {"right", kVkRight},    {"capslock", kVkCapital},
      {"num+", kVkAdd},     {"num-", kVkSubtract},  {"num*", kVkMultiply},
  };
  return keys;
}

bool parseNumber(const std::string& s, long long& out) {
  if (s.empty()) return false;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc() && p == s.data() + s.size();
}

std::vector<std::string> words(const std::string& s) {
  std::istringstream in(s);
  std::vector<std::string> out;
  for (std::string w; in >> w;) out.push_back(w);
  return out;
}

}  // namespace

bool parseKey(const std::string& name, KeyEvent& out) {
  out = KeyEvent{};
  std::string rest = name;
  for (bool more = true; more;) {
    more = false;
    for (auto [prefix, flag] : {std::pair<const char*, bool*>{"ctrl+", &out.ctrl}, {"shift+", &out.shift}, {"alt+", &out.alt}}) {
      if (startsWithNoCase(rest, prefix) && rest.size() > std::char_traits<char>::length(prefix)) {
        if (*flag) return false;  // the same modifier twice
        *flag = true;
        rest.erase(0, std::char_traits<char>::length(prefix));
        more = true;
      }
    }
  }
  std::string lower;
  for (char c : rest) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const bool typing = !out.ctrl && !out.alt;
  if (auto it = namedKeys().find(lower); it != namedKeys().end()) {
    out.vk = it->second;
    if (typing) {
      if (out.vk == kVkSpace) out.ch = ' ';
      else if (out.vk == kVkAdd) out.ch = '+';
      else if (out.vk == kVkSubtract) out.ch = '-';
      else if (out.vk == kVkMultiply) out.ch = '*';
    }
    return true;
  }
  if (lower.size() >= 2 && lower[0] == 'f') {
    long long n = 0;
    if (parseNumber(lower.substr(1), n) && n >= 1 && n <= 12) {
      out.vk = kVkF1 + static_cast<int>(n) - 1;
      return true;
    }
    return false;
  }
  if (rest.size() == 1) {
    const auto c = static_cast<unsigned char>(rest[0]);
    if (std::isalpha(c)) {
      out.vk = kVkA + (std::toupper(c) - 'A');
      if (typing) out.ch = static_cast<char>(out.shift ? std::toupper(c) : std::tolower(c));
      return true;
    }
    if (std::isdigit(c)) {
      out.vk = kVk0 + (c - '0');
      if (typing) out.ch = static_cast<char>(c);
      return true;
    }
  }
  return false;
}

std::vector<ScriptStep> parseScript(const std::string& utf8, std::vector<ScriptError>& errors) {
  std::vector<ScriptStep> steps;
  std::istringstream in(utf8);
  std::string line;
  for (int no = 1; std::getline(in, line); ++no) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line[start] == '#') continue;
    std::string body = line.substr(start);
    size_t sp = body.find_first_of(" \t");
    std::string cmd = body.substr(0, sp);
    std::string arg = sp == std::string::npos ? std::string() : body.substr(sp + 1);
    ScriptStep step;
    step.line = no;
    auto bad = [&](std::string msg) { errors.push_back({no, std::move(msg)}); };

    if (cmd == "type") {
      if (arg.empty()) { bad("type needs text"); continue; }
      step.kind = ScriptStep::Type;
      step.text = platform::utf8ToCp1250(arg);
      steps.push_back(step);
    } else if (cmd == "run") {
      if (arg.find_first_not_of(" \t") == std::string::npos) { bad("run needs a command"); continue; }
      step.kind = ScriptStep::Run;
      step.text = arg;
      steps.push_back(step);
    } else if (cmd == "wait" || cmd == "pace") {
      auto w = words(arg);
      long long n = 0;
      if (w.size() != 1 || !parseNumber(w[0], n) || n < 0) { bad(cmd + " needs one number of milliseconds"); continue; }
      step.kind = cmd == "wait" ? ScriptStep::Wait : ScriptStep::Pace;
      step.number = n;
      steps.push_back(step);
    } else if (cmd == "waits") {
      // "waits real": the wait windows of busy locks take no keys of the script; their retries
      // run in real time, as when several stations really run at once.
      if (words(arg) != std::vector<std::string>{"real"}) { bad("waits takes: real"); continue; }
      step.kind = ScriptStep::RealWaits;
      steps.push_back(step);
    } else if (cmd == "dump") {
      if (!words(arg).empty()) { bad("dump takes nothing"); continue; }
      step.kind = ScriptStep::Dump;
      steps.push_back(step);
    } else if (cmd == "click" || cmd == "dblclick" || cmd == "rclick") {
      auto w = words(arg);
      long long c = 0, r = 0;
      if (w.size() < 2 || !parseNumber(w[0], c) || !parseNumber(w[1], r) || c < 1 || r < 1 || c > 10000 || r > 10000) {
        bad(cmd + " needs a column and a row, counted from 1");
        continue;
      }
      // Keys held down during the click.
      bool drzene = true;
      for (std::size_t i = 2; i < w.size() && drzene; ++i) {
        std::string m = w[i];
        for (char& ch : m) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        if (m == "ctrl") step.key.ctrl = true;
        else if (m == "shift") step.key.shift = true;
        else if (m == "alt") step.key.alt = true;
        else drzene = false;
      }
      if (!drzene) {
        bad(cmd + " takes only Ctrl, Shift or Alt after the row");
        continue;
      }
      step.kind = cmd == "click" ? ScriptStep::Click : cmd == "dblclick" ? ScriptStep::DoubleClick : ScriptStep::RightClick;
      step.col = static_cast<int>(c);
      step.row = static_cast<int>(r);
      steps.push_back(step);
    } else if (cmd == "drag" || cmd == "resize") {
      const size_t n = cmd == "drag" ? 4 : 2;
      auto w = words(arg);
      long long v[4] = {0, 0, 0, 0};
      bool ok = w.size() == n;
      for (size_t i = 0; ok && i < n; ++i) ok = parseNumber(w[i], v[i]) && v[i] >= 1 && v[i] <= 10000;
      if (!ok) {
        bad(cmd == "drag" ? "drag needs two columns and rows, counted from 1"
                          : "resize needs a width and a height in pixels");
        continue;
      }
      step.kind = cmd == "drag" ? ScriptStep::Drag : ScriptStep::Resize;
      step.col = static_cast<int>(v[0]);
      step.row = static_cast<int>(v[1]);
      step.col2 = static_cast<int>(v[2]);
      step.row2 = static_cast<int>(v[3]);
      steps.push_back(step);
    } else {
      std::string keys = body;
      if (auto hash = keys.find(" #"); hash != std::string::npos) keys.erase(hash);
      for (const auto& w : words(keys)) {
        ScriptStep k;
        k.line = no;
        k.kind = ScriptStep::Key;
        if (!parseKey(w, k.key)) {
          bad("unknown key \"" + w + "\"");
          break;
        }
        steps.push_back(k);
      }
    }
  }
  return steps;
}

}  // namespace pz::headless
