#pragma once

#include <ostream>

/// Writes the 90 engine settings that are the same in every run.
void write_constant_settings(std::ostream& out);
