// The OpenGL layer on systems without Windows: there is no "opengl32.dll" to
// load, so the probe stops at its first step as on a Windows machine that
// lacks the library. The other calls fail without touching anything.

#include "platform/opengl_layer.h"

namespace {

const std::uint32_t kErrorInvalidHandle = 6;
const std::uint32_t kErrorProcNotFound = 127;

class HostOpenGLLayer : public OpenGLLayer {
 public:
  LibraryHandle load_library(const char*) override { return fail(kErrorModNotFound); }
  ProcAddress get_proc_address(LibraryHandle, const char*) override {
    return fail(kErrorProcNotFound);
  }
  void free_library(LibraryHandle) override {}

  DeviceContext get_dc(WindowHandle) override { return fail(kErrorInvalidHandle); }
  void release_dc(WindowHandle, DeviceContext) override {}
  int describe_pixel_format(DeviceContext, int, std::uint32_t, PixelFormatDescriptor*) override {
    return static_cast<int>(fail(kErrorInvalidHandle));
  }

  ModuleHandle get_module_handle(const char*) override { return fail(kErrorModNotFound); }
  IconHandle load_icon(ModuleHandle, std::uint16_t) override { return 0; }
  CursorHandle load_cursor(ModuleHandle, std::uint16_t) override { return 0; }
  std::uint16_t register_class(const WindowClass&) override {
    return static_cast<std::uint16_t>(fail(kErrorInvalidHandle));
  }
  WindowHandle create_window_ex(std::uint32_t, const char*, const char*, std::uint32_t, int, int,
                                int, int, WindowHandle, MenuHandle, ModuleHandle, void*) override {
    return fail(kErrorInvalidHandle);
  }
  void destroy_window(WindowHandle) override {}
  bool set_pixel_format(DeviceContext, int, const PixelFormatDescriptor&) override {
    fail(kErrorInvalidHandle);
    return false;
  }

  RenderingContext wgl_create_context(ProcAddress, DeviceContext) override {
    return fail(kErrorInvalidHandle);
  }
  bool wgl_make_current(ProcAddress, DeviceContext, RenderingContext) override {
    fail(kErrorInvalidHandle);
    return false;
  }
  const char* gl_get_string(ProcAddress, std::uint32_t) override { return nullptr; }
  void wgl_delete_context(ProcAddress, RenderingContext) override {}

  void set_last_error(std::uint32_t code) override { last_error_ = code; }
  std::uint32_t get_last_error() override { return last_error_; }

 private:
  // Records why a call failed and gives the failing result, 0.
  std::uintptr_t fail(std::uint32_t code) {
    last_error_ = code;
    return 0;
  }

  std::uint32_t last_error_ = 0;
};

}  // namespace

std::unique_ptr<OpenGLLayer> make_system_opengl_layer() {
  return std::make_unique<HostOpenGLLayer>();
}
