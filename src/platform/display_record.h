#pragma once

#include <cstdint>
#include <functional>

#include "platform/registry.h"

/// The product's registry key, which the display record writes into.
extern const char kProductKeyPath[];

/// Records the display choice under the product key: "UsingWindowedMode",
/// "LastScreenSize" ("<width>x<height>") and "GfxApiUsed". For OpenGL
/// (GraphicsApi code 0) `run_opengl_probe` runs with the open key between
/// the last two. False when the key cannot be opened; nothing is written then.
bool write_display_record(Registry& registry, bool windowed, std::int32_t width,
                          std::int32_t height, std::int32_t graphics_api,
                          const std::function<void(RegistryKey)>& run_opengl_probe);

/// Stores `text` as a REG_SZ value whose byte count leaves out the NUL.
void set_text_value(Registry& registry, RegistryKey key, const char* name, const char* text);
