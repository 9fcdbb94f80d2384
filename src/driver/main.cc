#include <iostream>

#include "driver/run.h"
#include "platform/activex_remover.h"
#include "platform/control_cache_layer.h"
#include "platform/opengl_layer.h"
#include "platform/opengl_probe.h"

int main(int argc, char** argv) {
  std::unique_ptr<Registry> registry = make_system_registry();
  std::unique_ptr<OpenGLLayer> opengl = make_system_opengl_layer();
  std::unique_ptr<ControlCacheLayer> control_cache = make_system_control_cache_layer();
  Platform platform{*registry, [&](RegistryKey key) { OpenGLProbe(*opengl, *registry, key); },
                    [&](const char* control_file, const char* class_id) {
                      return ActiveXRemover(*registry, *control_cache, control_file, class_id);
                    }};
  return run(std::vector<std::string>(argv + 1, argv + argc), std::cout, platform);
}
