#include "platform/opengl_probe.h"

#include <gtest/gtest.h>


#include "fakes/recording_opengl_layer.h"
#include "fakes/recording_registry.h"
#include "platform/display_record.h"
#include "support/scratch_dir.h"

namespace {

using Lines = std::vector<std::string>;

const std::uint32_t kGlVendor = 0x1F00;
const std::uint32_t kGlRenderer = 0x1F01;
const std::uint32_t kGlVersion = 0x1F02;

// A format as DescribePixelFormat fills it in.
PixelFormatDescriptor format(std::uint32_t flags, std::uint8_t pixel_type, std::uint8_t color_bits,
                             std::uint8_t depth_bits) {
  PixelFormatDescriptor descriptor{};
  descriptor.size = 40;
  descriptor.version = 1;
  descriptor.flags = flags;
  descriptor.pixel_type = pixel_type;
  descriptor.color_bits = color_bits;
  descriptor.depth_bits = depth_bits;
  return descriptor;
}

// Double-buffered, draw-to-window, OpenGL, driver-provided, RGBA 32/24.
const PixelFormatDescriptor kHardware = format(0x25, 0, 32, 24);

// Makes a pointer handle appear as the standard stream writes it.

// The calls that release what the probe acquired, in the order made.
Lines releases(const Lines& calls) {
  Lines result;
  for (const std::string& call : calls) {
    for (const char* name :
         {"ReleaseDC", "wglMakeCurrent", "wglDeleteContext", "DestroyWindow", "FreeLibrary"}) {
      if (call.rfind(name, 0) == 0) result.push_back(call);
    }
  }
  return result;
}

bool made(const Lines& calls, const std::string& prefix) {
  for (const std::string& call : calls) {
    if (call.rfind(prefix, 0) == 0) return true;
  }
  return false;
}

// A registry that also logs its string writes into the layer's call list,
// so one list shows the order of both.
class SharedLogRegistry : public RecordingRegistry {
 public:
  explicit SharedLogRegistry(Lines& log) : log_(log) {}
  void set_string_value(RegistryKey key, const char* name, const char* data,
                        std::uint32_t byte_count) override {
    RecordingRegistry::set_string_value(key, name, data, byte_count);
    log_.push_back(calls.back());
  }

 private:
  Lines& log_;
};

class OpenGLProbeTest : public ::testing::Test {
 protected:
  OpenGLProbeTest() {
    forget_opengl_window_class();
    layer_.formats = {kHardware};
    layer_.gl_strings = {{kGlVendor, "Vendor"}, {kGlRenderer, "Renderer"}, {kGlVersion, "4.6"}};
    registry_.add_key(kProductKeyPath);
    registry_.open_local_machine_key(kProductKeyPath, RegistryAccess::kWrite, &key_);
    registry_.calls.clear();
  }
  ~OpenGLProbeTest() override { forget_opengl_window_class(); }

  void probe() {
    CaptureStderr err;
    layer_.calls.clear();
    registry_.calls.clear();
    OpenGLProbe(layer_, registry_, key_);
    stderr_ = err.text();
  }

