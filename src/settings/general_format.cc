#include "settings/general_format.h"

#include <charconv>
#include <cmath>

std::string format_general(double value) {
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  // std::to_chars follows "%g" exactly but, unlike the C library on some
  // systems, always writes a two-digit exponent and ignores the locale.
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 6);
  return std::string(text, result.ptr);
}
