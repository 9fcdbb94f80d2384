#include "settings/user_settings.h"

#include <cstring>
#include <filesystem>

#include <gtest/gtest.h>

#include "settings/general_format.h"
#include "settings/search_path.h"
#include "support/saved_options.h"
#include "support/scratch_dir.h"
#include "support/system.h"

namespace {

// The record's data fields, to compare with saved options in one line.
SavedOptions fields_of(const UserSettings& s) {
  SavedOptions o;
  o.sfx = s._sfx;
  o.music = s._music;
  o.chat = s._chat;
  o.sfx_vol = s._sfx_vol;
  o.music_vol = s._music_vol;
  o.driver = static_cast<std::uint8_t>(s._driver);
  o.res = static_cast<std::uint8_t>(s._res);
  o.stype = static_cast<std::uint8_t>(s._stype);
  o.cursor = s._custom_mousecursor_enabled;
  o.windowed = s._bUseWindowedMode;
  o.fps = s._bShowFpsMeter;
  o.sw_midi = s._bForceSWMidi;
  o.chat_sounds = s._zind_chat_sounds;
  return o;
}

// Every field, volumes bit for bit, in one line.
std::string snapshot(const SavedOptions& o) {
  std::uint32_t sfx_bits, music_bits;
  std::memcpy(&sfx_bits, &o.sfx_vol, 4);
  std::memcpy(&music_bits, &o.music_vol, 4);
  return "sfx=" + std::to_string(o.sfx) + " music=" + std::to_string(o.music) +
         " chat=" + std::to_string(o.chat) + " sfx_vol=" + std::to_string(sfx_bits) +
         " music_vol=" + std::to_string(music_bits) + " driver=" + std::to_string(o.driver) +
         " res=" + std::to_string(o.res) + " stype=" + std::to_string(o.stype) +
         " cursor=" + std::to_string(o.cursor) + " windowed=" + std::to_string(o.windowed) +
         " fps=" + std::to_string(o.fps) + " sw_midi=" + std::to_string(o.sw_midi) +
         " chat_sounds=" + std::to_string(o.chat_sounds);
}

std::string snapshot(const UserSettings& s) { return snapshot(fields_of(s)); }

float float_from_bits(std::uint32_t bits) {
  float value;
  std::memcpy(&value, &bits, 4);
  return value;
}

// Options that differ from the defaults in every field; the volumes' bytes
// hold a line feed, a carriage return, a blank, 0x1A and a tab.
SavedOptions unusual_options() {
  SavedOptions o;
  o.sfx = o.music = o.chat = false;
  o.sfx_vol = float_from_bits(0x3F0A0D1A);
  o.music_vol = float_from_bits(0x3E200920);
  o.driver = 3;
  o.res = 2;
  o.stype = 1;
  o.cursor = o.sw_midi = o.chat_sounds = false;
  o.windowed = o.fps = true;
  return o;
}

// A scratch directory with two search directories, "first" and "second".
class UserSettingsTest : public ::testing::Test {
 protected:
  UserSettingsTest() {
    make_dirs(first());
    make_dirs(second());
    env_.unset("CONFIG_CONFIG");
    env_.set("CONFIG_PATH", first() + " " + second());
    forget_config_search_path();
  }
  ~UserSettingsTest() override {
    delete loaded_;
    forget_config_search_path();
  }

  std::string first() const { return dir_.file("first"); }
  std::string second() const { return dir_.file("second"); }
  std::string trace() const { return read_bytes(dir_.file("readlog.txt")); }

  UserSettings& load() {
    delete loaded_;
    CaptureStderr err;
    loaded_ = &UserSettings::get_instance();
    stderr_ = err.text();
    return *loaded_;
  }

