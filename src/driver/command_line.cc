#include "driver/command_line.h"

#include <algorithm>
#include <iostream>

namespace {

int fold(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c; }

using Effect = void (*)(CommandLineChoices&);

struct Option {
  const char* word;
  Effect apply;
};

void choose_graphics(CommandLineChoices& choices, std::int32_t code) {
  choices.graphics_choice = code;
  choices.save_unless_stdout = true;
}

void choose_window_mode(CommandLineChoices& choices, bool windowed) {
  choices.save_requested = true;
  choices.windowed_given = true;
  choices.windowed_value = windowed;
}

void choose_fps_meter(CommandLineChoices& choices, bool shown) {
  choices.save_requested = true;
  choices.fps_meter_given = true;
  choices.fps_meter_value = shown;
}

void choose_midi(CommandLineChoices& choices, bool software) {
  choices.save_requested = true;
  choices.midi_given = true;
  choices.sw_midi_value = software;
}

void choose_cursor(CommandLineChoices& choices, bool custom) {
  choices.save_unless_stdout = true;
  choices.cursor_given = true;
  choices.cursor_value = custom;
}

// The options; none takes a value and none clears a flag.
const Option kOptions[] = {
    {"OGL", [](CommandLineChoices& c) { choose_graphics(c, 0); }},
    {"DX9", [](CommandLineChoices& c) { choose_graphics(c, 3); }},
    {"DX8", [](CommandLineChoices& c) { choose_graphics(c, 5); }},
    {"DX7", [](CommandLineChoices& c) { choose_graphics(c, 5); }},
    {"default", [](CommandLineChoices& c) { choose_graphics(c, 2); }},
    {"NoOverride", [](CommandLineChoices& c) { c.no_override = true; }},
    {"save", [](CommandLineChoices& c) { c.save_requested = true; }},
    {"lowres",
     [](CommandLineChoices& c) {
       c.save_requested = true;
       c.low_resolution = true;
     }},
    {"fullscreen", [](CommandLineChoices& c) { choose_window_mode(c, false); }},
    {"windowed",
     [](CommandLineChoices& c) {
       choose_window_mode(c, true);
       c.low_resolution = true;
     }},
    {"show_fps", [](CommandLineChoices& c) { choose_fps_meter(c, true); }},
    {"hide_fps", [](CommandLineChoices& c) { choose_fps_meter(c, false); }},
    {"force_sw_midi", [](CommandLineChoices& c) { choose_midi(c, true); }},
    {"allow_hw_midi", [](CommandLineChoices& c) { choose_midi(c, false); }},
    {"stdout", [](CommandLineChoices& c) { c.write_stdout = true; }},
    {"cursor_on", [](CommandLineChoices& c) { choose_cursor(c, true); }},
    {"cursor_off", [](CommandLineChoices& c) { choose_cursor(c, false); }},
    {"uninstall_activex", [](CommandLineChoices& c) { c.uninstall_requested = true; }},
    {"pickbestres", [](CommandLineChoices& c) { c.pick_best_res = true; }},
};

// A lone "/" is an option (with an empty word, which matches nothing); a
// lone "-" is not.
bool is_option(const std::string& argument) {
  return (argument.size() >= 2 && argument[0] == '-') || (!argument.empty() && argument[0] == '/');
}

bool apply_option(const std::string& word, CommandLineChoices& choices) {
  for (const Option& option : kOptions) {
    if (compare_nocase(word, option.word) == 0) {
      option.apply(choices);
      return true;
    }
  }
  return false;
}

}  // namespace

int compare_nocase(const std::string& a, const std::string& b) {
  const std::size_t common = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < common; ++i) {
    const int left = fold(static_cast<unsigned char>(a[i]));
    const int right = fold(static_cast<unsigned char>(b[i]));
    if (left != right) return left < right ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

CommandLineChoices scan_arguments(const std::vector<std::string>& arguments) {
  CommandLineChoices choices;
  for (const std::string& argument : arguments) {
    if (is_option(argument) && apply_option(argument.substr(1), choices)) continue;
    std::cerr << "Invalid argument: " << argument << '\n';
    choices.invalid_argument = true;
  }
  return choices;
}

void write_usage(std::ostream& out) {
  out << "Syntax: prefgen [options]\n"
         "Options:\n"
         "-OGL:         select OpenGL as the graphics rendering interface\n"
         "-DX9:         select Direct3D 9 as the graphics rendering interface\n"
         "-DX8:         select Direct3D 8 as the graphics rendering interface\n"
         "-cursor_off:  use standard windows mouse cursor\n"
         "-cursor_on:   use custom zindara mouse cursor\n"
         "-lowres:      set the startup screen resolution to 640x480\n"
         "-fullscreen:  use fullscreen mode\n"
         "-windowed:    use windowed mode\n"
         "-show_fps:    show frames/sec perf meter\n"
         "-hide_fps:    do not show frames/sec perf meter\n"
         "-force_sw_midi: force use of software-midi to play midi music\n"
         "-allow_hw_midi: allow use of midi hardware to play midi music, if it exists\n"
         "-NoOverride:  ignore new setting specifications if saved options file exists\n"
         "-save:        save settings to '"
      << "useropt"
      << "' file (default)\n"
         "-uninstall_activex: uninstall zindara activex control\n";
}
