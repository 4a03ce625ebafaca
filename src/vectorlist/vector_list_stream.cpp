#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "binding/host_table.h"
#include "vectorlist/vector_list.h"
#include "vectorlist/vector_list_text.h"

namespace {

// Contract: saved scenes hold the list as parts of this size under these keys; loading older scenes
// depends on both.
constexpr int32_t kChunk = 1023;  // characters per stored string

// The key of part i of the list: "name_i". False when it does not fit the 256-byte key buffer; the
// list is then neither saved nor loaded, since a cut key could name another part.
bool MakeKey(char (&key)[256], const char *name, int64_t part) {
    const int written = std::snprintf(key, sizeof key, "%s_%lld", name, static_cast<long long>(part));
    return written >= 0 && static_cast<size_t>(written) < sizeof key;
}

void SaveText(const char *name, const std::string &text, KorrinHandle stream) {
    const int64_t length = static_cast<int64_t>(text.size());
    const int64_t chunks = (length + kChunk - 1) / kChunk;
    char key[256];
    if (!MakeKey(key, name, chunks)) return;
    MakeKey(key, name, 0);
    FX(fxArgSaveInt)(stream, key, static_cast<int32_t>(length), KORRIN_ARG_SAVE_FLAGS);
    char chunk[kChunk + 1];
    for (int64_t i = 1; i <= chunks; ++i) {
        const size_t begin = static_cast<size_t>((i - 1) * kChunk);
        const size_t size = std::min(text.size() - begin, static_cast<size_t>(kChunk));
        std::memcpy(chunk, text.data() + begin, size);
        chunk[size] = 0;
        MakeKey(key, name, i);
        FX(fxArgSaveString)(stream, key, chunk, KORRIN_ARG_SAVE_FLAGS);
    }
}

// Contract: a stream that lacks this many chunks in a row holds no more of the list. A saved list has
// no missing chunk at all; the limit only keeps a damaged or hostile length (up to 2^31 characters,
// 2.1 million chunks) from costing a host look-up per chunk it names.
constexpr int64_t kMissingChunkRun = 1024;

// The stored text, at most length characters: the chunks the length calls for are read and appended
// in order; a missing chunk reads as empty, and a run of kMissingChunkRun of them ends the text.
std::string LoadText(const char *name, int32_t length, KorrinHandle stream) {
    std::string text;
    const int64_t chunks = (static_cast<int64_t>(length) + kChunk - 1) / kChunk;
    char key[256];
    char chunk[kChunk + 2];  // room for a host that also counts the terminator out of maxLength
    int64_t missing = 0;
    for (int64_t i = 1; i <= chunks && missing < kMissingChunkRun; ++i) {
        if (!MakeKey(key, name, i)) break;
        chunk[0] = 0;
        FX(fxArgLoadString)(stream, key, chunk, kChunk + 1);
        chunk[kChunk + 1] = 0;
        const size_t size = std::min(strnlen(chunk, kChunk), static_cast<size_t>(length) - text.size());
        text.append(chunk, size);
        // Saved chunks are never empty: an empty one is missing, whatever the host answered.
        missing = chunk[0] == 0 ? missing + 1 : 0;
    }
    return text;
}

}  // namespace

void vantic_SaveVectorList(const char *name, const double *vectors, int32_t count, KorrinHandle stream) {
    if (!name) return;
    std::string text;
    bool anyNonZero = false;
    try {
        if (vectors && count > 0) anyNonZero = vantic::AppendVectorListText(text, vectors, count);
    } catch (const std::bad_alloc &) {
        anyNonZero = false;
    }
    // An empty or all-zero list, or one whose text is too long for the length field, stores 0 only.
    if (!anyNonZero || text.size() > static_cast<size_t>(INT32_MAX)) text.clear();
    SaveText(name, text, stream);
}

double *vantic_LoadVectorList(const char *name, int32_t *count, KorrinHandle stream) {
    if (!count) return nullptr;
    int32_t loaded = 0;
    double *vectors = nullptr;
    char key[256];
    if (name && MakeKey(key, name, 0)) {
        int32_t length = 0;
        FX(fxArgLoadInt)(stream, key, &length);
        if (length > 0) {
            try {
                const std::string text = LoadText(name, length, stream);
                loaded = vantic::VectorListTextCount(text);
                if (loaded > 0) {
                    vectors = static_cast<double *>(std::calloc(3 * static_cast<size_t>(loaded), sizeof(double)));
                    if (vectors)
                        vantic::ParseVectorListText(text, vectors, loaded);
                    else
                        loaded = 0;
                }
            } catch (const std::bad_alloc &) {
                std::free(vectors);
                vectors = nullptr;
                loaded = 0;
            }
        }
    }
    *count = loaded;
    return vectors;
}
