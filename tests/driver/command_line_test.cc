#include "driver/command_line.h"

#include <gtest/gtest.h>

#include "support/scratch_dir.h"

TEST(CompareNocase, FoldsAsciiLettersAndOrdersByLength) {
  struct Case {
    const char* a;
    const char* b;
    int expected;
  } cases[] = {
      {"stdout", "STDOUT", 0},
      {"DX9", "dx9", 0},
      {"", "", 0},
      {"std", "stdout", -1},
      {"stdout2", "stdout", 1},
      {"a", "B", -1},
      {"b", "A", 1},
      {"_", "a", 1},        // '_' (0x5F) sorts after 'A' (0x41) once folded
      {"\xE9", "\xC9", 1},  // only a to z fold
  };
  for (const Case& c : cases) {
    EXPECT_EQ(compare_nocase(c.a, c.b), c.expected) << c.a << " vs " << c.b;
  }
}

TEST(ScanArguments, OptionsSetTheirChoices) {
  struct Case {
    std::vector<std::string> arguments;
    std::int32_t graphics_choice;
    bool save_unless_stdout, save_requested, low_resolution, windowed_given, windowed_value;
  } cases[] = {
      {{}, 4, false, false, false, false, false},
      {{"-OGL"}, 0, true, false, false, false, false},
      {{"/dx9"}, 3, true, false, false, false, false},
      {{"-DX8"}, 5, true, false, false, false, false},
      {{"-dx7"}, 5, true, false, false, false, false},
      {{"-Default"}, 2, true, false, false, false, false},
      {{"-OGL", "-DX9"}, 3, true, false, false, false, false},
      {{"-save"}, 4, false, true, false, false, false},
      {{"-lowres"}, 4, false, true, true, false, false},
      {{"-windowed"}, 4, false, true, true, true, true},
      // The later window mode wins; the resolution flag stays set.
      {{"-windowed", "-fullscreen"}, 4, false, true, true, true, false},
      {{"-cursor_off"}, 4, true, false, false, false, false},
  };
  for (const Case& c : cases) {
    CaptureStderr err;
    const CommandLineChoices choices = scan_arguments(c.arguments);
    const std::string label = c.arguments.empty() ? "(none)" : c.arguments.front();
    EXPECT_EQ(choices.graphics_choice, c.graphics_choice) << label;
    EXPECT_EQ(choices.save_unless_stdout, c.save_unless_stdout) << label;
    EXPECT_EQ(choices.save_requested, c.save_requested) << label;
    EXPECT_EQ(choices.low_resolution, c.low_resolution) << label;
    EXPECT_EQ(choices.windowed_given, c.windowed_given) << label;
    EXPECT_EQ(choices.windowed_value, c.windowed_value) << label;
    EXPECT_FALSE(choices.invalid_argument) << label;
    EXPECT_EQ(err.text(), "");
  }
}

TEST(ScanArguments, SwitchOptions) {
  CaptureStderr err;
  const CommandLineChoices on =
      scan_arguments({"-show_fps", "-force_sw_midi", "-cursor_on", "-STDOUT", "-noOVERRIDE",
                      "/pickbestres", "-uninstall_activex"});
  EXPECT_TRUE(on.fps_meter_given && on.fps_meter_value);
  EXPECT_TRUE(on.midi_given && on.sw_midi_value);
  EXPECT_TRUE(on.cursor_given && on.cursor_value);
  EXPECT_TRUE(on.write_stdout && on.no_override && on.pick_best_res && on.uninstall_requested);
  EXPECT_TRUE(on.save_requested);

  const CommandLineChoices off = scan_arguments({"-hide_fps", "-allow_hw_midi", "-cursor_off"});
  EXPECT_TRUE(off.fps_meter_given && !off.fps_meter_value);
  EXPECT_TRUE(off.midi_given && !off.sw_midi_value);
  EXPECT_TRUE(off.cursor_given && !off.cursor_value);
  EXPECT_EQ(err.text(), "");
}

TEST(ScanArguments, ReportsEveryInvalidArgumentWhole) {
  CaptureStderr err;
  const CommandLineChoices choices =
      scan_arguments({"-", "/", "", "stdout", "--stdout", "-stdout2", "-std", "-windowed", "-x"});
  EXPECT_TRUE(choices.invalid_argument);
  EXPECT_TRUE(choices.windowed_given);  // valid options beside them still scan
  EXPECT_EQ(err.text(),
            "Invalid argument: -\n"
            "Invalid argument: /\n"
            "Invalid argument: \n"
            "Invalid argument: stdout\n"
            "Invalid argument: --stdout\n"
            "Invalid argument: -stdout2\n"
            "Invalid argument: -std\n"
            "Invalid argument: -x\n");
}

TEST(Usage, ListsTheDocumentedOptions) {
  std::ostringstream out;
  write_usage(out);
  EXPECT_EQ(out.str(),
            "Syntax: prefgen [options]\n"
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
            "-save:        save settings to 'useropt' file (default)\n"
            "-uninstall_activex: uninstall zindara activex control\n");
}
