// Vector lists: the text form against printf's "%f", the keys, chunks and flags the save writes (seen
// through a recording argument stream on the linked module), loads of damaged streams, and a round
// trip through a scene file on disk into a fresh host with the loaded module.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "binding/host_table.h"
#include "linked_module.h"
#include "loading/plugin_host.h"
#include "model/host.h"
#include "model/scene_file.h"
#include "vanticAPI.h"
#include "vectorlist/vector_list.h"
#include "vectorlist/vector_list_text.h"

namespace {

using Vectors = std::vector<double>;  // 3 per vector

constexpr double kInf = std::numeric_limits<double>::infinity();

std::string Text(const Vectors &v) {
    std::string text;
    vantic::AppendVectorListText(text, v.data(), static_cast<int32_t>(v.size() / 3));
    return text;
}

// What printf's "%f/" gives, and what atof reads back from it: the oracle for every finite component.
std::string PrintfNumber(double v) {
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%f/", v);
    return buffer;
}

double Rounded(double v) {
    if (v == 0.0 || !std::isfinite(v)) return v;
    return std::atof(PrintfNumber(v).c_str());
}

TEST(VectorListText, ExampleTextAndCount) {
    const Vectors list = {1, 0, 0, 0, 0, 0, 0, 2.5, -3};
    const std::string text = Text(list);
    EXPECT_EQ(text, "1.000000/zzZz2.500000/-3.000000/");
    EXPECT_EQ(text.size(), 32u);
    EXPECT_EQ(vantic::VectorListTextCount(text), 3);
    Vectors back(9, 0.0);
    vantic::ParseVectorListText(text, back.data(), 3);
    EXPECT_EQ(back, list);
}

TEST(VectorListText, ZeroComponentsAndAllZeroVectors) {
    bool anyNonZero = true;
    std::string text;
    const Vectors zeros = {0, -0.0, 0, 0, 0, 0};
    anyNonZero = vantic::AppendVectorListText(text, zeros.data(), 2);
    EXPECT_EQ(text, "ZZ");
    EXPECT_FALSE(anyNonZero);
    EXPECT_EQ(Text({-0.0, 1, 0}), "z1.000000/z");
}

// Every finite component is written as printf's "%f/" would write it (whole, however long), and reads
// back as atof reads that text.
TEST(VectorListText, NumbersAreWrittenAsPrintfWritesThem) {
    std::vector<double> values = {1.23456789, 0.0000001, -0.0000001, 0.0000005, 0.0000015, 0.0000025, 2.5e-7,
                                  1e10, -1e10, 123456789012.5, 1e100, 1e300, DBL_MAX, -DBL_MAX, DBL_MIN,
                                  4.9406564584124654e-324, 0.1, 0.5, 1.0000005, 999999.9999995,
                                  // exact ties on the sixth decimal (odd multiples of 2^-7), rounded to even
                                  0.0078125, -0.0234375, 0.9921875, 12345.9921875, 0x1p45 + 0x1p-7,
                                  // the edges of the integer part's 64 bits and of exact integers
                                  0x1p63, -0x1p63, 0x1p63 - 1024, 0x1p64, 0x1p53 + 2, 0x1p53 - 1,
                                  // just either side of half a unit of the sixth decimal; a carry into
                                  // the integer part
                                  std::nextafter(5e-7, 0.0), std::nextafter(5e-7, 1.0), -std::nextafter(5e-7, 1.0),
                                  std::nextafter(0.9999995, 2.0), -std::nextafter(41.9999995, 50.0)};
    std::mt19937_64 random(5);
    std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
    std::uniform_int_distribution<int> exponent(-12, 30);
    for (int i = 0; i < 2000; ++i) values.push_back(std::ldexp(mantissa(random), 3 * exponent(random)));
    // Within a hair of half a unit of the sixth decimal, on either side, at every magnitude.
    std::uniform_int_distribution<int64_t> units(0, 999999999999);
    for (int i = 0; i < 2000; ++i) {
        const double nearHalf = (static_cast<double>(units(random) % 100000000) + 0.5) / 1e6;
        values.push_back(i % 2 ? nearHalf : -std::nextafter(nearHalf, i % 4 ? 0.0 : 1e9));
    }
    for (double v : values) {
        if (v == 0.0) continue;
        const std::string text = Text({v, 0, 0});
        ASSERT_EQ(text, PrintfNumber(v) + "zz") << v;
        Vectors back(3, 0.0);
        vantic::ParseVectorListText(text, back.data(), 1);
        ASSERT_EQ(back[0], Rounded(v)) << v;
    }
    EXPECT_EQ(Rounded(1.23456789), 1.234568);
    EXPECT_GT(PrintfNumber(-DBL_MAX).size(), 300u);
}

TEST(VectorListText, NonFiniteComponentsRoundTrip) {
    const Vectors list = {kInf, -kInf, std::nan(""), -std::nan(""), 1, 0};
    const std::string text = Text(list);
    EXPECT_EQ(text, "inf/-inf/nan/nan/1.000000/z");
    Vectors back(6, 0.0);
    vantic::ParseVectorListText(text, back.data(), 2);
    EXPECT_EQ(back[0], kInf);
    EXPECT_EQ(back[1], -kInf);
    EXPECT_TRUE(std::isnan(back[2]));
    EXPECT_TRUE(std::isnan(back[3]));
    EXPECT_EQ(back[4], 1.0);
    EXPECT_EQ(back[5], 0.0);
}

// C99's reading of a number's text: glibc's atof; on Windows, whose runtime's atof reads hexadecimal,
// infinity and not-a-number text as 0, mingw-w64's own C99 strtod.
double C99Atof(const char *text) {
#if defined(__MINGW32__)
    char *end = nullptr;
    const double value = __mingw_strtod(text, &end);
    return end == text ? 0.0 : value;  // no number: 0 (mingw-w64 gives "-" a negative zero)
#else
    return std::atof(text);
#endif
}

// Every number is read as C99's atof reads its text, to the sign of a zero: the short decimals the
// writer produces as well as longer, exponent, hexadecimal and malformed forms.
TEST(VectorListText, NumbersAreReadAsAtofReadsThem) {
    const char *numbers[] = {"-0.000000", "0.000000", "1.5", "-3.250000", "123456789.012345", "1234567890.123456",
                             "9007199254740993", "900719925474099.3", "0.1", ".5", "5.", "-.5", "-", ".", "1e5",
                             "1E-3", "-inf", "nan", "0x1p3", "+3", "00000000000000000000001.5",
                             "0.0000000000000000000001", "0.000000000000000000000000001", "1.2.3", "--1", "7e",
                             "179769313486231570000000000000000000000000000000000000000000000000000000000000000000"
                             "000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
                             "000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
                             "00000000000000000000000000000000000000000000000000000000000.000000"};
    for (const char *number : numbers) {
        SCOPED_TRACE(number);
        const std::string text = std::string(number) + "/zz";
        Vectors back(3, 1.0);
        vantic::ParseVectorListText(text, back.data(), 1);
        const double expected = C99Atof(number);
        if (std::isnan(expected)) {  // runtimes differ in a not-a-number's payload, not in its sign
            EXPECT_TRUE(std::isnan(back[0]));
            EXPECT_EQ(std::signbit(back[0]), std::signbit(expected));
        } else {
            EXPECT_EQ(std::memcmp(&back[0], &expected, sizeof expected), 0) << back[0] << " vs " << expected;
        }
    }
}

struct ParseCase {
    const char *text;
    int32_t count;
    Vectors values;
};

// Reading text that is not in the written form: counting and parsing rules only, never a write
// outside the array.
TEST(VectorListText, ReadsAnyTextByTheCountingRules) {
    const std::string overlong = std::string(400, '0') + "1.5/z7/";  // the number is cut after 320 characters
    const ParseCase cases[] = {
        {"1.5x/2/3/", 1, {1.5, 2, 3}},           // stray characters join the next number
        {"1/2/3/4/5/", 1, {1, 2, 3}},            // a trailing part vector is dropped
        {"1/2/3/Z", 2, {1, 2, 3, 0, 0, 0}},      //
        {"zZ1/2/", 2, {0, 0, 0, 0, 1, 2}},       // "Z" counts 3 wherever it stands
        {"12z/3/4/", 1, {0, 0, 3}},              // "z" drops a number in progress; "/" then reads ""
        {"//Z/", 2, {0, 0, 0, 0, 0, 0}},         // an empty number is atof("") = 0; past the end: dropped
        {" 2/+3/0x10/", 1, {2, 3, 16}},          // whatever atof reads
        // ... as C99 reads it, whichever C runtime the module runs on
        {" inf/\t-0x1p3x/ 1e400x/", 1, {kInf, -8, kInf}},
        {"infinityx/+0x.8/-1e-400x/", 1, {kInf, 0.5, 0}},
        {"--1/0x/-1e99999999999999999999/", 1, {0, 0, -kInf}},
        {"00.00012e4x/0x00.01p12x/1e-320x/", 1, {1.2, 16, 1e-320}},
        {overlong.c_str(), 1, {0, 0, 7}},
    };
    for (const ParseCase &c : cases) {
        SCOPED_TRACE(c.text);
        ASSERT_EQ(vantic::VectorListTextCount(c.text), c.count);
        Vectors back(3 * static_cast<size_t>(c.count), 0.0);
        vantic::ParseVectorListText(c.text, back.data(), c.count);
        EXPECT_EQ(back, c.values);
    }
}

// ---- the argument stream, recorded: the linked module's host table with four services replaced ----

struct Call {
    std::string service, key, value;
    uint32_t flags;
};

struct RecordedStream {
    std::vector<Call> calls;
    std::map<std::string, int32_t> ints;
    std::map<std::string, std::string> strings;
    std::vector<int32_t> loadLengths;  // the maxLength of every string load
};

RecordedStream *g_stream = nullptr;
constexpr KorrinHandle kStream = 0x123456789ull;

int32_t RecordSaveInt(KorrinHandle stream, const char *key, int32_t value, uint32_t flags) {
    EXPECT_EQ(stream, kStream);
    g_stream->calls.push_back({"int", key, std::to_string(value), flags});
    g_stream->ints[key] = value;
    return 1;
}

int32_t RecordSaveString(KorrinHandle stream, const char *key, const char *value, uint32_t flags) {
    EXPECT_EQ(stream, kStream);
    g_stream->calls.push_back({"string", key, value, flags});
    g_stream->strings[key] = value;
    return 1;
}

int32_t ReplayLoadInt(KorrinHandle, const char *key, int32_t *value) {
    auto it = g_stream->ints.find(key);
    *value = it == g_stream->ints.end() ? 0 : it->second;
    return it != g_stream->ints.end();
}

// Fills the whole buffer the caller declared: maxLength - 1 characters and the terminator.
int32_t ReplayLoadString(KorrinHandle, const char *key, char *buffer, int32_t maxLength) {
    g_stream->loadLengths.push_back(maxLength);
    auto it = g_stream->strings.find(key);
    const std::string text = it == g_stream->strings.end() ? "" : it->second;
    const size_t n = std::min(text.size(), static_cast<size_t>(maxLength - 1));
    std::memcpy(buffer, text.data(), n);
    buffer[n] = 0;
    return it != g_stream->strings.end();
}

class VectorListStream : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(BindLinkedModule(host), VANTIC_ENTRY_LOADED);
        for (int i = 0; i < 4; ++i) saved[i] = vantic::g_hostSlots[kSlots[i]];
        vantic::g_hostSlots[vantic::HostSlot_fxArgSaveInt] = reinterpret_cast<void *>(&RecordSaveInt);
        vantic::g_hostSlots[vantic::HostSlot_fxArgSaveString] = reinterpret_cast<void *>(&RecordSaveString);
        vantic::g_hostSlots[vantic::HostSlot_fxArgLoadInt] = reinterpret_cast<void *>(&ReplayLoadInt);
        vantic::g_hostSlots[vantic::HostSlot_fxArgLoadString] = reinterpret_cast<void *>(&ReplayLoadString);
        g_stream = &stream;
    }
    void TearDown() override {
        for (int i = 0; i < 4; ++i) vantic::g_hostSlots[kSlots[i]] = saved[i];
        g_stream = nullptr;
    }
    void save(const char *name, const Vectors &v) {
        vantic_SaveVectorList(name, v.data(), static_cast<int32_t>(v.size() / 3), kStream);
    }
    // Loads and returns the vectors (count checked against the array).
    Vectors load(const char *name, int32_t *count) {
        double *v = vantic_LoadVectorList(name, count, kStream);
        EXPECT_EQ(v == nullptr, *count == 0);
        Vectors out(v, v + 3 * static_cast<size_t>(*count));
        std::free(v);
        return out;
    }

    static constexpr vantic::HostSlot kSlots[4] = {vantic::HostSlot_fxArgSaveInt, vantic::HostSlot_fxArgSaveString,
                                                   vantic::HostSlot_fxArgLoadInt, vantic::HostSlot_fxArgLoadString};
    vhost::Host host;
    RecordedStream stream;
    void *saved[4] = {};
};

