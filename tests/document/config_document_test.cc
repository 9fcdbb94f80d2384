#include "document/config_document.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "document/constant_settings.h"
#include "settings/search_path.h"
#include "settings/user_settings.h"
#include "support/scratch_dir.h"

namespace {

const char kDefaultTail[] =
    "\n"
    "cursor-filename zindmono.cur\n"
    "\n"
    "load-display vexadx9\n"
    "\n"
    "fullscreen #t\n"
    "\n"
    "#\n"
    "# audio related options\n"
    "#\n"
    "\n"
    "# load the loaders\n"
    "audio-loader mp3\n"
    "audio-loader midi\n"
    "audio-loader wav\n"
    "audio-software-midi #t\n"
    "\n"
    "# turn sfx on\n"
    "audio-sfx-active #t\n"
    "# turn music on\n"
    "audio-music-active #t\n"
    "\n"
    "audio-master-sfx-volume 1\n"
    "audio-master-music-volume 1\n"
    "\n"
    "#\n"
    "# display resolution\n"
    "#\n"
    "\n"
    "win-size 800 600\n"
    "\n"
    "#\n"
    "# server type\n"
    "#\n"
    "\n"
    "server-type prod\n";

// A record with the defaults, in a scratch directory without xrc or saved
// options; each test changes the fields it is about.
class ConfigDocumentTest : public ::testing::Test {
 protected:
  ConfigDocumentTest() {
    env_.set("CONFIG_PATH", dir_.path());
    env_.unset("CONFIG_CONFIG");
    forget_config_search_path();
    record_ = &UserSettings::get_instance();
  }
  ~ConfigDocumentTest() override {
    delete record_;
    forget_config_search_path();
  }

  // The document after the constant block.
  std::string tail(bool pick_best_res = false) {
    std::ostringstream constant, out;
    write_constant_settings(constant);
    CaptureStderr err;
    write_config_document(out, pick_best_res);
    stderr_ = err.text();
    EXPECT_EQ(out.str().rfind(constant.str(), 0), 0u);
    return out.str().substr(constant.str().size());
  }

  // The tail with one line replaced.
  static std::string tail_with(const std::string& from, const std::string& to) {
    std::string text = kDefaultTail;
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return text.replace(at, from.size(), to);
  }

