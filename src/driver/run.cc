#include "driver/run.h"

#include <iostream>

#include "document/config_document.h"
#include "document/resolution_table.h"
#include "driver/command_line.h"
#include "platform/display_record.h"
#include "settings/user_settings.h"

namespace {

const char kControlFile[] = "zdinst.dll";
const char kControlClassId[] = "5E1F7A3C-9B24-4D86-A0C3-7F2B91D4E6A8";

void apply_choices(const CommandLineChoices& choices, UserSettings& settings) {
  if (choices.low_resolution) settings._res = 0;
  if (choices.windowed_given) settings._bUseWindowedMode = choices.windowed_value;
  if (choices.fps_meter_given) settings._bShowFpsMeter = choices.fps_meter_value;
  if (choices.midi_given) settings._bForceSWMidi = choices.sw_midi_value;
  // Under -NoOverride a saved interface stays, unless it is the default one.
  if (choices.graphics_choice != 4 && (!choices.no_override || settings._driver == 2)) {
    settings._driver = choices.graphics_choice;
  }
  if (!choices.no_override && choices.cursor_given) {
    settings._custom_mousecursor_enabled = choices.cursor_value;
  }
}

}  // namespace

int run(const std::vector<std::string>& arguments, std::ostream& out, Platform& platform) {
  CommandLineChoices choices = scan_arguments(arguments);
  // Loading happens in every run, so every run leaves its trace.
  UserSettings& settings = UserSettings::get_instance();
  if (choices.save_unless_stdout && !choices.write_stdout) choices.save_requested = true;

  if (choices.invalid_argument) {
    write_usage(std::cerr);
    return kExitUsage;
  }
  if (choices.uninstall_requested) {
    return platform.remove_browser_control(kControlFile, kControlClassId) ? kExitSuccess
                                                                          : kExitUsage;
  }

  apply_choices(choices, settings);
  if (choices.save_requested && (!choices.no_override || !settings._bSavedFileFound)) {
    settings.save();
  }
  if (!choices.write_stdout) return kExitSuccess;

  write_config_document(out, choices.pick_best_res);
  out.flush();
  const ScreenSize size = screen_size_for(settings._res);
  const bool recorded = write_display_record(
      platform.registry, settings._bUseWindowedMode, static_cast<std::int32_t>(size.width),
      static_cast<std::int32_t>(size.height), settings._driver, platform.probe_opengl);
  return recorded ? kExitSuccess : kExitNoProductKey;
}
