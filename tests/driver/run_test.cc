#include "driver/run.h"

#include <gtest/gtest.h>

#include "fakes/recording_registry.h"
#include "platform/display_record.h"
#include "settings/search_path.h"
#include "settings/user_settings.h"
#include "support/saved_options.h"
#include "support/scratch_dir.h"

namespace {

// A run in a scratch directory whose "config" folder is the search path, with
// the product key present in a recording registry.
class RunTest : public ::testing::Test {
 protected:
  RunTest() {
    make_dirs(config_dir());
    env_.set("CONFIG_PATH", config_dir());
    env_.unset("CONFIG_CONFIG");
    forget_config_search_path();
    registry_.add_key(kProductKeyPath);
  }

  ~RunTest() override {
    delete &UserSettings::get_instance();
    forget_config_search_path();
  }

  std::string config_dir() const { return dir_.file("config"); }
  std::string saved_path() const { return config_dir() + "/useropt"; }
  void save_options(const SavedOptions& options) { write_bytes(saved_path(), options.bytes()); }

  int run_with(const std::vector<std::string>& arguments) {
    CaptureStderr err;
    std::ostringstream out;
    const int status = run(arguments, out, platform_);
    document_ = out.str();
    stderr_ = err.text();
    return status;
  }

  UserSettings& record() { return UserSettings::get_instance(); }

