#include <dlfcn.h>

#include <string>

#include "platform/host.h"

namespace qf {

void* Host::loadLibrary(std::string_view path) { return dlopen(std::string(path).c_str(), RTLD_NOW | RTLD_LOCAL); }

void* Host::findSymbol(void* library, std::string_view name) {
    return library ? dlsym(library, std::string(name).c_str()) : nullptr;
}

void Host::freeLibrary(void* library) {
    if (library) dlclose(library);
}

}  // namespace qf
