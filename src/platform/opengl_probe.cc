#include "platform/opengl_probe.h"

#include <cinttypes>
#include <cstdio>
#include <iostream>
#include <string>

#include "platform/display_record.h"

namespace {

const char kWindowClassName[] = "Test_OpenGLWndClass";

const std::uint32_t kClassOwnDc = 0x20;               // CS_OWNDC
const std::uint16_t kWinLogoIcon = 32517;             // IDI_WINLOGO
const std::uint16_t kArrowCursor = 32512;             // IDC_ARROW
const std::uint32_t kTestWindowStyle = 0x00CF0000     // WS_OVERLAPPEDWINDOW
                                       | 0x02000000   // WS_CLIPCHILDREN
                                       | 0x04000000   // WS_CLIPSIBLINGS
                                       | 0x08000000;  // WS_DISABLED, and never shown

const std::uint32_t kGlVendor = 0x1F00;
const std::uint32_t kGlRenderer = 0x1F01;
const std::uint32_t kGlVersion = 0x1F02;

// Kept for the life of the process: the class is registered once and never
// unregistered, so later test windows reuse it.
ModuleHandle program_module = 0;

bool acceptable(const PixelFormatDescriptor& format) {
  const std::uint32_t required = kPfdDoubleBuffer | kPfdDrawToWindow | kPfdSupportOpenGL;
  return !(format.flags & kPfdGenericFormat) && format.pixel_type != kPfdTypeColorIndex &&
         format.color_bits > 8 && format.depth_bits != 0 && (format.flags & required) == required;
}

// A handle's hexadecimal digits, as wide as a pointer, the form in which the
// system's own stream library writes a pointer (the line supplies the "0x").
// The C++ library's own pointer output would add a second "0x".
std::string pointer_digits(std::uintptr_t handle) {
  char digits[2 * sizeof handle + 1];
  std::snprintf(digits, sizeof digits, "%0*" PRIXPTR, static_cast<int>(2 * sizeof handle), handle);
  return digits;
}

}  // namespace

void forget_opengl_window_class() { program_module = 0; }

WindowHandle OpenGLTestWindow(OpenGLLayer& layer, const char* window_name, int pixel_format,
                              const PixelFormatDescriptor& descriptor, int x, int y, int width,
                              int height, DeviceContext* dc) {
  *dc = 0;
  if (!program_module) {
    program_module = layer.get_module_handle(nullptr);
    if (!program_module) {
      std::cerr << "GetModuleHandle() failed, err=" << layer.get_last_error() << std::endl;
    }
    WindowClass window_class{};
    window_class.style = kClassOwnDc;
    window_class.instance = program_module;
    window_class.icon = layer.load_icon(0, kWinLogoIcon);
    window_class.cursor = layer.load_cursor(0, kArrowCursor);
    window_class.class_name = kWindowClassName;
    if (!layer.register_class(window_class)) {
      std::cerr << "OGL RegisterClass failed, err=" << layer.get_last_error() << std::endl;
      return 0;
    }
  }

  const WindowHandle window =
      layer.create_window_ex(0, kWindowClassName, window_name, kTestWindowStyle, x, y, width,
                             height, 0, 0, program_module, nullptr);
  if (!window) {
    std::cerr << "CreateWindow failed, err=" << layer.get_last_error() << std::endl;
    return 0;
  }
  *dc = layer.get_dc(window);

  // Cleared first so that the code printed belongs to SetPixelFormat alone.
  layer.set_last_error(0);
  if (!layer.set_pixel_format(*dc, pixel_format, descriptor)) {
    std::cerr << "OGL SetPixelFormat(" << pixel_format << ") failed, err=" << layer.get_last_error()
              << std::endl;
  }
  return window;
}

