// Replays the reader fuzzer's seed corpus and every input that once found a
// fault in the reader, with the fuzzer's own judgement.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "fuzz/reader_check.h"

namespace fs = std::filesystem;

namespace {

int replay(const fs::path& dir) {
  int n = 0;
  for (const auto& entry : fs::directory_iterator(dir)) {
    if (!entry.is_regular_file() || entry.path().filename().string()[0] == '.') continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::ostringstream o;
    o << in.rdbuf();
    const std::string bytes = o.str();
    EXPECT_EQ(brimoss::fuzzcheck::check_input(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                              bytes.size()),
              "")
        << entry.path();
    ++n;
  }
  return n;
}

}  // namespace

TEST(ReaderCorpus, SeedsAndRegressionsAreHandledSoundly) {
  const fs::path root = fs::path(BRIMOSS_SOURCE_DIR) / "fuzz";
  EXPECT_GT(replay(root / "corpus"), 40);
  replay(root / "regressions");
}