TEST_F(VectorListStream, SaveWritesTheLengthThenTheTextWithTheFlagWord) {
    save("Rest", {1, 0, 0, 0, 0, 0, 0, 2.5, -3});
    ASSERT_EQ(stream.calls.size(), 2u);
    EXPECT_EQ(stream.calls[0].service, "int");
    EXPECT_EQ(stream.calls[0].key, "Rest_0");
    EXPECT_EQ(stream.calls[0].value, "32");
    EXPECT_EQ(stream.calls[1].service, "string");
    EXPECT_EQ(stream.calls[1].key, "Rest_1");
    EXPECT_EQ(stream.calls[1].value, "1.000000/zzZz2.500000/-3.000000/");
    for (const Call &c : stream.calls) EXPECT_EQ(c.flags, 0x10000000u);
    int32_t count = -1;
    EXPECT_EQ(load("Rest", &count), (Vectors{1, 0, 0, 0, 0, 0, 0, 2.5, -3}));
    EXPECT_EQ(count, 3);
    for (int32_t length : stream.loadLengths) EXPECT_EQ(length, 1024);
}

// A text of length L: one vector (1, 0, 0), written "1.000000/zz" (11 characters), then all-zero "Z"s.
TEST_F(VectorListStream, TextIsCutIntoChunksOf1023) {
    const struct {
        size_t length;
        std::vector<size_t> chunks;
    } cases[] = {{1023, {1023}}, {1024, {1023, 1}}, {2046, {1023, 1023}}, {2047, {1023, 1023, 1}}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.length);
        stream = {};
        Vectors list = {1, 0, 0};
        list.resize(3 * (1 + c.length - 11), 0.0);
        save("L", list);
        ASSERT_EQ(stream.calls.size(), 1 + c.chunks.size());
        EXPECT_EQ(stream.calls[0].value, std::to_string(c.length));
        std::string whole;
        for (size_t i = 0; i < c.chunks.size(); ++i) {
            EXPECT_EQ(stream.calls[1 + i].key, "L_" + std::to_string(i + 1));
            EXPECT_EQ(stream.calls[1 + i].value.size(), c.chunks[i]);
            whole += stream.calls[1 + i].value;
        }
        EXPECT_EQ(whole, "1.000000/zz" + std::string(c.length - 11, 'Z'));
        int32_t count = 0;
        EXPECT_EQ(load("L", &count), list);
        EXPECT_EQ(count, static_cast<int32_t>(list.size() / 3));
    }
}

