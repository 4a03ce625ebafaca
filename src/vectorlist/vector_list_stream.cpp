#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

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

// Hands text[0, size) to the host as the string of part `part`. text[size] must be writable: it
// holds the terminator for the call and gets its character back afterwards.
void SaveChunk(const char *name, int64_t part, char *text, size_t size, KorrinHandle stream) {
    char key[256];
    MakeKey(key, name, part);
    const char kept = text[size];
    text[size] = 0;
    FX(fxArgSaveString)(stream, key, text, KORRIN_ARG_SAVE_FLAGS);
    text[size] = kept;
}

// The length under "name_0", then the text in chunks under "name_1", "name_2", ... The text is written
// a block at a time and handed over chunk by chunk, never held whole: its length, which goes first,
// is worked out beforehand. A length of 0 (an empty or all-zero list, or a text too long for the
// length field) stores the length only.
void SaveList(const char *name, const double *vectors, int32_t count, KorrinHandle stream) {
    bool anyNonZero = false;
    int64_t length = vectors && count > 0 ? vantic::VectorListTextLength(vectors, count, &anyNonZero) : 0;
    if (!anyNonZero || length > INT32_MAX) length = 0;
    const int64_t chunks = (length + kChunk - 1) / kChunk;
    char key[256];
    if (!MakeKey(key, name, chunks)) return;
    MakeKey(key, name, 0);
    FX(fxArgSaveInt)(stream, key, static_cast<int32_t>(length), KORRIN_ARG_SAVE_FLAGS);
    if (length == 0) return;
    char block[16384];
    size_t filled = 0;
    int64_t part = 0;
    bool unused = false;
    for (int32_t next = 0; next < count;) {
        // one character kept back for a chunk's terminator
        filled = static_cast<size_t>(
            vantic::WriteVectorListText(block + filled, block + sizeof block - 1, vectors, count, &next, &unused) -
            block);
        size_t taken = 0;
        for (; filled - taken >= static_cast<size_t>(kChunk); taken += kChunk)
            SaveChunk(name, ++part, block + taken, kChunk, stream);
        std::memmove(block, block + taken, filled - taken);
        filled -= taken;
    }
    if (filled > 0) SaveChunk(name, ++part, block, filled, stream);
}

// Contract: a stream that lacks this many chunks in a row holds no more of the list. A saved list has
// no missing chunk at all; the limit only keeps a damaged or hostile length (up to 2^31 characters,
// 2.1 million chunks) from costing a host look-up per chunk it names.
constexpr int64_t kMissingChunkRun = 1024;

// A text loaded from the stream, in memory of its own.
struct LoadedText {
    char *data = nullptr;
    size_t size = 0;
    size_t capacity = 0;
    LoadedText() = default;
    LoadedText(const LoadedText &) = delete;
    LoadedText &operator=(const LoadedText &) = delete;
    ~LoadedText() { std::free(data); }
    // Room for one more chunk as a host may write it (kChunk characters, the terminator and one more
    // for a host that also counts the terminator out of maxLength). False when out of memory.
    bool MakeRoom(int32_t length);
};

// Room for the whole stored length at the first chunk, so the text is never copied as it grows; a
// length beyond kEagerText (a damaged or hostile one) is met by doubling as the chunks arrive.
constexpr size_t kEagerText = size_t{64} << 20;
constexpr size_t kChunkRoom = kChunk + 2;

bool LoadedText::MakeRoom(int32_t length) {
    if (size + kChunkRoom <= capacity) return true;
    const size_t stored = static_cast<size_t>(length);
    size_t wanted = capacity == 0 ? std::min(stored, kEagerText) : std::min(2 * capacity, stored);
    wanted = std::max(wanted + kChunkRoom, size + kChunkRoom);
    char *grown = static_cast<char *>(std::realloc(data, wanted));
    if (!grown) return false;
    data = grown;
    capacity = wanted;
    return true;
}

// The stored text, at most length characters: the chunks the length calls for are read and appended
// in order; a missing chunk reads as empty, and a run of kMissingChunkRun of them ends the text. Each
// chunk is read in place at the end of the text. False when out of memory.
bool LoadText(const char *name, int32_t length, KorrinHandle stream, LoadedText &text) {
    const int64_t chunks = (static_cast<int64_t>(length) + kChunk - 1) / kChunk;
    char key[256];
    int64_t missing = 0;
    for (int64_t i = 1; i <= chunks && missing < kMissingChunkRun; ++i) {
        if (!MakeKey(key, name, i)) break;
        if (!text.MakeRoom(length)) return false;
        char *chunk = text.data + text.size;
        chunk[0] = 0;
        FX(fxArgLoadString)(stream, key, chunk, kChunk + 1);
        chunk[kChunk + 1] = 0;
        text.size += std::min(strnlen(chunk, kChunk), static_cast<size_t>(length) - text.size);
        // Saved chunks are never empty: an empty one is missing, whatever the host answered.
        missing = chunk[0] == 0 ? missing + 1 : 0;
    }
    return true;
}

}  // namespace

void vantic_SaveVectorList(const char *name, const double *vectors, int32_t count, KorrinHandle stream) {
    if (name) SaveList(name, vectors, count, stream);
}

double *vantic_LoadVectorList(const char *name, int32_t *count, KorrinHandle stream) {
    if (!count) return nullptr;
    int32_t loaded = 0;
    double *vectors = nullptr;
    char key[256];
    if (name && MakeKey(key, name, 0)) {
        int32_t length = 0;
        FX(fxArgLoadInt)(stream, key, &length);
        LoadedText text;
        if (length > 0 && LoadText(name, length, stream, text)) {
            const std::string_view view(text.data, text.size);
            loaded = vantic::VectorListTextCount(view);
            if (loaded > 0) {
                vectors = static_cast<double *>(std::calloc(3 * static_cast<size_t>(loaded), sizeof(double)));
                if (vectors)
                    vantic::ParseVectorListText(view, vectors, loaded);
                else
                    loaded = 0;
            }
        }
    }
    *count = loaded;
    return vectors;
}
