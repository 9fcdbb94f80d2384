#include "fakes/recording_opengl_layer.h"

#include <algorithm>
#include <cstring>
#include <sstream>

namespace {

const std::uintptr_t kFirstEntry = 0x7000;
const std::uint32_t kErrorProcNotFound = 127;

std::string handle_name(std::uintptr_t handle) {
  using Fake = RecordingOpenGLLayer;
  switch (handle) {
    case 0:
      return "0";
    case Fake::kLibrary:
      return "lib";
    case Fake::kDesktopDc:
      return "desktop-dc";
    case Fake::kModule:
      return "module";
    case Fake::kIcon:
      return "icon";
    case Fake::kCursor:
      return "cursor";
    case Fake::kWindow:
      return "window";
    case Fake::kWindowDc:
      return "window-dc";
    case Fake::kContext:
      return "context";
    default: {
      std::ostringstream text;
      text << "0x" << std::hex << handle;
      return text.str();
    }
  }
}

std::string text_or_null(const char* text) { return text ? text : "null"; }

std::string hex(std::uint32_t value) {
  std::ostringstream text;
  text << "0x" << std::hex << value;
  return text.str();
}

}  // namespace

bool RecordingOpenGLLayer::fails(const std::string& call) {
  const auto failure = failures.find(call);
  if (failure == failures.end()) return false;
  last_error_ = failure->second;
  return true;
}

std::string RecordingOpenGLLayer::entry_name(ProcAddress entry, const std::string& expected) const {
  const auto found = entries_.find(entry);
  if (found != entries_.end() && found->second == expected) return expected;
  return "<" + expected + " called through " +
         (found == entries_.end() ? handle_name(entry) : found->second) + ">";
}

LibraryHandle RecordingOpenGLLayer::load_library(const char* name) {
  calls.push_back(std::string("LoadLibraryA ") + name);
  return fails("LoadLibraryA") ? 0 : kLibrary;
}

ProcAddress RecordingOpenGLLayer::get_proc_address(LibraryHandle library, const char* name) {
  calls.push_back("GetProcAddress " + handle_name(library) + " " + name);
  if (missing_entry_points.count(name)) {
    last_error_ = kErrorProcNotFound;
    return 0;
  }
  const ProcAddress entry = kFirstEntry + entries_.size();
  entries_[entry] = name;
  return entry;
}

void RecordingOpenGLLayer::free_library(LibraryHandle library) {
  calls.push_back("FreeLibrary " + handle_name(library));
}

DeviceContext RecordingOpenGLLayer::get_dc(WindowHandle window) {
  calls.push_back("GetDC " + std::string(window ? handle_name(window) : "desktop"));
  if (!window) return fails("GetDC") ? 0 : kDesktopDc;
  return fails("GetDC window") ? 0 : kWindowDc;
}

void RecordingOpenGLLayer::release_dc(WindowHandle window, DeviceContext dc) {
  calls.push_back("ReleaseDC " + std::string(window ? handle_name(window) : "desktop") + " " +
                  handle_name(dc));
}

int RecordingOpenGLLayer::describe_pixel_format(DeviceContext dc, int index, std::uint32_t size,
                                                PixelFormatDescriptor* descriptor) {
  int result = static_cast<int>(formats.size());
  if (fails("DescribePixelFormat") || index < 1 || index > result) {
    result = 0;
  } else {
    std::memcpy(descriptor, &formats[index - 1], std::min<std::size_t>(size, sizeof *descriptor));
  }
  calls.push_back("DescribePixelFormat " + handle_name(dc) + " " + std::to_string(index) + " " +
                  std::to_string(size) + " -> " + std::to_string(result));
  return result;
}

ModuleHandle RecordingOpenGLLayer::get_module_handle(const char* name) {
  calls.push_back("GetModuleHandleA " + text_or_null(name));
  return fails("GetModuleHandleA") ? 0 : kModule;
}

IconHandle RecordingOpenGLLayer::load_icon(ModuleHandle instance, std::uint16_t resource_id) {
  calls.push_back("LoadIconA " + handle_name(instance) + " " + std::to_string(resource_id));
  return kIcon;
}

