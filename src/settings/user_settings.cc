#include "settings/user_settings.h"

#include <cstring>
#include <iostream>
#include <string>

#include "pathlib/dsearch_path.h"
#include "settings/general_format.h"
#include "settings/search_path.h"

namespace {

UserSettings* g_instance = nullptr;

const char kSavedFileName[] = "useropt";
const char kTraceFileName[] = "readlog.txt";
const char kHeaderWord[] = "UserSettings";
const std::size_t kHeaderSize = sizeof kHeaderWord - 1;

// Bytes from an input stream, one at a time; every byte value counts,
// whitespace included. Once the data has ended every read fails.
class ByteReader {
 public:
  explicit ByteReader(std::istream& in) : in_(in) {}

  bool read(std::uint8_t& byte) {
    const int next = in_.get();
    if (next == std::char_traits<char>::eof()) return false;
    byte = static_cast<std::uint8_t>(next);
    return true;
  }

  bool read_bool(bool& value) {
    std::uint8_t byte;
    if (!read(byte)) return false;
    value = byte != 0;
    return true;
  }

  bool read_code(std::int32_t& value) {
    std::uint8_t byte;
    if (!read(byte)) return false;
    value = byte;
    return true;
  }

  // IEEE-754 single precision, least significant byte first.
  bool read_float(float& value) {
    std::uint32_t bits = 0;
    for (int shift = 0; shift < 32; shift += 8) {
      std::uint8_t byte;
      if (!read(byte)) return false;
      bits |= static_cast<std::uint32_t>(byte) << shift;
    }
    std::memcpy(&value, &bits, sizeof value);
    return true;
  }

 private:
  std::istream& in_;
};

// The lines of readlog.txt: a label, a value and a line feed each. When the
// trace file could not be opened the lines go nowhere.
class Trace {
 public:
  explicit Trace(std::ostream& out) : out_(out) {}

  void line(const char* label, const std::string& value) { out_ << label << value << '\n'; }
  void line(const char* label, const Filename& value) { out_ << label << value << '\n'; }
  void line(const char* text) { out_ << text << '\n'; }
  void flag(const char* label, bool value) { line(label, std::string(value ? "1" : "0")); }
  void number(const char* label, std::int32_t value) { line(label, std::to_string(value)); }
  void volume(const char* label, float value) { line(label, format_general(value)); }

 private:
  std::ostream& out_;
};

void append_float(std::string& bytes, float value) {
  std::uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  for (int shift = 0; shift < 32; shift += 8) bytes += static_cast<char>((bits >> shift) & 0xFF);
}

// The record as a version 1.5 file: 33 bytes.
std::string serialize(const UserSettings& settings) {
  std::string bytes(kHeaderWord, kHeaderSize);
  bytes += '\x01';
  bytes += '\x05';
  bytes += static_cast<char>(settings._sfx);
  bytes += static_cast<char>(settings._music);
  bytes += static_cast<char>(settings._chat);
  append_float(bytes, settings._sfx_vol);
  append_float(bytes, settings._music_vol);
  bytes += static_cast<char>(settings._driver & 0xFF);
  bytes += static_cast<char>(settings._res & 0xFF);
  bytes += static_cast<char>(settings._stype & 0xFF);
  bytes += static_cast<char>(settings._custom_mousecursor_enabled);
  bytes += static_cast<char>(settings._bUseWindowedMode);
  bytes += static_cast<char>(settings._bShowFpsMeter);
  bytes += static_cast<char>(settings._bForceSWMidi);
  bytes += static_cast<char>(settings._zind_chat_sounds);
  return bytes;
}

// "<first directory of the search path>/useropt", or nothing when the path
// has no directory at all.
bool first_directory_file(Filename& file) {
  const DSearchPath search_path(get_config_search_path());
  if (search_path.get_num_directories() == 0) return false;
  file = Filename::binary_filename(search_path.get_directory(0) + "/" + kSavedFileName);
  return true;
}

}  // namespace

UserSettings& UserSettings::get_instance() {
  if (!g_instance) g_instance = new UserSettings();
  return *g_instance;
}

UserSettings::UserSettings() {
  apply_no_file_defaults();
  _bSavedFileFound = false;
  load_saved_files();
}

UserSettings::~UserSettings() {
  if (g_instance == this) g_instance = nullptr;
}

void UserSettings::apply_no_file_defaults() {
  _sfx = _music = _chat = true;
  _sfx_vol = _music_vol = 1.0f;
  _driver = 2;
  _res = 1;
  _stype = 0;
  _custom_mousecursor_enabled = true;
  _bUseWindowedMode = false;
  _bShowFpsMeter = false;
  _bForceSWMidi = true;
  _zind_chat_sounds = true;
}

void UserSettings::apply_fallback_set() {
  apply_no_file_defaults();
  apply_invalid_header_set();
}

void UserSettings::apply_invalid_header_set() {
  _sfx = _music = _chat = true;
  _sfx_vol = _music_vol = 1.0f;
  _driver = 4;
  _res = 5;
  _stype = 3;
}

