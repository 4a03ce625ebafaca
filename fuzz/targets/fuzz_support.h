// What the fuzz targets share: a temporary file for readers that take a path, a byte reader for the
// targets driven by a stream of calls, and the host the linked module is bound to.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "model/host.h"

namespace vfuzz {

// Writes the bytes to this process's temporary file with the given extension and returns its path.
std::string WriteTemporary(const uint8_t *data, size_t size, const char *extension);

// Takes values off the front of the input; past its end every value is 0.
class Bytes {
public:
    Bytes(const uint8_t *data, size_t size) : data_(data), left_(size) {}
    bool empty() const { return left_ == 0; }
    uint8_t byte() {
        if (left_ == 0) return 0;
        --left_;
        return *data_++;
    }
    template <class T>
    T raw() {
        unsigned char buffer[sizeof(T)] = {};
        for (unsigned char &b : buffer) b = byte();
        T value;
        std::memcpy(&value, buffer, sizeof value);
        return value;
    }

private:
    const uint8_t *data_;
    size_t left_;
};

// One host for the whole process, with the linked module's copy entered into it on first use.
vhost::Host &LinkedHost();

// Stops the process: the target found a broken rule.
[[noreturn]] void Broken(const char *rule);

}  // namespace vfuzz
