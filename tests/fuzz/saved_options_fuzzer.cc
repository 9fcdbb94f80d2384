// Feeds arbitrary bytes to the saved options reader as a "useropt" file.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "settings/search_path.h"
#include "settings/user_settings.h"

namespace {

// A private working directory holding the search path, made once.
const std::string& work_dir() {
  static const std::string dir = [] {
    char name[] = "/tmp/prefgen-fuzz-XXXXXX";
    if (!mkdtemp(name) || chdir(name) != 0) std::abort();
    setenv("CONFIG_PATH", name, 1);
    unsetenv("CONFIG_CONFIG");
    return std::string(name);
  }();
  return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = work_dir() + "/useropt";
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  // Loading reads the file; whatever it made of it must save and read back
  // as the same record.
  UserSettings* loaded = &UserSettings::get_instance();
  loaded->save();
  UserSettings* reloaded = new UserSettings();
  const bool same =
      loaded->_sfx == reloaded->_sfx && loaded->_music == reloaded->_music &&
      loaded->_chat == reloaded->_chat &&
      std::memcmp(&loaded->_sfx_vol, &reloaded->_sfx_vol, sizeof(float)) == 0 &&
      std::memcmp(&loaded->_music_vol, &reloaded->_music_vol, sizeof(float)) == 0 &&
      (loaded->_driver & 0xFF) == reloaded->_driver && (loaded->_res & 0xFF) == reloaded->_res &&
      (loaded->_stype & 0xFF) == reloaded->_stype &&
      loaded->_custom_mousecursor_enabled == reloaded->_custom_mousecursor_enabled &&
      loaded->_bUseWindowedMode == reloaded->_bUseWindowedMode &&
      loaded->_bShowFpsMeter == reloaded->_bShowFpsMeter &&
      loaded->_bForceSWMidi == reloaded->_bForceSWMidi &&
      loaded->_zind_chat_sounds == reloaded->_zind_chat_sounds;
  delete reloaded;
  delete loaded;
  if (!same) std::abort();
  return 0;
}