CursorHandle RecordingOpenGLLayer::load_cursor(ModuleHandle instance, std::uint16_t resource_id) {
  calls.push_back("LoadCursorA " + handle_name(instance) + " " + std::to_string(resource_id));
  return kCursor;
}

std::uint16_t RecordingOpenGLLayer::register_class(const WindowClass& window_class) {
  calls.push_back("RegisterClassA style=" + hex(window_class.style) +
                  " extra=" + std::to_string(window_class.class_extra) + "," +
                  std::to_string(window_class.window_extra) + " instance=" +
                  handle_name(window_class.instance) + " icon=" + handle_name(window_class.icon) +
                  " cursor=" + handle_name(window_class.cursor) +
                  " background=" + handle_name(window_class.background) +
                  " menu=" + text_or_null(window_class.menu_name) +
                  " class=" + text_or_null(window_class.class_name));
  return fails("RegisterClassA") ? 0 : 0xC001;
}

WindowHandle RecordingOpenGLLayer::create_window_ex(std::uint32_t ex_style, const char* class_name,
                                                    const char* window_name, std::uint32_t style,
                                                    int x, int y, int width, int height,
                                                    WindowHandle parent, MenuHandle menu,
                                                    ModuleHandle instance, void* param) {
  calls.push_back("CreateWindowExA " + hex(ex_style) + " " + text_or_null(class_name) + " " +
                  text_or_null(window_name) + " " + hex(style) + " at " + std::to_string(x) + "," +
                  std::to_string(y) + " size " + std::to_string(width) + "x" +
                  std::to_string(height) + " parent=" + handle_name(parent) +
                  " menu=" + handle_name(menu) + " instance=" + handle_name(instance) +
                  " param=" + (param ? "set" : "null"));
  return fails("CreateWindowExA") ? 0 : kWindow;
}

void RecordingOpenGLLayer::destroy_window(WindowHandle window) {
  calls.push_back("DestroyWindow " + handle_name(window));
}

bool RecordingOpenGLLayer::set_pixel_format(DeviceContext dc, int index,
                                            const PixelFormatDescriptor& descriptor) {
  // The descriptor must be the one DescribePixelFormat gave for this index.
  const bool described = index >= 1 && index <= static_cast<int>(formats.size()) &&
                         std::memcmp(&descriptor, &formats[index - 1], sizeof descriptor) == 0;
  calls.push_back("SetPixelFormat " + handle_name(dc) + " " + std::to_string(index) +
                  (described ? " as described" : " with another descriptor"));
  return !fails("SetPixelFormat");
}

RenderingContext RecordingOpenGLLayer::wgl_create_context(ProcAddress entry, DeviceContext dc) {
  calls.push_back(entry_name(entry, "wglCreateContext") + " " + handle_name(dc));
  return fails("wglCreateContext") ? 0 : kContext;
}

bool RecordingOpenGLLayer::wgl_make_current(ProcAddress entry, DeviceContext dc,
                                            RenderingContext context) {
  calls.push_back(entry_name(entry, "wglMakeCurrent") + " " + handle_name(dc) + " " +
                  handle_name(context));
  return !fails("wglMakeCurrent");
}

const char* RecordingOpenGLLayer::gl_get_string(ProcAddress entry, std::uint32_t name) {
  calls.push_back(entry_name(entry, "glGetString") + " " + hex(name));
  const auto found = gl_strings.find(name);
  return found == gl_strings.end() ? nullptr : found->second.c_str();
}

void RecordingOpenGLLayer::wgl_delete_context(ProcAddress entry, RenderingContext context) {
  calls.push_back(entry_name(entry, "wglDeleteContext") + " " + handle_name(context));
}

void RecordingOpenGLLayer::set_last_error(std::uint32_t code) {
  calls.push_back("SetLastError " + std::to_string(code));
  last_error_ = code;
}

std::uint32_t RecordingOpenGLLayer::get_last_error() {
  calls.push_back("GetLastError -> " + std::to_string(last_error_));
  return last_error_;
}