  ScratchDir dir_;
  ScopedEnv env_;
  RecordingRegistry registry_;
  int probe_runs_ = 0;
  std::vector<std::string> removals_;
  bool removal_result_ = true;
  Platform platform_{registry_, [this](RegistryKey) { ++probe_runs_; },
                     [this](const char* file, const char* class_id) {
                       removals_.push_back(std::string(file) + " " + class_id);
                       return removal_result_;
                     }};
  std::string document_;
  std::string stderr_;
};

TEST_F(RunTest, NoArgumentsLoadsButSavesAndPrintsNothing) {
  save_options(SavedOptions{});
  write_bytes(dir_.file("readlog.txt"), "old");
  EXPECT_EQ(run_with({}), 0);
  EXPECT_EQ(document_, "");
  EXPECT_TRUE(registry_.calls.empty());
  EXPECT_NE(read_bytes(dir_.file("readlog.txt")), "old");  // the saved file was read
}

TEST_F(RunTest, WhichRunsSave) {
  struct Case {
    std::vector<std::string> arguments;
    bool saves;
  } cases[] = {
      {{"-save"}, true},
      {{"-lowres"}, true},
      {{"-fullscreen"}, true},
      {{"-windowed"}, true},
      {{"-show_fps"}, true},
      {{"-hide_fps"}, true},
      {{"-force_sw_midi"}, true},
      {{"-allow_hw_midi"}, true},
      {{"-DX9"}, true},
      {{"-cursor_on"}, true},
      {{"-DX9", "-stdout"}, false},
      {{"-cursor_off", "-stdout"}, false},
      {{"-stdout"}, false},
      {{"-NoOverride"}, false},
      {{"-pickbestres"}, false},
      {{"-windowed", "-stdout"}, true},
  };
  for (const Case& c : cases) {
    std::remove(saved_path().c_str());
    delete &UserSettings::get_instance();
    run_with(c.arguments);
    EXPECT_EQ(!read_bytes(saved_path()).empty(), c.saves) << c.arguments.front();
  }
}

TEST_F(RunTest, SavedFileHoldsEveryAppliedChoice) {
  EXPECT_EQ(
      run_with({"-DX9", "-windowed", "-show_fps", "-allow_hw_midi", "-cursor_off", "-stdout"}), 0);
  SavedOptions expected;
  expected.driver = 3;
  expected.res = 0;
  expected.windowed = true;
  expected.fps = true;
  expected.sw_midi = false;
  // The cursor option asks for no save beside -stdout, but the save that
  // -windowed asks for carries it.
  expected.cursor = false;
  EXPECT_EQ(read_bytes(saved_path()), expected.bytes());
}

TEST_F(RunTest, NoOverrideKeepsSavedChoices) {
  struct Case {
    const char* label;
    bool saved;
    std::uint8_t saved_driver;
    std::vector<std::string> arguments;
    std::int32_t driver;
    bool cursor;
    bool saves;
  } cases[] = {
      {"saved DX9 stays", true, 3, {"-NoOverride", "-OGL"}, 3, true, false},
      {"saved default is replaced", true, 2, {"-NoOverride", "-OGL"}, 0, true, false},
      {"no file: choice applies", false, 0, {"-NoOverride", "-OGL"}, 0, true, true},
      {"cursor never applies", true, 3, {"-NoOverride", "-cursor_off"}, 3, true, false},
      {"cursor never applies, no file", false, 0, {"-NoOverride", "-cursor_off"}, 2, true, true},
      {"save only without file", true, 3, {"-NoOverride", "-save"}, 3, true, false},
      {"without NoOverride all applies", true, 3, {"-OGL", "-cursor_off"}, 0, false, true},
  };
  for (const Case& c : cases) {
    std::remove(saved_path().c_str());
    delete &UserSettings::get_instance();
    std::string before;
    if (c.saved) {
      SavedOptions options;
      options.driver = c.saved_driver;
      save_options(options);
      before = read_bytes(saved_path());
    }
    EXPECT_EQ(run_with(c.arguments), 0) << c.label;
    EXPECT_EQ(record()._driver, c.driver) << c.label;
    EXPECT_EQ(record()._custom_mousecursor_enabled, c.cursor) << c.label;
    const std::string after = read_bytes(saved_path());
    if (c.saves) {
      EXPECT_EQ(after.size(), 33u) << c.label;
    } else {
      EXPECT_EQ(after, before) << c.label;
    }
  }
}

TEST_F(RunTest, NoOverrideStillShowsWindowModeInTheDocument) {
  save_options(SavedOptions{});
  const std::string before = read_bytes(saved_path());
  EXPECT_EQ(run_with({"-NoOverride", "-windowed", "-stdout"}), 0);
  EXPECT_NE(document_.find("fullscreen #f\n"), std::string::npos);
  EXPECT_NE(document_.find("win-size 640 480\n"), std::string::npos);
  EXPECT_EQ(read_bytes(saved_path()), before);
}

TEST_F(RunTest, InvalidArgumentEndsWithUsageAndChangesNothing) {
  save_options(SavedOptions{});
  const std::string before = read_bytes(saved_path());
  EXPECT_EQ(run_with({"-windowed", "-bogus", "-save", "-stdout", "-uninstall_activex", "x"}), 1);
  EXPECT_EQ(document_, "");
  EXPECT_EQ(read_bytes(saved_path()), before);
  EXPECT_TRUE(registry_.calls.empty());
  EXPECT_TRUE(removals_.empty());
  EXPECT_EQ(stderr_.rfind(
                "Invalid argument: -bogus\nInvalid argument: x\nSyntax: prefgen [options]\n", 0),
            0u);
  EXPECT_EQ(stderr_.find("Syntax:"), stderr_.rfind("Syntax:"));
}

TEST_F(RunTest, UninstallRunsOnlyTheRemoval) {
  for (bool removed : {true, false}) {
    removals_.clear();
    removal_result_ = removed;
    EXPECT_EQ(run_with({"-uninstall_activex", "-save", "-windowed", "-stdout"}), removed ? 0 : 1);
    EXPECT_EQ(removals_,
              std::vector<std::string>{"zdinst.dll 5E1F7A3C-9B24-4D86-A0C3-7F2B91D4E6A8"});
    EXPECT_EQ(document_, "");
    EXPECT_EQ(read_bytes(saved_path()), "");
    EXPECT_FALSE(record()._bUseWindowedMode);
  }
}

TEST_F(RunTest, StdoutWritesDocumentThenDisplayRecord) {
  EXPECT_EQ(run_with({"-DX9", "-windowed", "-stdout"}), 0);
  EXPECT_EQ(document_.rfind("#\n# constant config settings\n", 0), 0u);
  EXPECT_EQ(registry_.calls, (std::vector<std::string>{
                                 "open SOFTWARE\\Corvane\\Corvane Online\\Zindara write -> ok",
                                 "dword UsingWindowedMode 1", "string LastScreenSize \"640x480\" 7",
                                 "dword GfxApiUsed 10", "close"}));
  EXPECT_EQ(probe_runs_, 0);
}

TEST_F(RunTest, MissingProductKeyGivesStatus7AfterTheWholeDocument) {
  RecordingRegistry empty;
  Platform platform{empty, platform_.probe_opengl, platform_.remove_browser_control};
  std::ostringstream out;
  CaptureStderr err;
  EXPECT_EQ(run({"-stdout"}, out, platform), 7);
  EXPECT_EQ(out.str().size() - out.str().rfind("server-type prod\n"), 17u);
  EXPECT_EQ(err.text(), "");
}

TEST_F(RunTest, ProbeRunsForOpenGLOnly) {
  EXPECT_EQ(run_with({"-OGL", "-stdout"}), 0);
  EXPECT_EQ(probe_runs_, 1);
  EXPECT_NE(document_.find("load-display vexagl\n"), std::string::npos);
}

TEST_F(RunTest, PickBestResOnlyWithoutSavedFile) {
  run_with({"-pickbestres", "-stdout"});
  EXPECT_NE(document_.find("pick-best-screenres #t\n"), std::string::npos);
  delete &UserSettings::get_instance();
  save_options(SavedOptions{});
  run_with({"-pickbestres", "-stdout"});
  EXPECT_EQ(document_.find("pick-best-screenres"), std::string::npos);
}

}  // namespace
