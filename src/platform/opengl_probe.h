#pragma once

#include "platform/opengl_layer.h"
#include "platform/registry.h"

/// Checks that the desktop offers a driver-accelerated, double-buffered,
/// window-capable OpenGL pixel format, opens a rendering context on a hidden
/// test window with it, and stores the driver's strings as "OGLVendor",
/// "OGLRenderer" and "OGLVersion" under the open `key`. Each failure is one
/// line on std::cerr and leaves the key untouched; everything acquired is
/// released before it returns.
void OpenGLProbe(OpenGLLayer& layer, Registry& registry, RegistryKey key);

/// Creates the hidden test window with pixel format `pixel_format` described
/// by `descriptor`. Returns the window, or 0 when none was made; `*dc`
/// receives its device context (0 whenever no window was made). The window
/// class is registered on the first call of the process only.
WindowHandle OpenGLTestWindow(OpenGLLayer& layer, const char* window_name, int pixel_format,
                              const PixelFormatDescriptor& descriptor, int x, int y, int width,
                              int height, DeviceContext* dc);

/// Forgets the program's module handle and the registered test window class,
/// so that the next OpenGLTestWindow registers the class again (for tests).
void forget_opengl_window_class();
