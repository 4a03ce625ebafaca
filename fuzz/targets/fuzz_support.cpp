#include "fuzz_support.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "services/find_service.h"

extern "C" int32_t korrinEntry(char *nameBuffer, KorrinFindFunction findFunction, int32_t hostVersion,
                               uint64_t hostKind);

namespace vfuzz {

std::string WriteTemporary(const uint8_t *data, size_t size, const char *extension) {
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("vantic-fuzz-" + std::to_string(::getpid()) + extension))
                                 .string();
    FILE *file = std::fopen(path.c_str(), "wb");
    if (!file) Broken("cannot write the temporary file");
    if (size) std::fwrite(data, 1, size, file);
    std::fclose(file);
    return path;
}

vhost::Host &LinkedHost() {
    static vhost::Host *host = [] {
        auto *h = new vhost::Host();
        char name[256] = {};
        if (korrinEntry(name, &vhost::FindService, h->version, h->kind) != 0) Broken("the module did not enter");
        return h;
    }();
    return *host;
}

void Broken(const char *rule) {
    std::fprintf(stderr, "fuzz: broken rule: %s\n", rule);
    std::abort();
}

}  // namespace vfuzz
