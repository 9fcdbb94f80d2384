#pragma once

#include <cstdint>
#include <cstring>
#include <string>

/// The fields of a saved options file, and its bytes in the current layout
/// (version 1.5, 33 bytes).
struct SavedOptions {
  bool sfx = true, music = true, chat = true;
  float sfx_vol = 1.0f, music_vol = 1.0f;
  std::uint8_t driver = 2, res = 1, stype = 0;
  bool cursor = true, windowed = false, fps = false, sw_midi = true, chat_sounds = true;

  std::string bytes() const {
    std::string out = "UserSettings";
    out += '\x01';
    out += '\x05';
    out += static_cast<char>(sfx);
    out += static_cast<char>(music);
    out += static_cast<char>(chat);
    append(out, sfx_vol);
    append(out, music_vol);
    out += static_cast<char>(driver);
    out += static_cast<char>(res);
    out += static_cast<char>(stype);
    for (bool flag : {cursor, windowed, fps, sw_midi, chat_sounds}) out += static_cast<char>(flag);
    return out;
  }

  static void append(std::string& out, float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>(bits >> shift & 0xFF);
  }
};