TEST_F(VectorListStream, EmptyAndAllZeroListsStoreOnlyAZeroLength) {
    const Vectors zeros(3 * 5000, 0.0);
    vantic_SaveVectorList("A", zeros.data(), 5000, kStream);
    vantic_SaveVectorList("B", zeros.data(), 0, kStream);
    vantic_SaveVectorList("C", zeros.data(), -4, kStream);
    vantic_SaveVectorList("D", nullptr, 3, kStream);
    ASSERT_EQ(stream.calls.size(), 4u);
    for (const Call &c : stream.calls) {
        EXPECT_EQ(c.service, "int");
        EXPECT_EQ(c.value, "0");
    }
    for (const char *name : {"A", "B", "Never"}) {
        int32_t count = -1;
        EXPECT_EQ(vantic_LoadVectorList(name, &count, kStream), nullptr);
        EXPECT_EQ(count, 0);
    }
    EXPECT_TRUE(stream.loadLengths.empty());
}

// Keys are built in 256 bytes: a name that leaves no room for its longest key is neither saved nor
// loaded, since a cut key could name another part of the list.
TEST_F(VectorListStream, NamesTooLongForTheirKeysAreRefused) {
    const std::string fits(253, 'n');  // "n..._1" is 255 characters
    save(fits.c_str(), {1, 2, 3});
    EXPECT_EQ(stream.calls.size(), 2u);
    int32_t count = 0;
    EXPECT_EQ(load(fits.c_str(), &count), (Vectors{1, 2, 3}));

    stream = {};
    const std::string tooLong(254, 'n');
    save(tooLong.c_str(), {1, 2, 3});
    EXPECT_TRUE(stream.calls.empty());
    stream.ints[tooLong + "_"] = 27;  // what a key cut to 255 characters would name
    EXPECT_EQ(load(tooLong.c_str(), &count), Vectors{});
    EXPECT_EQ(count, 0);
}

