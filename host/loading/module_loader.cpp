#include "loading/module_loader.h"

#include <cstdio>
#include <filesystem>
#include <stdexcept>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>
#endif

#include "services/find_service.h"

namespace vhost {

namespace {

using ApiFn = int32_t();
using EntryFn = int32_t(char *, KorrinFindFunction, int32_t, uint64_t);
using ExitFn = void();

unsigned long ProcessId() {
#if defined(_WIN32)
    return GetCurrentProcessId();
#else
    return static_cast<unsigned long>(::getpid());
#endif
}

// A file of its own per load: both loaders hand back the instance already loaded from the same file.
std::string PrivateCopyOf(const std::string &path) {
    namespace fs = std::filesystem;
    static int counter = 0;
    const fs::path copy = fs::temp_directory_path() / ("vantic-module-" + std::to_string(ProcessId()) + "-" +
                                                       std::to_string(++counter) + fs::path(path).extension().string());
    fs::copy_file(path, copy, fs::copy_options::overwrite_existing);
    return copy.string();
}

}  // namespace

LoadedModule::LoadedModule(bool privateCopy, const std::string &path) {
    const std::string file = privateCopy ? (copyPath_ = PrivateCopyOf(path)) : path;
#if defined(_WIN32)
    library_ = reinterpret_cast<void *>(LoadLibraryA(file.c_str()));
    if (!library_) {
        const unsigned long error = GetLastError();
        if (!copyPath_.empty()) std::filesystem::remove(copyPath_);
        throw std::runtime_error("cannot load module " + file + ": error " + std::to_string(error));
    }
#else
    library_ = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library_) {
        const std::string error = dlerror();
        if (!copyPath_.empty()) std::filesystem::remove(copyPath_);
        throw std::runtime_error("cannot load module " + file + ": " + error);
    }
#endif
}

LoadedModule::~LoadedModule() {
#if defined(_WIN32)
    FreeLibrary(reinterpret_cast<HMODULE>(library_));
#else
    dlclose(library_);
#endif
    if (!copyPath_.empty()) std::filesystem::remove(copyPath_);
}

void *LoadedModule::symbol(const char *name) const {
#if defined(_WIN32)
    void *address = reinterpret_cast<void *>(GetProcAddress(reinterpret_cast<HMODULE>(library_), name));
#else
    void *address = dlsym(library_, name);
#endif
    if (!address) throw std::runtime_error(std::string("module lacks the export ") + name);
    return address;
}

int32_t LoadedModule::api() const { return reinterpret_cast<ApiFn *>(symbol("korrinAPI"))(); }

int32_t LoadedModule::entry(Host &host) {
    return reinterpret_cast<EntryFn *>(symbol("korrinEntry"))(nameBuffer, &FindService, host.version,
                                                                host.kind);
}

void LoadedModule::exit() const { reinterpret_cast<ExitFn *>(symbol("korrinExit"))(); }

}  // namespace vhost
