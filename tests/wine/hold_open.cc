// Holds a file open without sharing it, so that no other process can open it,
// until its standard input ends: the black-box tests' file that exists but
// cannot be opened. Writes "held" on a line of its own once it holds the file.

#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: hold_open FILE\n");
    return 2;
  }
  HANDLE file = CreateFileA(argv[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "cannot open %s: error %lu\n", argv[1], GetLastError());
    return 1;
  }
  std::puts("held");
  std::fflush(stdout);
  HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  char buffer[256];
  DWORD count = 0;
  while (ReadFile(input, buffer, sizeof buffer, &count, nullptr) && count > 0) {
  }
  CloseHandle(file);
  return 0;
}
