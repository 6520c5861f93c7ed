#include "storage/intentrecord.h"

#include "platform/file.h"
#include "platform/fs.h"
#include "platform/io.h"

namespace pz::storage {

std::uint32_t Fnv1a32(std::string_view b) {
  std::uint32_t h = 2166136261u;
  for (unsigned char c : b) h = (h ^ c) * 16777619u;
  return h;
}

std::uint64_t Fnv1a64(std::string_view b) {
  std::uint64_t h = 14695981039346656037ull;
  for (unsigned char c : b) h = (h ^ c) * 1099511628211ull;
  return h;
}

std::string DocasnyZaznam(const std::string& zaznam) { return zaznam.substr(0, zaznam.size() - 1) + "~"; }

int ZapisZaznamCely(const std::string& zaznam, std::string_view obsah) {
  const std::string tmp = DocasnyZaznam(zaznam);
  platform::File f;
  int e = f.open(tmp, platform::Access::ReadWrite, platform::Share::DenyReadWrite, platform::Create::CreateAlways);
  if (e == platform::kIoOk) e = f.writeAt(0, obsah.data(), obsah.size());
  if (e == platform::kIoOk) e = f.sync();
  f.close();
  if (e == platform::kIoOk) e = platform::renameFile(tmp, zaznam, true);
  if (e != platform::kIoOk) (void)platform::removeFile(tmp);
  return e;
}

namespace {
VraceniPrerusenych g_vraceni = nullptr;
}  // namespace

void NastavVraceniPrerusenych(VraceniPrerusenych vraceni) { g_vraceni = vraceni; }

bool VratPrerusenaUlozeniNad(const std::vector<std::string>& zamcene) { return !g_vraceni || g_vraceni(zamcene); }

}  // namespace pz::storage
