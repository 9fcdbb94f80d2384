#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

/// What the command line asks for.
struct CommandLineChoices {
  /// GraphicsApi code chosen; 4 when no graphics option was given.
  std::int32_t graphics_choice = 4;
  /// A graphics or cursor option was given: save unless -stdout was too.
  bool save_unless_stdout = false;
  bool save_requested = false;
  bool no_override = false;
  /// Set the resolution code to 0 (640 by 480).
  bool low_resolution = false;
  bool windowed_given = false;
  bool windowed_value = false;
  bool fps_meter_given = false;
  bool fps_meter_value = false;
  bool midi_given = false;
  bool sw_midi_value = false;
  bool cursor_given = false;
  bool cursor_value = false;
  bool write_stdout = false;
  bool invalid_argument = false;
  bool uninstall_requested = false;
  bool pick_best_res = false;
};

/// Compares two texts with ASCII letters folded to upper case: -1, 0 or 1.
/// When one text is the other's start, the shorter is the smaller.
int compare_nocase(const std::string& a, const std::string& b);

/// Scans the arguments that follow the program's name. Each argument that
/// is not an option ("-" or "/" and a word of the option table, in any
/// letter case) is reported on standard error at once.
CommandLineChoices scan_arguments(const std::vector<std::string>& arguments);

/// Writes the usage text.
void write_usage(std::ostream& out);
