// Scene files: argument streams saved through the services to a file on disk and loaded back by
// another host.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "korrin_host_services.h"
#include "model/host.h"
#include "model/scene_file.h"
#include "services/service_map.h"
#include "host_service.h"

namespace {

using namespace vhost;

class SceneFileTest : public ::testing::Test {
protected:
    std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                ("vantic_scene_" + std::to_string(::getpid()));
    std::string path = (dir / "scene.txt").string();
    void SetUp() override { std::filesystem::create_directories(dir); }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::string contents() const {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    void write(const std::string &text) const { std::ofstream(path, std::ios::binary) << text; }
};

std::string Load(KorrinHandle stream, const char *key, int32_t *result = nullptr) {
    std::vector<char> buffer(4096, 'x');
    const int32_t r = FX(fxArgLoadString)(stream, key, buffer.data(), static_cast<int32_t>(buffer.size()));
    if (result) *result = r;
    return buffer.data();
}

int32_t LoadInt(KorrinHandle stream, const char *key, int32_t *result = nullptr) {
    int32_t value = 42;
    const int32_t r = FX(fxArgLoadInt)(stream, key, &value);
    if (result) *result = r;
    return value;
}

// Texts a plain text file would mangle if they reached it raw.
const std::vector<std::string> kAwkward = {
    "",
    "plain words",
    "quote \" inside and \"\" two",
    "back\\slash \\\" and \\n written out",
    "line\nbreak\r\nand \t tab",
    "1.000000/zzZz2.500000/-3.000000/",
    "high \xc3\xa9\xff\x80 bytes \x7f and \x01\x1f",
    std::string(3000, '"'),
    "ends with a backslash\\",
};

TEST_F(SceneFileTest, IntsAndAwkwardStringsRoundTripIntoAFreshHost) {
    const std::array<int32_t, 5> ints = {0, -1, 7175, INT32_MIN, INT32_MAX};
    {
        Host saver;
        const KorrinHandle own = BeginSave(saver, path);
        // Wider than 32 bits: a plug-in that narrows a stream handle loses it.
        EXPECT_GT(own, 0xFFFFFFFFull);
        for (size_t i = 0; i < ints.size(); ++i)
            EXPECT_EQ(FX(fxArgSaveInt)(own, ("int " + std::to_string(i)).c_str(), ints[i], 0x10000000), 1);
        for (size_t i = 0; i < kAwkward.size(); ++i)
            EXPECT_EQ(FX(fxArgSaveString)(own, ("text \"" + std::to_string(i) + "\"\n").c_str(), kAwkward[i].c_str(),
                                          0x10000000),
                      1);
        const KorrinHandle first = FX(fxFormatNew)(own, "BrushActionInfo", 0);
        const KorrinHandle second = FX(fxFormatNew)(own, "BrushActionInfo", 0);
        const KorrinHandle other = FX(fxFormatNew)(own, "other \"block\"\n", 0);
        ASSERT_NE(first, 0u);
        ASSERT_NE(second, first);
        EXPECT_EQ(FX(fxArgSaveInt)(first, "JumpingThroughHoops", 7175, 0), 1);
        EXPECT_EQ(FX(fxArgSaveInt)(second, "JumpingThroughHoops", 8, 0), 1);
        EXPECT_EQ(FX(fxArgSaveString)(other, "JumpingThroughHoops", "a text", 0), 1);
        EXPECT_EQ(FX(fxArgSaveInt)(own, "written twice", 1, 0), 1);
        EXPECT_EQ(FX(fxArgSaveInt)(own, "written twice", 2, 0), 1);
        EndSave(saver);
        // After the save its handles name nothing.
        EXPECT_EQ(FX(fxArgSaveInt)(own, "late", 1, 0), 0);
        EXPECT_EQ(FX(fxFormatNew)(own, "late", 0), 0u);
    }

    // One value per line, nothing but printable ASCII.
    const std::string text = contents();
    for (char c : text) ASSERT_TRUE(c == '\n' || (c >= 0x20 && c < 0x7f)) << static_cast<int>(c);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'),
              static_cast<std::ptrdiff_t>(1 + ints.size() + kAwkward.size() + 3 + 3 + 1));

    Host loader;
    const KorrinHandle own = BeginLoad(loader, path);
    for (size_t i = 0; i < ints.size(); ++i) EXPECT_EQ(LoadInt(own, ("int " + std::to_string(i)).c_str()), ints[i]);
    for (size_t i = 0; i < kAwkward.size(); ++i) {
        int32_t result = 0;
        EXPECT_EQ(Load(own, ("text \"" + std::to_string(i) + "\"\n").c_str(), &result), kAwkward[i]) << i;
        EXPECT_EQ(result, 1);
    }
    EXPECT_EQ(LoadInt(own, "written twice"), 2);

    // Blocks keep their own keys, apart from the file's own stream and from each other.
    const std::vector<KorrinHandle> blocks = LoadedBlocks(loader, "BrushActionInfo");
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(LoadInt(blocks[0], "JumpingThroughHoops"), 7175);
    EXPECT_EQ(LoadInt(blocks[1], "JumpingThroughHoops"), 8);
    EXPECT_EQ(LoadInt(blocks[0], "int 2"), 0);
    EXPECT_EQ(LoadInt(own, "JumpingThroughHoops"), 0);
    const std::vector<KorrinHandle> other = LoadedBlocks(loader, "other \"block\"\n");
    ASSERT_EQ(other.size(), 1u);
    EXPECT_EQ(Load(other[0], "JumpingThroughHoops"), "a text");

