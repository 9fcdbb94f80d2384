#include "document/config_document.h"

#include <cmath>
#include <iostream>

#include "document/constant_settings.h"
#include "document/resolution_table.h"
#include "document/signed_extension.h"
#include "settings/general_format.h"
#include "settings/user_settings.h"

namespace {

const char* truth(bool value) { return value ? "#t" : "#f"; }

// A saved file may hold any bit pattern; the engine only understands numbers.
std::string volume_text(float volume) {
  return std::isfinite(volume) ? format_general(volume) : "1";
}

const char* display_module_line(std::int32_t driver) {
  switch (driver) {
    case 0:
      return "load-display vexagl\n";
    case 1:
    case 5:
      return "load-display vexadx8\n";
    case 2:
    case 3:
      return "load-display vexadx9\n";
    default:
      return "";
  }
}

void write_server_type(std::ostream& out, const char* name) {
  out << "#\n# server type\n#\n\nserver-type " << name << '\n';
}

}  // namespace

void write_config_document(std::ostream& out, bool pick_best_res) {
  const UserSettings& settings = UserSettings::get_instance();

  write_signed_extension(out);
  write_constant_settings(out);
  out << '\n';
  if (settings._custom_mousecursor_enabled) out << "cursor-filename zindmono.cur\n\n";
  if (settings._bShowFpsMeter) out << "show-frame-rate-meter #t\n\n";
  out << display_module_line(settings._driver) << '\n';
  out << "fullscreen " << truth(!settings._bUseWindowedMode) << "\n\n";
  write_audio_settings(out, settings._sfx, settings._music, settings._sfx_vol, settings._music_vol);
  out << '\n';

  const ScreenSize size = screen_size_for(settings._res);
  out << "#\n# display resolution\n#\n\nwin-size " << size.width << ' ' << size.height << "\n\n";
  if (pick_best_res && !settings._bSavedFileFound) out << "pick-best-screenres #t\n\n";

  switch (settings._stype) {
    case 0:
      write_server_type_prod(out);
      break;
    case 1:
      write_server_type_dev(out);
      break;
    case 2:
      write_server_type_debug(out);
      break;
    default:
      std::cerr << "There is an error in the settings file w.r.t. the server type\n";
      write_server_type_prod(out);
      break;
  }
}

void write_audio_settings(std::ostream& out, bool sfx, bool music, float sfx_vol, float music_vol) {
  out << "#\n# audio related options\n#\n\n"
         "# load the loaders\n"
         "audio-loader mp3\n"
         "audio-loader midi\n"
         "audio-loader wav\n"
         "audio-software-midi "
      << truth(UserSettings::get_instance()._bForceSWMidi) << "\n\n"
      << (sfx ? "# turn sfx on\n" : "# turn sfx off\n") << "audio-sfx-active " << truth(sfx) << '\n'
      << (music ? "# turn music on\n" : "# turn music off\n") << "audio-music-active "
      << truth(music) << "\n\n"
      << "audio-master-sfx-volume " << volume_text(sfx_vol) << '\n'
      << "audio-master-music-volume " << volume_text(music_vol) << '\n';
}

void write_server_type_prod(std::ostream& out) { write_server_type(out, "prod"); }
void write_server_type_dev(std::ostream& out) { write_server_type(out, "dev"); }
void write_server_type_debug(std::ostream& out) { write_server_type(out, "debug"); }