  RecordingOpenGLLayer layer_;
  SharedLogRegistry registry_{layer_.calls};
  RegistryKey key_ = 0;
  std::string stderr_;
};

TEST_F(OpenGLProbeTest, SuccessRecordsTheDriverStringsAndReleasesEverything) {
  layer_.formats = {format(0x25, 1, 32, 24), kHardware};
  probe();
  EXPECT_EQ(stderr_, "");
  EXPECT_EQ(layer_.calls,
            (Lines{
                "LoadLibraryA opengl32.dll",
                "GetDC desktop",
                "DescribePixelFormat desktop-dc 1 40 -> 2",
                "DescribePixelFormat desktop-dc 1 40 -> 2",
                "DescribePixelFormat desktop-dc 2 40 -> 2",
                "ReleaseDC desktop desktop-dc",
                "GetProcAddress lib wglCreateContext",
                "GetProcAddress lib wglDeleteContext",
                "GetProcAddress lib wglMakeCurrent",
                "GetProcAddress lib glGetString",
                "GetModuleHandleA null",
                "LoadIconA 0 32517",
                "LoadCursorA 0 32512",
                "RegisterClassA style=0x20 extra=0,0 instance=module icon=icon cursor=cursor "
                "background=0 menu=null class=Test_OpenGLWndClass",
                "CreateWindowExA 0x0 Test_OpenGLWndClass opengl_testwindow 0xecf0000 at 1,1 size "
                "1x1 parent=0 menu=0 instance=module param=null",
                "GetDC window",
                "SetLastError 0",
                "SetPixelFormat window-dc 2 as described",
                "wglCreateContext window-dc",
                "wglMakeCurrent window-dc context",
                "glGetString 0x1f00",
                "glGetString 0x1f01",
                "glGetString 0x1f02",
                "string OGLVendor \"Vendor\" 6",
                "string OGLRenderer \"Renderer\" 8",
                "string OGLVersion \"4.6\" 3",
                "wglMakeCurrent window-dc 0",
                "wglDeleteContext context",
                "ReleaseDC window window-dc",
                "DestroyWindow window",
                "FreeLibrary lib",
            }));
  // The key stays open for the display record's last value.
  EXPECT_EQ(registry_.open_count(), 1u);
}

TEST_F(OpenGLProbeTest, AcceptanceTestOfASingleFormat) {
  struct Case {
    const char* what;
    PixelFormatDescriptor descriptor;
    bool accepted;
  } cases[] = {
      {"generic implementation", format(0x65, 0, 32, 24), false},
      {"8 colour bits", format(0x25, 0, 8, 24), false},
      {"9 colour bits", format(0x25, 0, 9, 24), true},
      {"no depth buffer", format(0x25, 0, 32, 0), false},
      {"1 depth bit", format(0x25, 0, 32, 1), true},
      {"colour-index", format(0x25, 1, 32, 24), false},
      {"single-buffered", format(0x24, 0, 32, 24), false},
      {"not for windows", format(0x21, 0, 32, 24), false},
      {"no OpenGL", format(0x05, 0, 32, 24), false},
      {"extra flags", format(0x1A5, 0, 16, 16), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    forget_opengl_window_class();
    layer_.formats = {c.descriptor};
    probe();
    if (c.accepted) {
      EXPECT_EQ(stderr_, "");
      EXPECT_TRUE(made(layer_.calls, "SetPixelFormat window-dc 1 as described"));
      EXPECT_EQ(registry_.calls.size(), 3u);
    } else {
      EXPECT_EQ(stderr_, "Error: OGL mode set, but detected no OpenGL hardware support!\n");
      EXPECT_EQ(releases(layer_.calls), (Lines{"ReleaseDC desktop desktop-dc", "FreeLibrary lib"}));
      EXPECT_FALSE(made(layer_.calls, "GetProcAddress"));
      EXPECT_TRUE(registry_.calls.empty());
    }
  }
}

TEST_F(OpenGLProbeTest, FirstAcceptableIndexIsUsedAndLaterOnesAreNotDescribed) {
  const PixelFormatDescriptor generic = format(0x65, 0, 32, 24);
  PixelFormatDescriptor other_hardware = kHardware;
  other_hardware.stencil_bits = 8;
  layer_.formats = {generic, generic, kHardware,      generic,
                    generic, generic, other_hardware, generic};
  probe();
  EXPECT_TRUE(made(layer_.calls, "DescribePixelFormat desktop-dc 3 40"));
  EXPECT_FALSE(made(layer_.calls, "DescribePixelFormat desktop-dc 4"));
  EXPECT_FALSE(made(layer_.calls, "DescribePixelFormat desktop-dc 7"));
  EXPECT_TRUE(made(layer_.calls, "SetPixelFormat window-dc 3 as described"));
}

TEST_F(OpenGLProbeTest, DescribePixelFormatFailingGivesTwoLines) {
  const std::string prefix =
      std::string("failing OGL Check: DescribePixelFormat returns 0, hWnd: 0x") +
      (sizeof(void*) == 8 ? "0000000000000000 hDC: 0x0000000000000022"
                          : "00000000 hDC: 0x00000022") +
      "  GetLastError=";
  const std::string no_hardware = "Error: OGL mode set, but detected no OpenGL hardware support!\n";
  struct Case {
    std::uint32_t code;
    std::string stderr_text;
  } cases[] = {
      {126, prefix + "ERROR_MOD_NOT_FOUND\n" + no_hardware},
      {2000, prefix + "2000\n" + no_hardware},
      {0, prefix + "0\n" + no_hardware},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    layer_.failures = {{"DescribePixelFormat", c.code}};
    probe();
    EXPECT_EQ(stderr_, c.stderr_text);
    EXPECT_EQ(releases(layer_.calls), (Lines{"ReleaseDC desktop desktop-dc", "FreeLibrary lib"}));
    EXPECT_TRUE(registry_.calls.empty());
  }
}

TEST_F(OpenGLProbeTest, EachFailureReportsItsLineAndReleasesWhatWasAcquired) {
  const Lines window_released = {"ReleaseDC desktop desktop-dc", "ReleaseDC window window-dc",
                                 "DestroyWindow window", "FreeLibrary lib"};
  const Lines after_scan = {"ReleaseDC desktop desktop-dc", "FreeLibrary lib"};
  struct Case {
    std::map<std::string, std::uint32_t> failures;
    std::set<std::string> missing;
    std::string stderr_text;
    Lines releases;
  } cases[] = {
      {{{"LoadLibraryA", 126}}, {}, "LoadLib ogl32.dll failed, err=126\n", {}},
      {{{"GetDC", 1400}}, {}, "failed to get desktop DC!, err=1400\n", {"FreeLibrary lib"}},
      {{},
       {"wglCreateContext"},
       "Error: GetProcAddr failed for wglCreateContext, err=127\n",
       after_scan},
      {{}, {"glGetString"}, "Error: GetProcAddr failed for glGetString, err=127\n", after_scan},
      {{{"RegisterClassA", 1410}},
       {},
       "OGL RegisterClass failed, err=1410\nError: failed to create OGL test window!\n",
       after_scan},
      {{{"CreateWindowExA", 1407}},
       {},
       "CreateWindow failed, err=1407\nError: failed to create OGL test window!\n",
       after_scan},
      {{{"wglCreateContext", 2000}},
       {},
       "Error: wglCreateContext failed, err=2000\n",
       window_released},
      {{{"wglMakeCurrent", 2004}},
       {},
       "Error: wglMakeCurrent failed, err=2004\n",
       {"ReleaseDC desktop desktop-dc", "wglMakeCurrent window-dc context",
        "wglMakeCurrent window-dc 0", "wglDeleteContext context", "ReleaseDC window window-dc",
        "DestroyWindow window", "FreeLibrary lib"}},
      // A window without a device context is destroyed without releasing one.
      {{{"GetDC window", 6}, {"SetPixelFormat", 6}, {"wglCreateContext", 6}},
       {},
       "OGL SetPixelFormat(1) failed, err=6\nError: wglCreateContext failed, err=6\n",
       {"ReleaseDC desktop desktop-dc", "DestroyWindow window", "FreeLibrary lib"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stderr_text);
    forget_opengl_window_class();
    layer_.failures = c.failures;
    layer_.missing_entry_points = c.missing;
    probe();
    EXPECT_EQ(stderr_, c.stderr_text);
    EXPECT_EQ(releases(layer_.calls), c.releases);
    EXPECT_FALSE(made(layer_.calls, "glGetString"));
    EXPECT_TRUE(registry_.calls.empty());
  }
}

TEST_F(OpenGLProbeTest, MissingEntryPointStopsTheLookups) {
  layer_.missing_entry_points = {"wglMakeCurrent"};
  probe();
  EXPECT_EQ(stderr_, "Error: GetProcAddr failed for wglMakeCurrent, err=127\n");
  EXPECT_TRUE(made(layer_.calls, "GetProcAddress lib wglMakeCurrent"));
  EXPECT_FALSE(made(layer_.calls, "GetProcAddress lib glGetString"));
  EXPECT_FALSE(made(layer_.calls, "GetModuleHandleA"));
  EXPECT_FALSE(made(layer_.calls, "CreateWindowExA"));
}

TEST_F(OpenGLProbeTest, FailuresThatLetTheProbeGoOn) {
  struct Case {
    std::map<std::string, std::uint32_t> failures;
    std::string stderr_text;
    std::string instance;
  } cases[] = {
      {{{"GetModuleHandleA", 126}}, "GetModuleHandle() failed, err=126\n", "instance=0"},
      {{{"SetPixelFormat", 2000}}, "OGL SetPixelFormat(5) failed, err=2000\n", "instance=module"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stderr_text);
    forget_opengl_window_class();
    layer_.formats = {format(0x65, 0, 32, 24), format(0x65, 0, 32, 24), format(0x65, 0, 32, 24),
                      format(0x65, 0, 32, 24), kHardware};
    layer_.failures = c.failures;
    probe();
    EXPECT_EQ(stderr_, c.stderr_text);
    EXPECT_TRUE(made(layer_.calls, "RegisterClassA style=0x20 extra=0,0 " + c.instance));
    EXPECT_TRUE(made(layer_.calls, "wglCreateContext window-dc"));
    EXPECT_EQ(registry_.calls.size(), 3u);
  }
}

TEST_F(OpenGLProbeTest, AbsentStringsKeepTheirValuesAndEmptyOnesAreWritten) {
  struct Case {
    std::map<std::uint32_t, std::string> strings;
    Lines writes;
  } cases[] = {
      {{{kGlVendor, "V"}, {kGlVersion, "1.1"}},
       {"string OGLVendor \"V\" 1", "string OGLVersion \"1.1\" 3"}},
      {{{kGlVendor, ""}, {kGlRenderer, "R"}, {kGlVersion, ""}},
       {"string OGLVendor \"\" 0", "string OGLRenderer \"R\" 1", "string OGLVersion \"\" 0"}},
      {{}, {}},
  };
  for (const Case& c : cases) {
    registry_.put_data(kProductKeyPath, "OGLRenderer", std::string("earlier\0", 8));
    layer_.gl_strings = c.strings;
    probe();
    EXPECT_EQ(stderr_, "");
    EXPECT_EQ(registry_.calls, c.writes);
    if (!c.strings.count(kGlRenderer)) {
      EXPECT_EQ(registry_.data(kProductKeyPath, "OGLRenderer"), std::string("earlier\0", 8));
    }
  }
}

TEST_F(OpenGLProbeTest, TestWindowClassIsRegisteredOncePerProcess) {
  const PixelFormatDescriptor descriptor = kHardware;
  DeviceContext dc = 1;
  layer_.formats = {kHardware};
  EXPECT_EQ(OpenGLTestWindow(layer_, "first", 1, descriptor, 1, 2, 3, 4, &dc),
            RecordingOpenGLLayer::kWindow);
  EXPECT_EQ(dc, RecordingOpenGLLayer::kWindowDc);
  layer_.calls.clear();
  EXPECT_EQ(OpenGLTestWindow(layer_, "second", 1, descriptor, 1, 1, 1, 1, &dc),
            RecordingOpenGLLayer::kWindow);
  EXPECT_EQ(layer_.calls,
            (Lines{"CreateWindowExA 0x0 Test_OpenGLWndClass second 0xecf0000 at 1,1 size 1x1 "
                   "parent=0 menu=0 instance=module param=null",
                   "GetDC window", "SetLastError 0", "SetPixelFormat window-dc 1 as described"}));

  forget_opengl_window_class();
  layer_.calls.clear();
  layer_.failures = {{"CreateWindowExA", 1407}};
  {
    CaptureStderr err;
    EXPECT_EQ(OpenGLTestWindow(layer_, "third", 1, descriptor, 1, 1, 1, 1, &dc), 0u);
    EXPECT_EQ(err.text(), "CreateWindow failed, err=1407\n");
  }
  EXPECT_EQ(dc, 0u);
  EXPECT_TRUE(made(layer_.calls, "RegisterClassA"));
}

TEST_F(OpenGLProbeTest, DisplayRecordWritesTheProbeValuesBeforeTheInterface) {
  struct Case {
    bool library_loads;
    Lines writes;
  } cases[] = {
      {true,
       {"open SOFTWARE\\Corvane\\Corvane Online\\Zindara write -> ok", "dword UsingWindowedMode 1",
        "string LastScreenSize \"1024x768\" 8", "string OGLVendor \"Vendor\" 6",
        "string OGLRenderer \"Renderer\" 8", "string OGLVersion \"4.6\" 3", "dword GfxApiUsed 1",
        "close"}},
      {false,
       {"open SOFTWARE\\Corvane\\Corvane Online\\Zindara write -> ok", "dword UsingWindowedMode 1",
        "string LastScreenSize \"1024x768\" 8", "dword GfxApiUsed 1", "close"}},
  };
  for (const Case& c : cases) {
    forget_opengl_window_class();
    registry_.calls.clear();
    layer_.failures.clear();
    if (!c.library_loads) layer_.failures["LoadLibraryA"] = 126;
    CaptureStderr err;
    EXPECT_TRUE(write_display_record(registry_, true, 1024, 768, 0, [&](RegistryKey key) {
      OpenGLProbe(layer_, registry_, key);
    }));
    EXPECT_EQ(registry_.calls, c.writes);
  }
}

}  // namespace
