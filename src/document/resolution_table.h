#pragma once

#include <cstdint>

/// One screen size of the resolution table.
struct ScreenSize {
  std::uint32_t width;
  std::uint32_t height;
};

/// The five screen sizes that resolution codes 0 to 4 select.
extern const ScreenSize ResolutionTable[5];

/// The screen size for resolution code `res`. A code outside 0 to 4 names no
/// row; it gets row 1, 800 by 600, the size of a record without saved file.
ScreenSize screen_size_for(std::int32_t res);
