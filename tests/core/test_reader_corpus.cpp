// Replays the fuzzers' seed corpora and every input that once found a fault,
// each with its fuzzer's own judgement.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "fuzz/reader_check.h"
#include "fuzz/script_check.h"

namespace fs = std::filesystem;

namespace {

using Check = std::string (*)(const std::uint8_t*, std::size_t);

int replay(const fs::path& dir, Check check = brimoss::testing::check_input) {
  int n = 0;
  for (const auto& entry : fs::directory_iterator(dir)) {
    if (!entry.is_regular_file() || entry.path().filename().string()[0] == '.') continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::ostringstream o;
    o << in.rdbuf();
    const std::string bytes = o.str();
    EXPECT_EQ(check(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), "")
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

TEST(ScriptCorpus, SeedsAreHandledSoundly) {
  const fs::path root = fs::path(BRIMOSS_SOURCE_DIR) / "fuzz";
  EXPECT_GT(replay(root / "script_corpus", brimoss::testing::check_script), 10);
}

TEST(ScriptCorpus, CommandsThatReachFilesAreLeftOut) {
  // The fuzzer writes the scripts itself: none of them may write a file.
  const fs::path where = fs::path(::testing::TempDir()) / "script_corpus_never_written";
  fs::remove_all(where);
  const std::string p = where.string();
  const std::string script = "save " + p + "\nexport " + p + ".obj\nexport-solid " + p +
                             ".stl 0.1\nopen " + p + "\nappend " + p + "\ntouch 2\n";
  EXPECT_EQ(brimoss::testing::check_script(reinterpret_cast<const std::uint8_t*>(script.data()),
                                           script.size()),
            "");
  for (const char* ext : {"", ".obj", ".stl"}) EXPECT_FALSE(fs::exists(p + ext)) << p + ext;
}
