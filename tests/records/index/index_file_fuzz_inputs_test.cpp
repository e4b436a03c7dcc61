// The fuzz target's seed corpus and every input that ever crashed it, run
// again in every build (and so under the sanitizers too), plus a few
// thousand deterministic mutations of the seeds for builds without
// libFuzzer.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace qm {
namespace {

std::vector<std::string> FilesIn(const std::filesystem::path& folder) {
    std::vector<std::string> contents;
    if (!std::filesystem::is_directory(folder)) return contents;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (!entry.is_regular_file() || entry.path().filename().string().starts_with(".")) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        contents.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return contents;
}

int RunTarget(const std::string& input) {
    return LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.data()), input.size());
}

TEST(IndexFileFuzzInputs, SeedsAndFormerCrashesReadCleanly) {
    const std::vector<std::string> seeds = FilesIn(std::filesystem::path(QM_FUZZ_DIR) / "corpus");
    ASSERT_GE(seeds.size(), 3u) << "the seed corpus is missing";
    for (const std::string& seed : seeds) EXPECT_EQ(RunTarget(seed), 0);
    for (const std::string& input : FilesIn(std::filesystem::path(QM_FUZZ_DIR) / "regressions"))
        EXPECT_EQ(RunTarget(input), 0);
}

TEST(IndexFileFuzzInputs, MutatedSeedsReadCleanly) {
    const std::vector<std::string> seeds = FilesIn(std::filesystem::path(QM_FUZZ_DIR) / "corpus");
    ASSERT_FALSE(seeds.empty());
    std::mt19937 random(20240601);
    for (int round = 0; round < 3000; ++round) {
        std::string input = seeds[random() % seeds.size()];
        // Flip bytes, overwrite with the values that matter to the reader
        // (0, 0xFF, the title marker's bytes), and cut the end.
        static constexpr unsigned char kInteresting[] = {0x00, 0xFF, 0x10, 0x02, 0x15,
                                                         0x1E, 0x1F, 0x80, 0x7F};
        const int edits = 1 + static_cast<int>(random() % 8);
        for (int edit = 0; edit < edits && !input.empty(); ++edit) {
            const std::size_t at = random() % input.size();
            if (random() % 2) {
                input[at] = static_cast<char>(kInteresting[random() % sizeof kInteresting]);
            } else {
                input[at] = static_cast<char>(random());
            }
        }
        if (random() % 4 == 0 && !input.empty()) input.resize(random() % input.size());
        ASSERT_EQ(RunTarget(input), 0) << "round " << round;
    }
}

}  // namespace
}  // namespace qm