  ScratchDir dir_;
  ScopedEnv env_;
  UserSettings* record_;
  std::string stderr_;
};

TEST_F(ConfigDocumentTest, DefaultRecord) {
  EXPECT_EQ(tail(), kDefaultTail);
  EXPECT_EQ(stderr_, "");
}

TEST_F(ConfigDocumentTest, FieldsChangeTheirLines) {
  struct Case {
    const char* label;
    void (*change)(UserSettings&);
    std::string from, to;
  } cases[] = {
      {"OpenGL", [](UserSettings& s) { s._driver = 0; }, "vexadx9", "vexagl"},
      {"Direct3D 8", [](UserSettings& s) { s._driver = 1; }, "vexadx9", "vexadx8"},
      {"Direct3D 9", [](UserSettings& s) { s._driver = 3; }, "vexadx9", "vexadx9"},
      {"Direct3D 8 by option", [](UserSettings& s) { s._driver = 5; }, "vexadx9", "vexadx8"},
      {"no interface", [](UserSettings& s) { s._driver = 4; }, "load-display vexadx9\n", ""},
      {"unknown interface", [](UserSettings& s) { s._driver = 200; }, "load-display vexadx9\n", ""},
      {"windowed", [](UserSettings& s) { s._bUseWindowedMode = true; }, "fullscreen #t",
       "fullscreen #f"},
      {"fps meter", [](UserSettings& s) { s._bShowFpsMeter = true; }, "\nload-display",
       "\nshow-frame-rate-meter #t\n\nload-display"},
      {"no custom cursor", [](UserSettings& s) { s._custom_mousecursor_enabled = false; },
       "cursor-filename zindmono.cur\n\n", ""},
      {"hardware midi", [](UserSettings& s) { s._bForceSWMidi = false; }, "audio-software-midi #t",
       "audio-software-midi #f"},
      {"sfx off", [](UserSettings& s) { s._sfx = false; }, "# turn sfx on\naudio-sfx-active #t",
       "# turn sfx off\naudio-sfx-active #f"},
      {"music off", [](UserSettings& s) { s._music = false; },
       "# turn music on\naudio-music-active #t", "# turn music off\naudio-music-active #f"},
      {"volumes",
       [](UserSettings& s) {
         s._sfx_vol = 0.5f;
         s._music_vol = 0.8f;
       },
       "volume 1\naudio-master-music-volume 1", "volume 0.5\naudio-master-music-volume 0.8"},
      {"third and tiny",
       [](UserSettings& s) {
         s._sfx_vol = 1.0f / 3;
         s._music_vol = 0.00001f;
       },
       "volume 1\naudio-master-music-volume 1", "volume 0.333333\naudio-master-music-volume 1e-05"},
      {"not a number",
       [](UserSettings& s) {
         s._sfx_vol = std::numeric_limits<float>::quiet_NaN();
         s._music_vol = -std::numeric_limits<float>::infinity();
       },
       "volume 1\naudio-master-music-volume 1", "volume 1\naudio-master-music-volume 1"},
      {"resolution 0", [](UserSettings& s) { s._res = 0; }, "800 600", "640 480"},
      {"resolution 2", [](UserSettings& s) { s._res = 2; }, "800 600", "1024 768"},
      {"resolution 3", [](UserSettings& s) { s._res = 3; }, "800 600", "1280 1024"},
      {"resolution 4", [](UserSettings& s) { s._res = 4; }, "800 600", "1600 1200"},
      {"resolution 5", [](UserSettings& s) { s._res = 5; }, "800 600", "800 600"},
      {"resolution -1", [](UserSettings& s) { s._res = -1; }, "800 600", "800 600"},
      {"dev server", [](UserSettings& s) { s._stype = 1; }, "prod", "dev"},
      {"debug server", [](UserSettings& s) { s._stype = 2; }, "prod", "debug"},
  };
  for (const Case& c : cases) {
    c.change(*record_);
    EXPECT_EQ(tail(), tail_with(c.from, c.to)) << c.label;
    EXPECT_EQ(stderr_, "") << c.label;
    delete record_;
    record_ = &UserSettings::get_instance();
  }
}

TEST_F(ConfigDocumentTest, NoInterfaceKeepsTheEmptyLine) {
  record_->_driver = 4;
  EXPECT_NE(tail().find("cursor-filename zindmono.cur\n\n\nfullscreen #t\n"), std::string::npos);
}

TEST_F(ConfigDocumentTest, InvalidServerTypeReportsAndWritesProduction) {
  for (std::int32_t stype : {3, 255}) {
    record_->_stype = stype;
    EXPECT_EQ(tail(), kDefaultTail);
    EXPECT_EQ(stderr_, "There is an error in the settings file w.r.t. the server type\n");
  }
}

TEST_F(ConfigDocumentTest, PickBestResolutionOnlyWithoutSavedFile) {
  EXPECT_EQ(tail(true),
            tail_with("win-size 800 600\n\n", "win-size 800 600\n\npick-best-screenres #t\n\n"));
  record_->_bSavedFileFound = true;
  EXPECT_EQ(tail(true), kDefaultTail);
}

TEST(ConstantSettings, NinetyFixedLines) {
  std::ostringstream out;
  write_constant_settings(out);
  const std::string text = out.str();
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(text.substr(start, end - start));
  }
  ASSERT_EQ(start, text.size());  // ends with a newline
  ASSERT_EQ(lines.size(), 90u);
  EXPECT_EQ(lines[0], "#");
  EXPECT_EQ(lines[89], "prefer-parasite-buffer 0");
  EXPECT_EQ(lines[40],
            "text-never-break-before ,.-:?!;\xE3\x80\x82\xEF\xBC\x9F\xEF\xBC\x81\xE3\x80\x81");
  EXPECT_EQ(lines[45],
            "expected-ssl-server /O=Corvane Enterprises/OU=CVNI/CN=account.qa.zindara.example.net");
  EXPECT_EQ(lines[50],
            "expected-ssl-server /O=Corvane Enterprises/OU=CVNI/CN=game.zindara.example.net");
  EXPECT_EQ(lines[69], "server-version sv1.0.38.55.test");
  EXPECT_EQ(lines[70], "server-version-suffix ");
  EXPECT_EQ(lines[71], "required-login playToken");
}

}  // namespace
