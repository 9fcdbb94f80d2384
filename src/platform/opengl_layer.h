#pragma once

#include <cstdint>
#include <memory>

#include "platform/system_library.h"

/// A module of the process, used as the instance of a window class (HINSTANCE); 0 for none.
using ModuleHandle = std::uintptr_t;
/// A window (HWND); 0 for none, which GetDC and ReleaseDC take as the desktop.
using WindowHandle = std::uintptr_t;
/// A device context (HDC); 0 for none.
using DeviceContext = std::uintptr_t;
/// An OpenGL rendering context (HGLRC); 0 for none.
using RenderingContext = std::uintptr_t;
/// An icon (HICON); 0 for none.
using IconHandle = std::uintptr_t;
/// A cursor (HCURSOR); 0 for none.
using CursorHandle = std::uintptr_t;
/// A brush (HBRUSH); 0 for none.
using BrushHandle = std::uintptr_t;
/// A menu (HMENU); 0 for none.
using MenuHandle = std::uintptr_t;

/// The system's pixel format description (PIXELFORMATDESCRIPTOR), field for
/// field and byte for byte, so the system can fill it in place.
struct PixelFormatDescriptor {
  std::uint16_t size;
  std::uint16_t version;
  std::uint32_t flags;
  std::uint8_t pixel_type;
  std::uint8_t color_bits;
  std::uint8_t red_bits;
  std::uint8_t red_shift;
  std::uint8_t green_bits;
  std::uint8_t green_shift;
  std::uint8_t blue_bits;
  std::uint8_t blue_shift;
  std::uint8_t alpha_bits;
  std::uint8_t alpha_shift;
  std::uint8_t accum_bits;
  std::uint8_t accum_red_bits;
  std::uint8_t accum_green_bits;
  std::uint8_t accum_blue_bits;
  std::uint8_t accum_alpha_bits;
  std::uint8_t depth_bits;
  std::uint8_t stencil_bits;
  std::uint8_t aux_buffers;
  std::uint8_t layer_type;
  std::uint8_t reserved;
  std::uint32_t layer_mask;
  std::uint32_t visible_mask;
  std::uint32_t damage_mask;
};
static_assert(sizeof(PixelFormatDescriptor) == 40, "must match the system's 40-byte layout");

/// Bits of PixelFormatDescriptor::flags.
enum PixelFormatFlag : std::uint32_t {
  kPfdDoubleBuffer = 0x01,
  kPfdDrawToWindow = 0x04,
  kPfdSupportOpenGL = 0x20,
  kPfdGenericFormat = 0x40,
};

/// PixelFormatDescriptor::pixel_type of a colour-index format.
constexpr std::uint8_t kPfdTypeColorIndex = 1;

/// The fields of a window class (WNDCLASSA). The window procedure is always
/// the system's default one (DefWindowProcA), so it has no field here.
struct WindowClass {
  std::uint32_t style;
  std::int32_t class_extra;
  std::int32_t window_extra;
  ModuleHandle instance;
  IconHandle icon;
  CursorHandle cursor;
  BrushHandle background;
  const char* menu_name;
  const char* class_name;
};

/// The windowing, pixel-format and OpenGL calls that the OpenGL probe makes,
/// one method per system call. The OpenGL entry points come from
/// get_proc_address and are called through the method named after them.
class OpenGLLayer : public SystemLibraryCalls {
 public:


  /// GetDC: the device context of `window` (0: the desktop); 0 on failure.
  virtual DeviceContext get_dc(WindowHandle window) = 0;
  /// ReleaseDC: gives back a context obtained from get_dc for `window`.
  virtual void release_dc(WindowHandle window, DeviceContext dc) = 0;
  /// DescribePixelFormat: fills `descriptor` (of `size` bytes) with format
  /// `index` of `dc`; returns the highest format index, 0 on failure.
  virtual int describe_pixel_format(DeviceContext dc, int index, std::uint32_t size,
                                    PixelFormatDescriptor* descriptor) = 0;

  /// GetModuleHandleA: the module `name` of the process (null: the program
  /// itself); 0 on failure.
  virtual ModuleHandle get_module_handle(const char* name) = 0;
  /// LoadIconA with a numeric resource: icon `resource_id` of `instance`
  /// (0: one of the system's own icons).
  virtual IconHandle load_icon(ModuleHandle instance, std::uint16_t resource_id) = 0;
  /// LoadCursorA with a numeric resource: cursor `resource_id` of `instance`
  /// (0: one of the system's own cursors).
  virtual CursorHandle load_cursor(ModuleHandle instance, std::uint16_t resource_id) = 0;
  /// RegisterClassA: registers `window_class`; its atom, 0 on failure.
  virtual std::uint16_t register_class(const WindowClass& window_class) = 0;
  /// CreateWindowExA: creates a window of a registered class; 0 on failure.
  virtual WindowHandle create_window_ex(std::uint32_t ex_style, const char* class_name,
                                        const char* window_name, std::uint32_t style, int x, int y,
                                        int width, int height, WindowHandle parent, MenuHandle menu,
                                        ModuleHandle instance, void* param) = 0;
  /// DestroyWindow: destroys `window`.
  virtual void destroy_window(WindowHandle window) = 0;
  /// SetPixelFormat: gives `dc` the format `index`; false on failure.
  virtual bool set_pixel_format(DeviceContext dc, int index,
                                const PixelFormatDescriptor& descriptor) = 0;

  /// Calls wglCreateContext at `entry`: a rendering context for `dc`; 0 on failure.
  virtual RenderingContext wgl_create_context(ProcAddress entry, DeviceContext dc) = 0;
  /// Calls wglMakeCurrent at `entry`: makes `context` (0: none) current on
  /// `dc`; false on failure.
  virtual bool wgl_make_current(ProcAddress entry, DeviceContext dc, RenderingContext context) = 0;
  /// Calls glGetString at `entry` for `name` (GL_VENDOR and the like): the
  /// current context's NUL-terminated string, or null.
  virtual const char* gl_get_string(ProcAddress entry, std::uint32_t name) = 0;
  /// Calls wglDeleteContext at `entry`: deletes `context`.
  virtual void wgl_delete_context(ProcAddress entry, RenderingContext context) = 0;

  /// SetLastError: sets the thread's last-error code.
  virtual void set_last_error(std::uint32_t code) = 0;
};

/// The OpenGL layer of the system the program was built for.
std::unique_ptr<OpenGLLayer> make_system_opengl_layer();
