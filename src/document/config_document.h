#pragma once

#include <ostream>

/// Writes the engine configuration document: the signed extension block,
/// the constant settings, then the settings derived from the options record.
/// `pick_best_res` asks the engine to choose the screen size when no saved
/// options file was found.
void write_config_document(std::ostream& out, bool pick_best_res);

/// Writes the audio block for the given switches and volumes; the MIDI
/// line comes from the options record.
void write_audio_settings(std::ostream& out, bool sfx, bool music, float sfx_vol, float music_vol);

/// The server-type blocks: a heading and "server-type prod", "dev" or "debug".
void write_server_type_prod(std::ostream& out);
void write_server_type_dev(std::ostream& out);
void write_server_type_debug(std::ostream& out);
