#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/opengl_layer.h"

/// An OpenGL layer that plays a scripted machine and records every call, in
/// order, as one line each. Handles are shown by name: lib, desktop,
/// desktop-dc, module, icon, cursor, window, window-dc, context; entry points
/// by the name they were taken for. Examples:
///   LoadLibraryA opengl32.dll
///   DescribePixelFormat desktop-dc 1 40 -> 3
///   GetProcAddress lib wglMakeCurrent
///   SetPixelFormat window-dc 3 as described
///   wglMakeCurrent window-dc context
///   GetLastError -> 126
class RecordingOpenGLLayer : public OpenGLLayer {
 public:
  /// The handles the fake hands out.
  static constexpr std::uintptr_t kLibrary = 0x11;
  static constexpr std::uintptr_t kDesktopDc = 0x22;
  static constexpr std::uintptr_t kWindow = 0x33;
  static constexpr std::uintptr_t kWindowDc = 0x44;
  static constexpr std::uintptr_t kContext = 0x55;
  static constexpr std::uintptr_t kModule = 0x400000;
  static constexpr std::uintptr_t kIcon = 0x51;
  static constexpr std::uintptr_t kCursor = 0x52;

  /// The desktop's pixel formats: index i is formats[i - 1].
  std::vector<PixelFormatDescriptor> formats;
  /// Calls that fail, with the last-error code each leaves. Keys:
  /// "LoadLibraryA", "GetDC" (the desktop's), "GetDC window",
  /// "DescribePixelFormat", "GetModuleHandleA", "RegisterClassA",
  /// "CreateWindowExA", "SetPixelFormat", "wglCreateContext", "wglMakeCurrent".
  std::map<std::string, std::uint32_t> failures;
  /// Entry points that GetProcAddress does not find (last error 127).
  std::set<std::string> missing_entry_points;
  /// glGetString's answers by name (0x1F00 and so on); others give null.
  std::map<std::uint32_t, std::string> gl_strings;

  std::vector<std::string> calls;

  LibraryHandle load_library(const char* name) override;
  ProcAddress get_proc_address(LibraryHandle library, const char* name) override;
  void free_library(LibraryHandle library) override;
  DeviceContext get_dc(WindowHandle window) override;
  void release_dc(WindowHandle window, DeviceContext dc) override;
  int describe_pixel_format(DeviceContext dc, int index, std::uint32_t size,
                            PixelFormatDescriptor* descriptor) override;
  ModuleHandle get_module_handle(const char* name) override;
  IconHandle load_icon(ModuleHandle instance, std::uint16_t resource_id) override;
  CursorHandle load_cursor(ModuleHandle instance, std::uint16_t resource_id) override;
  std::uint16_t register_class(const WindowClass& window_class) override;
  WindowHandle create_window_ex(std::uint32_t ex_style, const char* class_name,
                                const char* window_name, std::uint32_t style, int x, int y,
                                int width, int height, WindowHandle parent, MenuHandle menu,
                                ModuleHandle instance, void* param) override;
  void destroy_window(WindowHandle window) override;
  bool set_pixel_format(DeviceContext dc, int index,
                        const PixelFormatDescriptor& descriptor) override;
  RenderingContext wgl_create_context(ProcAddress entry, DeviceContext dc) override;
  bool wgl_make_current(ProcAddress entry, DeviceContext dc, RenderingContext context) override;
  const char* gl_get_string(ProcAddress entry, std::uint32_t name) override;
  void wgl_delete_context(ProcAddress entry, RenderingContext context) override;
  void set_last_error(std::uint32_t code) override;
  std::uint32_t get_last_error() override;

 private:
  /// True when `call` is scripted to fail; then sets its last-error code.
  bool fails(const std::string& call);
  /// `entry`'s name when it is the entry point taken for `expected`,
  /// otherwise a marker that shows the mix-up in the call line.
  std::string entry_name(ProcAddress entry, const std::string& expected) const;

  std::uint32_t last_error_ = 0;
  std::map<ProcAddress, std::string> entries_;
};