void OpenGLProbe(OpenGLLayer& layer, Registry& registry, RegistryKey key) {
  const LibraryHandle library = layer.load_library("opengl32.dll");
  if (!library) {
    std::cerr << "LoadLib ogl32.dll failed, err=" << layer.get_last_error() << std::endl;
    return;
  }
  const DeviceContext desktop_dc = layer.get_dc(0);
  if (!desktop_dc) {
    std::cerr << "failed to get desktop DC!, err=" << layer.get_last_error() << std::endl;
    layer.free_library(library);
    return;
  }

  PixelFormatDescriptor descriptor{};
  descriptor.size = sizeof descriptor;
  descriptor.version = 1;
  const int format_count =
      layer.describe_pixel_format(desktop_dc, 1, sizeof descriptor, &descriptor);
  if (format_count == 0) {
    const WindowHandle no_window = 0;
    std::cerr << "failing OGL Check: DescribePixelFormat returns 0, hWnd: 0x"
              << pointer_digits(no_window) << " hDC: 0x" << pointer_digits(desktop_dc)
              << "  GetLastError=";
    const std::uint32_t code = layer.get_last_error();
    if (code == kErrorModNotFound) {
      std::cerr << "ERROR_MOD_NOT_FOUND\n";
    } else {
      std::cerr << code << std::endl;
    }
  }
  // The first acceptable format is taken; later ones are not looked at.
  int accepted = 0;
  for (int index = 1; index <= format_count; ++index) {
    layer.describe_pixel_format(desktop_dc, index, sizeof descriptor, &descriptor);
    if (acceptable(descriptor)) {
      accepted = index;
      break;
    }
  }
  layer.release_dc(0, desktop_dc);
  if (!accepted) {
    std::cerr << "Error: OGL mode set, but detected no OpenGL hardware support!\n";
    layer.free_library(library);
    return;
  }

  const char* const entry_names[] = {"wglCreateContext", "wglDeleteContext", "wglMakeCurrent",
                                     "glGetString"};
  ProcAddress entries[4];
  for (int i = 0; i < 4; ++i) {
    entries[i] = layer.get_proc_address(library, entry_names[i]);
    if (!entries[i]) {
      std::cerr << "Error: GetProcAddr failed for " << entry_names[i]
                << ", err=" << layer.get_last_error() << std::endl;
      layer.free_library(library);
      return;
    }
  }
  const ProcAddress create_context = entries[0];
  const ProcAddress delete_context = entries[1];
  const ProcAddress make_current = entries[2];
  const ProcAddress get_string = entries[3];

  DeviceContext window_dc;
  const WindowHandle window =
      OpenGLTestWindow(layer, "opengl_testwindow", accepted, descriptor, 1, 1, 1, 1, &window_dc);
  if (!window) {
    std::cerr << "Error: failed to create OGL test window!\n";
    layer.free_library(library);
    return;
  }

  const RenderingContext context = layer.wgl_create_context(create_context, window_dc);
  if (!context) {
    std::cerr << "Error: wglCreateContext failed, err=" << layer.get_last_error() << std::endl;
  } else {
    if (!layer.wgl_make_current(make_current, window_dc, context)) {
      std::cerr << "Error: wglMakeCurrent failed, err=" << layer.get_last_error() << std::endl;
    } else {
      // All three are read before any is written.
      const char* vendor = layer.gl_get_string(get_string, kGlVendor);
      const char* renderer = layer.gl_get_string(get_string, kGlRenderer);
      const char* version = layer.gl_get_string(get_string, kGlVersion);
      if (vendor) set_text_value(registry, key, "OGLVendor", vendor);
      if (renderer) set_text_value(registry, key, "OGLRenderer", renderer);
      if (version) set_text_value(registry, key, "OGLVersion", version);
    }
    layer.wgl_make_current(make_current, window_dc, 0);
    layer.wgl_delete_context(delete_context, context);
  }

  if (window_dc) layer.release_dc(window, window_dc);
  layer.destroy_window(window);
  layer.free_library(library);
}
