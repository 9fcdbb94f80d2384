#include "platform/display_record.h"

#include <cstdio>
#include <cstring>

const char kProductKeyPath[] = "SOFTWARE\\Corvane\\Corvane Online\\Zindara";

namespace {

// "GfxApiUsed" for a GraphicsApi code; the default interface (2) records 0
// although the document loads Direct3D 9 for it.
std::uint32_t gfx_api_used(std::int32_t graphics_api) {
  switch (graphics_api) {
    case 0:
      return 1;
    case 1:
    case 5:
      return 9;
    case 3:
      return 10;
    default:
      return 0;
  }
}

}  // namespace

void set_text_value(Registry& registry, RegistryKey key, const char* name, const char* text) {
  registry.set_string_value(key, name, text, static_cast<std::uint32_t>(std::strlen(text)));
}

bool write_display_record(Registry& registry, bool windowed, std::int32_t width,
                          std::int32_t height, std::int32_t graphics_api,
                          const std::function<void(RegistryKey)>& run_opengl_probe) {
  RegistryKey key;
  if (!registry.open_local_machine_key(kProductKeyPath, RegistryAccess::kWrite, &key)) {
    return false;
  }
  registry.set_dword_value(key, "UsingWindowedMode", windowed ? 1 : 0);

  char screen_size[32];
  std::snprintf(screen_size, sizeof screen_size, "%dx%d", static_cast<int>(width),
                static_cast<int>(height));
  set_text_value(registry, key, "LastScreenSize", screen_size);

  if (graphics_api == 0) run_opengl_probe(key);
  registry.set_dword_value(key, "GfxApiUsed", gfx_api_used(graphics_api));
  registry.close_key(key);
  return true;
}
