#include "document/resolution_table.h"

const ScreenSize ResolutionTable[5] = {
    {640, 480}, {800, 600}, {1024, 768}, {1280, 1024}, {1600, 1200},
};

ScreenSize screen_size_for(std::int32_t res) {
  if (res < 0 || res > 4) res = 1;
  return ResolutionTable[res];
}
