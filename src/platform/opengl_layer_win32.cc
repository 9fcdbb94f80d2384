// The OpenGL layer on Windows: each method is the user32, gdi32, kernel32 or
// OpenGL call it is named after. opengl32.dll is never linked: its entry
// points come from GetProcAddress, so the program starts on machines
// without OpenGL and its import table names no graphics driver.
#include <windows.h>

#include <cstddef>

#include "platform/opengl_layer.h"

// The system fills PixelFormatDescriptor in place of its own structure.
static_assert(sizeof(PixelFormatDescriptor) == sizeof(PIXELFORMATDESCRIPTOR), "size");
#define PREFGEN_SAME_OFFSET(ours, theirs)                                                         \
  static_assert(offsetof(PixelFormatDescriptor, ours) == offsetof(PIXELFORMATDESCRIPTOR, theirs), \
                #theirs)
PREFGEN_SAME_OFFSET(size, nSize);
PREFGEN_SAME_OFFSET(version, nVersion);
PREFGEN_SAME_OFFSET(flags, dwFlags);
PREFGEN_SAME_OFFSET(pixel_type, iPixelType);
PREFGEN_SAME_OFFSET(color_bits, cColorBits);
PREFGEN_SAME_OFFSET(red_bits, cRedBits);
PREFGEN_SAME_OFFSET(red_shift, cRedShift);
PREFGEN_SAME_OFFSET(green_bits, cGreenBits);
PREFGEN_SAME_OFFSET(green_shift, cGreenShift);
PREFGEN_SAME_OFFSET(blue_bits, cBlueBits);
PREFGEN_SAME_OFFSET(blue_shift, cBlueShift);
PREFGEN_SAME_OFFSET(alpha_bits, cAlphaBits);
PREFGEN_SAME_OFFSET(alpha_shift, cAlphaShift);
PREFGEN_SAME_OFFSET(accum_bits, cAccumBits);
PREFGEN_SAME_OFFSET(accum_red_bits, cAccumRedBits);
PREFGEN_SAME_OFFSET(accum_green_bits, cAccumGreenBits);
PREFGEN_SAME_OFFSET(accum_blue_bits, cAccumBlueBits);
PREFGEN_SAME_OFFSET(accum_alpha_bits, cAccumAlphaBits);
PREFGEN_SAME_OFFSET(depth_bits, cDepthBits);
PREFGEN_SAME_OFFSET(stencil_bits, cStencilBits);
PREFGEN_SAME_OFFSET(aux_buffers, cAuxBuffers);
PREFGEN_SAME_OFFSET(layer_type, iLayerType);
PREFGEN_SAME_OFFSET(reserved, bReserved);
PREFGEN_SAME_OFFSET(layer_mask, dwLayerMask);
PREFGEN_SAME_OFFSET(visible_mask, dwVisibleMask);
PREFGEN_SAME_OFFSET(damage_mask, dwDamageMask);
#undef PREFGEN_SAME_OFFSET

static_assert(kPfdDoubleBuffer == PFD_DOUBLEBUFFER, "PFD_DOUBLEBUFFER");
static_assert(kPfdDrawToWindow == PFD_DRAW_TO_WINDOW, "PFD_DRAW_TO_WINDOW");
static_assert(kPfdSupportOpenGL == PFD_SUPPORT_OPENGL, "PFD_SUPPORT_OPENGL");
static_assert(kPfdGenericFormat == PFD_GENERIC_FORMAT, "PFD_GENERIC_FORMAT");
static_assert(kPfdTypeColorIndex == PFD_TYPE_COLORINDEX, "PFD_TYPE_COLORINDEX");

namespace {

// The OpenGL entry points, as opengl32.dll exports them.
using WglCreateContextFunction = HGLRC(WINAPI*)(HDC dc);
using WglMakeCurrentFunction = BOOL(WINAPI*)(HDC dc, HGLRC context);
using WglDeleteContextFunction = BOOL(WINAPI*)(HGLRC context);
using GlGetStringFunction = const unsigned char*(WINAPI*)(unsigned int name);

template <typename Handle>
Handle as(std::uintptr_t value) {
  return reinterpret_cast<Handle>(value);
}

template <typename Handle>
std::uintptr_t from(Handle handle) {
  return reinterpret_cast<std::uintptr_t>(handle);
}

class Win32OpenGLLayer : public OpenGLLayer {
 public:
  LibraryHandle load_library(const char* name) override { return from(LoadLibraryA(name)); }
  ProcAddress get_proc_address(LibraryHandle library, const char* name) override {
    return from(GetProcAddress(as<HMODULE>(library), name));
  }
  void free_library(LibraryHandle library) override { FreeLibrary(as<HMODULE>(library)); }
  std::uint32_t get_last_error() override { return GetLastError(); }
  void set_last_error(std::uint32_t code) override { SetLastError(code); }

  DeviceContext get_dc(WindowHandle window) override { return from(GetDC(as<HWND>(window))); }
  void release_dc(WindowHandle window, DeviceContext dc) override {
    ReleaseDC(as<HWND>(window), as<HDC>(dc));
  }
  int describe_pixel_format(DeviceContext dc, int index, std::uint32_t size,
                            PixelFormatDescriptor* descriptor) override {
    return DescribePixelFormat(as<HDC>(dc), index, size,
                               reinterpret_cast<PIXELFORMATDESCRIPTOR*>(descriptor));
  }

  ModuleHandle get_module_handle(const char* name) override { return from(GetModuleHandleA(name)); }
  IconHandle load_icon(ModuleHandle instance, std::uint16_t resource_id) override {
    return from(LoadIconA(as<HINSTANCE>(instance), MAKEINTRESOURCEA(resource_id)));
  }
  CursorHandle load_cursor(ModuleHandle instance, std::uint16_t resource_id) override {
    return from(LoadCursorA(as<HINSTANCE>(instance), MAKEINTRESOURCEA(resource_id)));
  }
  std::uint16_t register_class(const WindowClass& window_class) override {
    WNDCLASSA system_class{};
    system_class.style = window_class.style;
    system_class.lpfnWndProc = DefWindowProcA;
    system_class.cbClsExtra = window_class.class_extra;
    system_class.cbWndExtra = window_class.window_extra;
    system_class.hInstance = as<HINSTANCE>(window_class.instance);
    system_class.hIcon = as<HICON>(window_class.icon);
    system_class.hCursor = as<HCURSOR>(window_class.cursor);
    system_class.hbrBackground = as<HBRUSH>(window_class.background);
    system_class.lpszMenuName = window_class.menu_name;
    system_class.lpszClassName = window_class.class_name;
    return RegisterClassA(&system_class);
  }
  WindowHandle create_window_ex(std::uint32_t ex_style, const char* class_name,
                                const char* window_name, std::uint32_t style, int x, int y,
                                int width, int height, WindowHandle parent, MenuHandle menu,
                                ModuleHandle instance, void* param) override {
    return from(CreateWindowExA(ex_style, class_name, window_name, style, x, y, width, height,
                                as<HWND>(parent), as<HMENU>(menu), as<HINSTANCE>(instance), param));
  }
  void destroy_window(WindowHandle window) override { DestroyWindow(as<HWND>(window)); }
  bool set_pixel_format(DeviceContext dc, int index,
                        const PixelFormatDescriptor& descriptor) override {
    return SetPixelFormat(as<HDC>(dc), index,
                          reinterpret_cast<const PIXELFORMATDESCRIPTOR*>(&descriptor)) != 0;
  }

  RenderingContext wgl_create_context(ProcAddress entry, DeviceContext dc) override {
    return from(as<WglCreateContextFunction>(entry)(as<HDC>(dc)));
  }
  bool wgl_make_current(ProcAddress entry, DeviceContext dc, RenderingContext context) override {
    return as<WglMakeCurrentFunction>(entry)(as<HDC>(dc), as<HGLRC>(context)) != 0;
  }
  const char* gl_get_string(ProcAddress entry, std::uint32_t name) override {
    return reinterpret_cast<const char*>(as<GlGetStringFunction>(entry)(name));
  }
  void wgl_delete_context(ProcAddress entry, RenderingContext context) override {
    as<WglDeleteContextFunction>(entry)(as<HGLRC>(context));
  }
};

}  // namespace

std::unique_ptr<OpenGLLayer> make_system_opengl_layer() {
  return std::make_unique<Win32OpenGLLayer>();
}