// Damaged streams: the load reads at most the stored length and never past its buffers.
TEST_F(VectorListStream, DamagedStreamsLoadWhatTheTextHolds) {
    const std::string full(1023, 'z');  // 341 vectors
    const struct {
        const char *what;
        int32_t length;
        std::map<std::string, std::string> chunks;
        int32_t count;
    } cases[] = {
        {"length beyond the chunks", 5000, {{"X_1", "1/2/3/"}}, 1},
        {"length inside the first vector", 5, {{"X_1", "1/2/3/"}}, 0},
        {"negative length", -6, {{"X_1", "1/2/3/"}}, 0},
        // a missing chunk reads as empty and the chunks after it are still appended
        {"missing first chunk", 2000, {{"X_2", "1/2/3/"}}, 1},
        {"missing middle chunk", 3000, {{"X_1", full}, {"X_3", "1/2/3/"}}, 342},
        {"overlong chunk", 1030, {{"X_1", full + "1/2/3/"}, {"X_2", "9/"}}, 341},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        stream = {};
        stream.ints["X_0"] = c.length;
        stream.strings = c.chunks;
        int32_t count = -1;
        const Vectors v = load("X", &count);
        EXPECT_EQ(count, c.count);
        if (c.count == 1 || c.count == 342) {  // the texts that end in "1/2/3/"
            EXPECT_EQ(Vectors(v.end() - 3, v.end()), (Vectors{1, 2, 3}));
        }
        // every chunk the length calls for is read, whatever the earlier ones held
        EXPECT_EQ(stream.loadLengths.size(), c.length > 0 ? static_cast<size_t>((c.length + 1022) / 1023) : 0u);
    }
}

