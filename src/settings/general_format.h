#pragma once

#include <string>

/// `value` in the general notation with six significant digits, as printf's
/// "%g" writes it on every system: 1 for 1.0, 0.5, 0.333333, 1e-05, 1e+06.
/// A value that is not a finite number is written "nan", "inf" or "-inf".
std::string format_general(double value);
