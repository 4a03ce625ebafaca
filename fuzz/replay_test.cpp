// Every input a fuzz target ever failed on, kept under fuzz/regressions/<target>/, fed again to the
// same entry the fuzzer calls. Built with the project's own compiler; no fuzzer needed.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz_targets.h"

namespace {

namespace fs = std::filesystem;

TEST(FuzzRegressions, EveryKeptInputRunsCleanly) {
    const fs::path root = fs::path(VANTIC_SOURCE_DIR) / "fuzz" / "regressions";
    size_t replayed = 0;
    for (const vfuzz::Target &target : vfuzz::kTargets) {
        const fs::path folder = root / target.name;
        if (!fs::is_directory(folder)) continue;
        for (const fs::directory_entry &entry : fs::directory_iterator(folder)) {
            if (!entry.is_regular_file()) continue;
            std::ifstream in(entry.path(), std::ios::binary);
            const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
            SCOPED_TRACE(entry.path().string());
            EXPECT_EQ(target.entry(bytes.data(), bytes.size()), 0);
            ++replayed;
        }
    }
    // Every folder name is a target's: a misspelt folder would be skipped without a word.
    for (const fs::directory_entry &entry : fs::directory_iterator(root)) {
        bool known = false;
        for (const vfuzz::Target &target : vfuzz::kTargets) known = known || entry.path().filename() == target.name;
        EXPECT_TRUE(known || entry.path().filename() == "README.md") << entry.path();
    }
    EXPECT_GT(replayed, 0u);
}

}  // namespace