// A 36-byte scene entry naming 2^31 characters costs a bounded number of look-ups: the load stops
// after 1024 missing chunks in a row, and a gap shorter than that is read through.
TEST_F(VectorListStream, HugeLengthWithoutChunksStopsAfterARunOfMissingChunks) {
    const struct {
        const char *what;
        std::map<std::string, std::string> chunks;
        int32_t count;
        size_t lookUps;
    } cases[] = {
        {"no chunks", {}, 0, 1024},
        {"one chunk", {{"V_1", "1/2/3/"}}, 1, 1025},
        {"a gap of 1023", {{"V_1", "1/2/3/"}, {"V_1025", "4/5/6/"}}, 2, 2049},
        {"a gap of 1024", {{"V_1", "1/2/3/"}, {"V_1026", "4/5/6/"}}, 1, 1025},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        stream = {};
        stream.ints["V_0"] = 2147483647;
        stream.strings = c.chunks;
        int32_t count = -1;
        load("V", &count);
        EXPECT_EQ(count, c.count);
        EXPECT_EQ(stream.loadLengths.size(), c.lookUps);
    }
}

// Values whose text length is hard to foresee: either side of every point where rounding to six
// decimals adds an integer digit (9.9999995, 99.9999995, ...), of 2^63 where the writer changes method,
// and the extremes.
Vectors LengthEdgeValues() {
    Vectors values = {DBL_MAX, -DBL_MAX, DBL_MIN, -4.9406564584124654e-324, 0x1p63, -0x1p63, 0x1p64, 1e300, kInf,
                      -kInf, std::nan(""), 0.9999995, -0.9999995, std::nextafter(0.9999995, 0.0)};
    for (int k = 1; k <= 20; ++k) {
        const double edge = std::pow(10.0, k) - 5e-7;
        for (double v : {edge, std::nextafter(edge, 0.0), std::nextafter(edge, kInf),
                         std::nextafter(std::nextafter(edge, 0.0), 0.0), std::pow(10.0, k),
                         std::nextafter(std::pow(10.0, k), 0.0)})
            values.insert(values.end(), {v, -v});
    }
    for (double v : {0x1p63, 0x1p53})
        for (int i = 0; i < 4; ++i) {
            v = std::nextafter(v, 0.0);
            values.insert(values.end(), {v, -v});
        }
    return values;
}

// The length worked out ahead of the text is the text's, value by value.
TEST(VectorListText, LengthIsWorkedOutAsTheWriterWrites) {
    for (double v : LengthEdgeValues()) {
        const Vectors vector = {v, 0, 1};
        bool anyNonZero = false;
        EXPECT_EQ(vantic::VectorListTextLength(vector.data(), 1, &anyNonZero),
                  static_cast<int64_t>(Text(vector).size()))
            << std::hexfloat << v << " " << Text(vector);
        EXPECT_TRUE(anyNonZero);
    }
    bool anyNonZero = false;
    const Vectors zeros = {0, -0.0, 0, 0, 0, 0};
    EXPECT_EQ(vantic::VectorListTextLength(zeros.data(), 2, &anyNonZero), 2);
    EXPECT_FALSE(anyNonZero);
}

