#include <iostream>

#include "driver/run.h"

int main(int argc, char** argv) {
  std::unique_ptr<Registry> registry = make_system_registry();
  Platform platform{*registry, [](RegistryKey) {},
                    [](const char* control_file, const char*) {
                      std::cerr << "Error uninstalling " << control_file << "!\n";
                      return false;
                    }};
  return run(std::vector<std::string>(argv + 1, argv + argc), std::cout, platform);
}