    // Loading by block name gives the first block of that name.
    const KorrinHandle named = BeginLoad(loader, path, "BrushActionInfo");
    EXPECT_EQ(named, LoadedBlocks(loader, "BrushActionInfo").at(0));
    EXPECT_EQ(LoadInt(named, "JumpingThroughHoops"), 7175);
    EXPECT_EQ(BeginLoad(loader, path, "no such block"), 0u);
    EndLoad(loader);
}

TEST_F(SceneFileTest, MissingKeysAndWrongKindsLoadAsZeroAndEmpty) {
    Host host;
    const KorrinHandle own = BeginSave(host, path);
    FX(fxArgSaveInt)(own, "number", 5, 0);
    FX(fxArgSaveString)(own, "text", "words", 0);
    struct Case {
        KorrinHandle stream;
        const char *key;
    };
    const Case cases[] = {{own, "missing"}, {own, nullptr}, {own + 1000, "number"}, {0, "number"}};
    for (const Case &c : cases) {
        int32_t result = -1;
        EXPECT_EQ(LoadInt(c.stream, c.key, &result), 0);
        EXPECT_EQ(result, 0);
        EXPECT_EQ(Load(c.stream, c.key, &result), "");
        EXPECT_EQ(result, 0);
    }
    int32_t result = -1;
    EXPECT_EQ(LoadInt(own, "text", &result), 0);  // a text is no int
    EXPECT_EQ(result, 0);
    EXPECT_EQ(Load(own, "number", &result), "");
    EXPECT_EQ(result, 0);
    EXPECT_EQ(FX(fxArgLoadInt)(own, "number", nullptr), 0);
    EXPECT_EQ(FX(fxArgSaveString)(own, "null text", nullptr, 0), 0);
    EXPECT_EQ(FX(fxArgSaveInt)(own, nullptr, 1, 0), 0);
    EXPECT_EQ(FX(fxFormatNew)(own, nullptr, 0), 0u);
    EXPECT_EQ(FX(fxFormatNew)(own + 1000, "block", 0), 0u);
    EndSave(host);
}

TEST_F(SceneFileTest, StringLoadsCopyAtMostMaxLengthMinusOneBytesAndTerminate) {
    {
        Host saver;
        FX(fxArgSaveString)(BeginSave(saver, path), "key", "abcdef", 0);
        EndSave(saver);
    }
    Host loader;
    const KorrinHandle own = BeginLoad(loader, path);
    struct Case {
        int32_t maxLength;
        const char *expected;  // the buffer afterwards, '#' for untouched bytes
    };
    const Case cases[] = {
        {-5, "##########"},  {0, "##########"},  {1, "\0#########"}, {2, "a\0########"},
        {6, "abcde\0####"},  {7, "abcdef\0###"}, {10, "abcdef\0###"},
    };
    for (const Case &c : cases) {
        std::array<char, 10> buffer;
        buffer.fill('#');
        const int32_t result = FX(fxArgLoadString)(own, "key", buffer.data(), c.maxLength);
        EXPECT_EQ(std::string(buffer.data(), buffer.size()), std::string(c.expected, buffer.size()))
            << "maxLength " << c.maxLength;
        EXPECT_EQ(result, c.maxLength >= 1 ? 1 : 0) << "maxLength " << c.maxLength;
    }
    EXPECT_EQ(FX(fxArgLoadString)(own, "key", nullptr, 10), 0);
}

TEST_F(SceneFileTest, BrokenFilesAreRefusedNamingTheFileAndLine) {
    const std::string header = "vantic-scene 1\n";
    const std::pair<std::string, std::string> cases[] = {
        {"", ": "},
        {"vantic-scene 2\n", ":1: "},
        {header + "int \"a\" 1\nint \"b\" x\n", ":3: "},
        {header + "int \"a\" 2147483648\n", ":2: "},
        {header + "int \"a\" 1 2\n", ":2: "},
        {header + "string \"a\" \"open\n", ":2: "},
        {header + "string \"a\" \"bad \\q escape\"\n", ":2: "},
        {header + "string \"a\" \"zero \\x00 byte\"\n", ":2: "},
        {header + "string \"a\" \"short \\x4\"\n", ":2: "},
        {header + "float \"a\" 1.5\n", ":2: "},
        {header + "block\n", ":2: "},
    };
    for (const auto &[text, where] : cases) {
        write(text);
        Host host;
        try {
            BeginLoad(host, path);
            ADD_FAILURE() << "loaded: " << text;
        } catch (const std::runtime_error &e) {
            EXPECT_EQ(std::string(e.what()).substr(0, path.size() + where.size()), path + where) << e.what();
        }
    }
    std::filesystem::remove(path);
    Host host;
    EXPECT_THROW(BeginLoad(host, path), std::runtime_error);
    BeginSave(host, (dir / "no such dir" / "scene.txt").string());
    EXPECT_THROW(EndSave(host), std::runtime_error);
}

TEST_F(SceneFileTest, ALoadReadsTheFileItselfAndStaleHandlesNameNothing) {
    // A file written by hand in the documented form, with escapes in either case and Windows line ends.
    write("vantic-scene 1\r\nint \"n\" -12\r\nstring \"s\" \"\\x41\\x7E\\\\\"\r\nblock \"b\"\r\nint \"n\" 3");
    Host host;
    const KorrinHandle own = BeginLoad(host, path);
    EXPECT_EQ(LoadInt(own, "n"), -12);
    EXPECT_EQ(Load(own, "s"), "A~\\");
    const KorrinHandle block = BeginLoad(host, path, "b");
    EXPECT_EQ(LoadInt(block, "n"), 3);
    // The second load closed the first one's handles.
    EXPECT_EQ(LoadInt(own, "n"), 0);
    EndLoad(host);
    EXPECT_EQ(LoadInt(block, "n"), 0);
}

}  // namespace
