#pragma once

#include <cstdint>

#include "pathlib/filename.h"

/// The player's options: one record per process, created on first use from
/// the defaults and every saved options file ("useropt") on the
/// configuration search path. The fields are plain data that the driver and
/// the document read and assign directly.
class UserSettings {
 public:
  /// The process's record; the first call creates it and loads the saved
  /// options files, later calls return the same record.
  static UserSettings& get_instance();

  /// Gives every field its default and applies every saved options file.
  UserSettings();
  /// Forgets the record, so that get_instance() would create a new one.
  virtual ~UserSettings();

  UserSettings(const UserSettings&) = delete;
  UserSettings& operator=(const UserSettings&) = delete;

  /// Finds every "useropt" on the search path and reads them, the one in
  /// the earliest directory last, so that its values win.
  void load_saved_files();

  /// Reads one saved options file into the record, tracing each step in
  /// "readlog.txt" in the current directory (replacing its contents).
  void read_file(const Filename& file);

  /// Writes the record as a version 1.5 file into the first directory of the
  /// search path, or else to `_filename`; reports a failure on standard error.
  void save();

  /// The saved options file the record was read from, or "useropt" when
  /// none was found; saving tries it second.
  Filename _filename;
  bool _sfx;
  bool _zind_chat_sounds;
  bool _music;
  bool _bForceSWMidi;
  bool _custom_mousecursor_enabled;
  bool _chat;
  bool _bSavedFileFound;
  bool _bUseWindowedMode;
  bool _bShowFpsMeter;
  float _sfx_vol;
  float _music_vol;
  /// GraphicsApi: 0 OpenGL, 1 Direct3D 8, 2 default, 3 Direct3D 9, 4 none
  /// recorded, 5 Direct3D 8 chosen on the command line.
  std::int32_t _driver;
  /// Row of the resolution table, 0 to 4.
  std::int32_t _res;
  /// ServerType: 0 prod, 1 dev, 2 debug; anything else is invalid.
  std::int32_t _stype;

 private:
  void apply_no_file_defaults();
  /// What a file of an unknown major version gives.
  void apply_fallback_set();
  /// What a file with a wrong header word gives.
  void apply_invalid_header_set();
};