// The save writes the text a block at a time: the chunks it stores join into the text written whole,
// with the whole length first, for lists whose numbers (some 300 characters long) fall across chunk
// and block edges at every offset.
TEST_F(VectorListStream, ChunksJoinIntoTheWholeText) {
    std::mt19937_64 random(3);
    const Vectors edges = LengthEdgeValues();
    std::uniform_int_distribution<size_t> pick(0, edges.size() - 1);
    std::uniform_int_distribution<int> kind(0, 3);
    for (int32_t count : {1, 40, 341, 4000}) {
        SCOPED_TRACE(count);
        Vectors list(3 * static_cast<size_t>(count));
        for (size_t i = 0; i < list.size(); ++i) {
            const int k = kind(random);
            list[i] = k == 0 ? 0.0 : k == 1 ? edges[pick(random)] : std::ldexp(static_cast<double>(random() % 1000), k);
        }
        stream = {};
        save("Mix", list);
        const std::string whole = Text(list);
        ASSERT_EQ(stream.calls.size(), 1 + (whole.size() + 1022) / 1023);
        EXPECT_EQ(stream.calls[0].value, std::to_string(whole.size()));
        std::string joined;
        for (size_t i = 1; i < stream.calls.size(); ++i) {
            EXPECT_EQ(stream.calls[i].key, "Mix_" + std::to_string(i));
            joined += stream.calls[i].value;
        }
        EXPECT_EQ(joined, whole);
        int32_t loaded = 0;
        const Vectors back = load("Mix", &loaded);
        ASSERT_EQ(loaded, count);
        Vectors parsed(list.size(), 0.0);
        vantic::ParseVectorListText(whole, parsed.data(), count);
        EXPECT_EQ(std::memcmp(back.data(), parsed.data(), parsed.size() * sizeof(double)), 0);
    }
}

// ---- through the loaded module and a scene file on disk ----

TEST(VectorListSceneFile, SavedListsLoadInAFreshHost) {
    std::mt19937_64 random(11);
    std::uniform_real_distribution<double> coordinate(-1e4, 1e4);
    Vectors big(3 * 5000);
    for (double &c : big) c = coordinate(random);
    big[30] = 0.0;
    big[40] = 1e300;
    big[41] = -kInf;
    big[50] = std::nan("");
    const Vectors example = {1, 0, 0, 0, 0, 0, 0, 2.5, -3};
    const std::filesystem::path path = std::filesystem::path(::testing::TempDir()) / "vector_lists.scene";
    {
        vhost::PluginHost saving;
        auto save = saving.function<vantic_SaveVectorList_t>("vantic_SaveVectorList");
        const KorrinHandle stream = vhost::BeginSave(saving.host, path.string());
        save("Big", big.data(), 5000, stream);
        save("Example", example.data(), 3, stream);
        vhost::EndSave(saving.host);
    }
    vhost::PluginHost loading;
    auto load = loading.function<vantic_LoadVectorList_t>("vantic_LoadVectorList");
    auto release = loading.function<vantic_DeleteVectorList_t>("vantic_DeleteVectorList");
    const KorrinHandle stream = vhost::BeginLoad(loading.host, path.string());
    int32_t count = 0;
    double *v = load("Big", &count, stream);
    ASSERT_EQ(count, 5000);
    for (size_t i = 0; i < big.size(); ++i) {
        if (std::isnan(big[i]))
            EXPECT_TRUE(std::isnan(v[i])) << i;
        else
            EXPECT_EQ(v[i], Rounded(big[i])) << i;
    }
    release(v);
    v = load("Example", &count, stream);
    ASSERT_EQ(count, 3);
    EXPECT_EQ(Vectors(v, v + 9), example);
    release(v);
    EXPECT_EQ(load("Missing", &count, stream), nullptr);
    EXPECT_EQ(count, 0);
    release(nullptr);
    vhost::EndLoad(loading.host);
    std::filesystem::remove(path);
}

TEST(VectorListSceneFile, DeleteIsTheModulesNullSafeFree) {
    vhost::PluginHost loaded;
    EXPECT_EQ(loaded.host.registry.function("vantic_DeleteVectorList")->address,
              loaded.host.registry.function("vantic_FreeTriangle")->address);
}

}  // namespace
