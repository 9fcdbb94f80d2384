// A stand-in for the browser's control cache service, loaded by prefgen.exe
// under Wine in the black-box tests. RemoveControlByName appends its
// arguments as one line to the file that PREFGEN_OCCACHE_LOG names, then
// deletes the file it was given, unless PREFGEN_OCCACHE_KEEP is set (a
// service that leaves the control in place).
//
// A log line holds the five arguments separated by tabs: the path, the class
// identifier, the third argument ("<null>" when it is a null pointer, else
// its text between quotes) and the two flags in decimal.

#include <windows.h>

namespace {

void append(char* line, size_t& used, size_t size, const char* text) {
  while (*text && used + 1 < size) line[used++] = *text++;
  line[used] = '\0';
}

void append_number(char* line, size_t& used, size_t size, long value) {
  char digits[24];
  char* end = digits + sizeof digits;
  char* p = end;
  *--p = '\0';
  unsigned long magnitude = value < 0 ? 0UL - static_cast<unsigned long>(value)
                                      : static_cast<unsigned long>(value);
  do {
    *--p = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude);
  if (value < 0) *--p = '-';
  append(line, used, size, p);
}

void log_call(const char* path, const char* clsid, const char* type_lib, BOOL force,
              BOOL is_dist_unit) {
  char log_path[MAX_PATH];
  DWORD length = GetEnvironmentVariableA("PREFGEN_OCCACHE_LOG", log_path, sizeof log_path);
  if (length == 0 || length >= sizeof log_path) return;

  char line[2048];
  size_t used = 0;
  line[0] = '\0';
  append(line, used, sizeof line, path ? path : "<null>");
  append(line, used, sizeof line, "\t");
  append(line, used, sizeof line, clsid ? clsid : "<null>");
  append(line, used, sizeof line, "\t");
  if (type_lib) {
    append(line, used, sizeof line, "\"");
    append(line, used, sizeof line, type_lib);
    append(line, used, sizeof line, "\"");
  } else {
    append(line, used, sizeof line, "<null>");
  }
  append(line, used, sizeof line, "\t");
  append_number(line, used, sizeof line, force);
  append(line, used, sizeof line, "\t");
  append_number(line, used, sizeof line, is_dist_unit);
  append(line, used, sizeof line, "\n");

  HANDLE log = CreateFileA(log_path, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (log == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(log, line, static_cast<DWORD>(used), &written, nullptr);
  CloseHandle(log);
}

}  // namespace

extern "C" __declspec(dllexport) HRESULT WINAPI RemoveControlByName(LPCSTR path, LPCSTR clsid,
                                                                    LPCSTR type_lib, BOOL force,
                                                                    BOOL is_dist_unit) {
  log_call(path, clsid, type_lib, force, is_dist_unit);
  if (GetEnvironmentVariableA("PREFGEN_OCCACHE_KEEP", nullptr, 0) != 0) return S_OK;
  if (!path || !DeleteFileA(path)) return HRESULT_FROM_WIN32(GetLastError());
  return S_OK;
}