  ScratchDir dir_;
  ScopedEnv env_;
  UserSettings* loaded_ = nullptr;
  std::string stderr_;
};

TEST_F(UserSettingsTest, DefaultsWithoutSavedFile) {
  const UserSettings& s = load();
  EXPECT_EQ(snapshot(s), snapshot(SavedOptions{}));
  EXPECT_FALSE(s._bSavedFileFound);
  EXPECT_EQ(s._filename.get_fullpath(), "useropt");
  EXPECT_TRUE(s._filename.is_binary());
  EXPECT_FALSE(std::filesystem::exists(dir_.file("readlog.txt")));
  EXPECT_EQ(&UserSettings::get_instance(), &s);
}

TEST_F(UserSettingsTest, ReadsCurrentVersionWithFullTrace) {
  const std::string path = first() + "/useropt";
  SavedOptions options = unusual_options();
  std::string bytes = options.bytes();
  bytes[14] = 2;  // any nonzero byte is true
  options.sfx = true;
  write_bytes(path, bytes);

  const UserSettings& s = load();
  EXPECT_EQ(snapshot(s), snapshot(options));
  EXPECT_TRUE(s._bSavedFileFound);
  EXPECT_EQ(s._filename.get_fullpath(), path);
  EXPECT_EQ(trace(), "Trying to read standard file: " + path + "\n" +
                         "opened standard file for reading: " + path + "\n" +
                         "major: 1\nminor: 5\ncase 1\n_sfx: 1\n_music: 0\n_chat: 0\n"
                         "_sfx_vol: " +
                         format_general(options.sfx_vol) + "\n" +
                         "_music_vol: " + format_general(options.music_vol) + "\n" +
                         "_driver: 3\n_res: 2\n_stype: 1\n_custom_mousecursor_enabled: 0\n"
                         "_bUseWindowedMode: 1\n_bShowFpsMeter: 1\n_bForceSWMidi: 0\n"
                         "_zind_chat_sounds: 0\n");
}

TEST_F(UserSettingsTest, OlderAndOtherVersions) {
  const std::string full = unusual_options().bytes();
  auto with_version = [&](int major, int minor, std::size_t length) {
    std::string bytes = full.substr(0, length);
    bytes[12] = static_cast<char>(major);
    bytes[13] = static_cast<char>(minor);
    return bytes;
  };
  SavedOptions minor0 = unusual_options();
  minor0.cursor = minor0.sw_midi = minor0.chat_sounds = true;
  minor0.windowed = minor0.fps = false;
  SavedOptions minor3 = unusual_options();
  minor3.sw_midi = minor3.chat_sounds = true;
  SavedOptions version0;
  version0.sfx = version0.music = false;
  version0.driver = 1;
  version0.res = 4;
  version0.stype = 2;
  SavedOptions fallback;
  fallback.driver = 4;
  fallback.res = 5;
  fallback.stype = 3;

  struct Case {
    const char* label;
    std::string bytes;
    SavedOptions expected;
    const char* trace_tail;  // the trace after its two opening lines
  } cases[] = {
      {"1.0", with_version(1, 0, 28), minor0,
       "_custom_mousecursor_enabled: 1\n_bUseWindowedMode: 0\n_bShowFpsMeter: 0\n"
       "_bForceSWMidi: 1\n_zind_chat_sounds: 1\n"},
      {"1.3", with_version(1, 3, 31), minor3,
       "_custom_mousecursor_enabled: 0\n_bUseWindowedMode: 1\n_bShowFpsMeter: 1\n"
       "_bForceSWMidi: 1\n_zind_chat_sounds: 1\n"},
      {"1.9 with extra bytes", with_version(1, 9, 33) + "trailing", unusual_options(),
       "_zind_chat_sounds: 0\n"},
      {"0", std::string("UserSettings\x00\x07\x00\x01\x04\x02", 18), version0,
       "major: 0\nminor: 7\ncase 0\n_sfx: 0\n_driver: 1\n_res: 4\n_stype: 2\n_sfx_vol: 1\n"},
      {"7", with_version(7, 1, 33), fallback, "major: 7\nminor: 1\ndefault\n"},
  };
  for (const Case& c : cases) {
    const std::string path = first() + "/useropt";
    write_bytes(path, c.bytes);
    const UserSettings& s = load();
    EXPECT_EQ(snapshot(s), snapshot(c.expected)) << c.label;
    const std::string log = trace();
    EXPECT_EQ(log.substr(log.size() - std::min(log.size(), std::strlen(c.trace_tail))),
              c.trace_tail)
        << c.label;
  }
}

TEST_F(UserSettingsTest, Version0TracesOneSoundLine) {
  write_bytes(first() + "/useropt", std::string("UserSettings\x00\x00\x01\x00\x00\x00", 18));
  load();
  EXPECT_NE(trace().find("_sfx: 1\n"), std::string::npos);
  EXPECT_EQ(trace().find("_music: "), std::string::npos);
}

TEST_F(UserSettingsTest, InvalidHeaderKeepsTheSwitches) {
  SavedOptions earlier;
  earlier.windowed = earlier.fps = true;
  earlier.cursor = earlier.sw_midi = earlier.chat_sounds = false;
  earlier.sfx_vol = 0.5f;
  write_bytes(second() + "/useropt", earlier.bytes());
  std::string wrong_case = unusual_options().bytes();
  wrong_case[0] = 'u';
  write_bytes(first() + "/useropt", wrong_case);

  const UserSettings& s = load();
  SavedOptions expected = earlier;
  expected.sfx_vol = 1.0f;
  expected.driver = 4;
  expected.res = 5;
  expected.stype = 3;
  EXPECT_EQ(snapshot(s), snapshot(expected));
  EXPECT_NE(trace().find("Invalid Header: userSettings\n"), std::string::npos);
}

TEST_F(UserSettingsTest, EarliestDirectoryWinsAndLeavesTheTrace) {
  SavedOptions later = unusual_options();
  write_bytes(second() + "/useropt", later.bytes());
  // A version 0 file carries no window mode: the later file's value stays.
  write_bytes(first() + "/useropt", std::string("UserSettings\x00\x00\x01\x00\x03\x00", 18));

  const UserSettings& s = load();
  EXPECT_EQ(s._driver, 0);
  EXPECT_EQ(s._res, 3);
  EXPECT_TRUE(s._bUseWindowedMode);
  EXPECT_EQ(s._filename.get_fullpath(), first() + "/useropt");
  EXPECT_EQ(trace().find(second()), std::string::npos);
}

// Every prefix of a file: reading stops where the data ends, and the
// fields not reached keep their earlier values.
TEST_F(UserSettingsTest, FileEndingEarly) {
  const SavedOptions file = unusual_options();
  const std::string bytes = file.bytes();
  struct Field {
    std::size_t end;
    void (*take)(SavedOptions&, const SavedOptions&);
    std::string trace;
  };
  const std::string sfx_vol = format_general(file.sfx_vol);
  const std::string music_vol = format_general(file.music_vol);
  const Field fields[] = {
      {13, [](SavedOptions&, const SavedOptions&) {}, "major: 1\n"},
      {14, [](SavedOptions&, const SavedOptions&) {}, "minor: 5\ncase 1\n"},
      {15, [](SavedOptions& o, const SavedOptions& f) { o.sfx = f.sfx; }, "_sfx: 0\n"},
      {16, [](SavedOptions& o, const SavedOptions& f) { o.music = f.music; }, "_music: 0\n"},
      {17, [](SavedOptions& o, const SavedOptions& f) { o.chat = f.chat; }, "_chat: 0\n"},
      {21, [](SavedOptions& o, const SavedOptions& f) { o.sfx_vol = f.sfx_vol; },
       "_sfx_vol: " + sfx_vol + "\n"},
      {25, [](SavedOptions& o, const SavedOptions& f) { o.music_vol = f.music_vol; },
       "_music_vol: " + music_vol + "\n"},
      {26, [](SavedOptions& o, const SavedOptions& f) { o.driver = f.driver; }, "_driver: 3\n"},
      {27, [](SavedOptions& o, const SavedOptions& f) { o.res = f.res; }, "_res: 2\n"},
      {28, [](SavedOptions& o, const SavedOptions& f) { o.stype = f.stype; }, "_stype: 1\n"},
      {29, [](SavedOptions& o, const SavedOptions& f) { o.cursor = f.cursor; },
       "_custom_mousecursor_enabled: 0\n"},
      {30, [](SavedOptions& o, const SavedOptions& f) { o.windowed = f.windowed; },
       "_bUseWindowedMode: 1\n"},
      {31, [](SavedOptions& o, const SavedOptions& f) { o.fps = f.fps; }, "_bShowFpsMeter: 1\n"},
      {32, [](SavedOptions& o, const SavedOptions& f) { o.sw_midi = f.sw_midi; },
       "_bForceSWMidi: 0\n"},
      {33, [](SavedOptions& o, const SavedOptions& f) { o.chat_sounds = f.chat_sounds; },
       "_zind_chat_sounds: 0\n"},
  };
  const std::string path = first() + "/useropt";
  const std::string opening = "Trying to read standard file: " + path +
                              "\nopened standard file for reading: " + path + "\n";

  for (std::size_t length = 0; length <= bytes.size(); ++length) {
    write_bytes(path, bytes.substr(0, length));
    const UserSettings& s = load();
    SavedOptions expected;
    std::string expected_trace = opening;
    if (length < 12) {
      expected.driver = 4;
      expected.res = 5;
      expected.stype = 3;
      expected_trace += "Invalid Header: " + bytes.substr(0, length) + "\n";
    } else {
      for (const Field& field : fields) {
        if (field.end > length) break;
        field.take(expected, file);
        expected_trace += field.trace;
      }
    }
    EXPECT_EQ(snapshot(s), snapshot(expected)) << "length " << length;
    EXPECT_EQ(trace(), expected_trace) << "length " << length;
    EXPECT_TRUE(s._bSavedFileFound);
  }
}

TEST_F(UserSettingsTest, UnopenableFileFallsBackToTheFirstDirectory) {
  const std::string unopenable_path = dir_.file("unopenable");
  const UnopenableFile unopenable(unopenable_path);
  ASSERT_TRUE(unopenable.made());
  write_bytes(first() + "/useropt", unusual_options().bytes());
  UserSettings& s = load();
  std::filesystem::remove(dir_.file("readlog.txt"));

  CaptureStderr err;
  s._driver = 0;
  s.read_file(Filename::binary_filename(unopenable_path));
  const std::string auxiliary = first() + "/useropt";
  EXPECT_EQ(err.text(), "f2 = " + auxiliary + "\n");
  EXPECT_EQ(s._driver, 3);  // the data came from the auxiliary file
  EXPECT_EQ(s._filename.get_fullpath(), unopenable_path);
  EXPECT_EQ(trace().rfind("Trying to read standard file: " + unopenable_path +
                              "\nTrying to read auxiliary file: " + auxiliary +
                              "\nopened auxiliary file for reading: " + auxiliary + "\nmajor: 1\n",
                          0),
            0u);
}

TEST_F(UserSettingsTest, UnopenableFileWithoutAuxiliaryChangesNothing) {
  const UnopenableFile unopenable(first() + "/useropt");
  ASSERT_TRUE(unopenable.made());
  const UserSettings& s = load();
  EXPECT_EQ(stderr_, "f2 = " + first() + "/useropt\n");
  EXPECT_EQ(snapshot(s), snapshot(SavedOptions{}));
  EXPECT_EQ(s._filename.get_fullpath(), "");
  EXPECT_TRUE(s._bSavedFileFound);
  EXPECT_EQ(trace().substr(trace().rfind('\n', trace().size() - 2) + 1), "no file could be read\n");
}

TEST_F(UserSettingsTest, SaveWritesVersion15ToTheFirstDirectoryAndReadsBack) {
  UserSettings& s = load();
  const SavedOptions wanted = unusual_options();
  s._sfx = s._music = s._chat = false;
  s._sfx_vol = wanted.sfx_vol;
  s._music_vol = wanted.music_vol;
  s._driver = 256 + 3;  // only the low 8 bits travel
  s._res = 2;
  s._stype = 1;
  s._custom_mousecursor_enabled = s._bForceSWMidi = s._zind_chat_sounds = false;
  s._bUseWindowedMode = s._bShowFpsMeter = true;
  CaptureStderr err;
  s.save();
  EXPECT_EQ(err.text(), "");
  EXPECT_EQ(read_bytes(first() + "/useropt"), wanted.bytes());
  EXPECT_EQ(s._filename.get_fullpath(), "useropt");

  EXPECT_EQ(snapshot(load()), snapshot(wanted));
  // Nothing but the file itself is left in the directory.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(first()),
                          std::filesystem::directory_iterator()),
            1);
}

TEST_F(UserSettingsTest, SaveFallsBackToTheRecordsFileThenReports) {
  env_.set("CONFIG_PATH", dir_.file("missing"));
  forget_config_search_path();
  UserSettings& s = load();
  s.save();
  EXPECT_EQ(read_bytes(dir_.file("useropt")), SavedOptions{}.bytes());

  std::filesystem::remove(dir_.file("useropt"));
  make_dirs(dir_.file("useropt"));
  CaptureStderr err;
  s.save();
  EXPECT_EQ(err.text(),
            "could not open 'useropt' or '" + dir_.file("missing") + "/useropt' for writing\n");
}

TEST_F(UserSettingsTest, SaveWithoutSearchDirectoryGoesToTheRecordsFile) {
  env_.set("CONFIG_PATH", "   ");
  forget_config_search_path();
  UserSettings& s = load();
  EXPECT_EQ(stderr_, "");
  CaptureStderr err;
  s.save();
  EXPECT_EQ(err.text(), "");
  EXPECT_EQ(read_bytes(dir_.file("useropt")), SavedOptions{}.bytes());
}

}  // namespace