void UserSettings::load_saved_files() {
  const DSearchPath search_path(get_config_search_path());
  DSearchPath::Results results;
  search_path.find_all_files(Filename(kSavedFileName), results);

  if (results.get_num_files() == 0) {
    _filename = Filename::binary_filename(kSavedFileName);
    return;
  }
  for (std::size_t i = results.get_num_files(); i-- > 0;) {
    Filename file = results.get_file(i);
    file.set_binary();
    read_file(file);
  }
  _bSavedFileFound = true;
}

void UserSettings::read_file(const Filename& file) {
  std::ofstream trace_file;
  Filename::binary_filename(kTraceFileName).open_write(trace_file, true);
  Trace trace(trace_file);

  trace.line("Trying to read standard file: ", file);
  std::ifstream in;
  if (file.open_read(in)) {
    trace.line("opened standard file for reading: ", file);
  } else {
    Filename auxiliary;
    if (!first_directory_file(auxiliary)) {
      trace.line("no file could be read");
      return;
    }
    std::cerr << "f2 = " << auxiliary << '\n';
    trace.line("Trying to read auxiliary file: ", auxiliary);
    if (!auxiliary.open_read(in)) {
      trace.line("no file could be read");
      return;
    }
    trace.line("opened auxiliary file for reading: ", auxiliary);
  }
  _filename = file;

  // A file may end anywhere: reading then stops, and every field not read
  // keeps the value it had.
  ByteReader reader(in);
  std::string header;
  std::uint8_t byte;
  while (header.size() < kHeaderSize && reader.read(byte)) header += static_cast<char>(byte);
  if (header != kHeaderWord) {
    trace.line("Invalid Header: ", header);
    apply_invalid_header_set();
    return;
  }

  std::int32_t major, minor;
  if (!reader.read_code(major)) return;
  trace.number("major: ", major);
  if (!reader.read_code(minor)) return;
  trace.number("minor: ", minor);

  switch (major) {
    case 0: {
      trace.line("case 0");
      bool sound;
      if (!reader.read_bool(sound)) return;
      _sfx = _music = sound;
      trace.flag("_sfx: ", _sfx);
      if (!reader.read_code(_driver)) return;
      trace.number("_driver: ", _driver);
      if (!reader.read_code(_res)) return;
      trace.number("_res: ", _res);
      if (!reader.read_code(_stype)) return;
      trace.number("_stype: ", _stype);
      _sfx_vol = _music_vol = 1.0f;
      trace.volume("_sfx_vol: ", _sfx_vol);
      _chat = _custom_mousecursor_enabled = true;
      break;
    }
    case 1: {
      trace.line("case 1");
      if (!reader.read_bool(_sfx)) return;
      trace.flag("_sfx: ", _sfx);
      if (!reader.read_bool(_music)) return;
      trace.flag("_music: ", _music);
      if (!reader.read_bool(_chat)) return;
      trace.flag("_chat: ", _chat);
      if (!reader.read_float(_sfx_vol)) return;
      trace.volume("_sfx_vol: ", _sfx_vol);
      if (!reader.read_float(_music_vol)) return;
      trace.volume("_music_vol: ", _music_vol);
      if (!reader.read_code(_driver)) return;
      trace.number("_driver: ", _driver);
      if (!reader.read_code(_res)) return;
      trace.number("_res: ", _res);
      if (!reader.read_code(_stype)) return;
      trace.number("_stype: ", _stype);

      // Each minor version added one switch; an older file gives the rest
      // their defaults.
      struct LaterField {
        bool UserSettings::*field;
        bool default_value;
        const char* label;
      };
      static const LaterField kLaterFields[] = {
          {&UserSettings::_custom_mousecursor_enabled, true, "_custom_mousecursor_enabled: "},
          {&UserSettings::_bUseWindowedMode, false, "_bUseWindowedMode: "},
          {&UserSettings::_bShowFpsMeter, false, "_bShowFpsMeter: "},
          {&UserSettings::_bForceSWMidi, true, "_bForceSWMidi: "},
          {&UserSettings::_zind_chat_sounds, true, "_zind_chat_sounds: "},
      };
      std::int32_t version = 1;
      for (const LaterField& later : kLaterFields) {
        if (minor >= version) {
          if (!reader.read_bool(this->*later.field)) return;
        } else {
          this->*later.field = later.default_value;
        }
        trace.flag(later.label, this->*later.field);
        ++version;
      }
      break;
    }
    default:
      trace.line("default");
      apply_fallback_set();
      break;
  }
}

void UserSettings::save() {
  const std::string bytes = serialize(*this);
  Filename first_choice;
  if (first_directory_file(first_choice) && first_choice.write_replacing(bytes)) return;
  if (_filename.write_replacing(bytes)) return;
  std::cerr << "could not open '" << _filename << "' or '" << first_choice << "' for writing"
            << std::endl;
}
