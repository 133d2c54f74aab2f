// Old files a batch's replacements traded out, written over by later replacements.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "fixtures/TempWorkdir.h"
#include "platform/OutputFile.h"
#include "platform/SpareFiles.h"
#include "platform/TestFiles.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;

// Replaces `target` (or writes it anew) within a set, as the exports do.
bool Replace(const fs::path& target, const std::string& text) {
  OutputSet set;
  OutputFile file;
  if (!file.OpenExact(target)) return false;
  file.Write(text);
  return file.Commit() && set.Commit();
}

// Each replacement writes over what the one before traded out: shorter, longer and empty
// contents come out exact, and the batch's end leaves no file behind.
TEST(SpareFiles, ReplacementsWriteOverOldFilesExactly) {
  test::TempWorkdir wd;
  const fs::path obj = wd.Path() / "obj", a = obj / "a.obj", b = obj / "b.obj";
  ASSERT_TRUE(Replace(a, "first version of a"));
  ASSERT_TRUE(Replace(b, "b"));
  {
    SpareFiles spares;
    for (const std::string text : {"a, shorter", "a, the longest of all the versions", ""}) {
      ASSERT_TRUE(Replace(a, text));
      ASSERT_TRUE(Replace(b, text + text));
      EXPECT_EQ(test::Text(a), text);
      EXPECT_EQ(test::Text(b), text + text);
      EXPECT_EQ(fs::file_size(b), 2 * text.size());
    }
    EXPECT_GT(test::CountEntries(obj), 2u);  // the old files kept for the next
  }
  EXPECT_EQ(test::CountEntries(obj), 2u);
}

// The hidden name a kept file waits under, the one there is.
fs::path KeptName(const fs::path& folder) {
  fs::path kept;
  for (const auto& entry : fs::directory_iterator(folder))
    if (entry.path().filename().string()[0] == '.') kept = entry.path();
  return kept;
}

// Whatever another program puts under a kept file's name is neither written nor left.
TEST(SpareFiles, AnotherFileUnderAKeptNameIsNotWritten) {
  test::TempWorkdir wd;
  const fs::path obj = wd.Path() / "obj", a = obj / "a.obj", b = obj / "b.obj";
  const fs::path other = wd.Path() / "other";
  ASSERT_TRUE(Replace(a, "a"));
  ASSERT_TRUE(Replace(b, "b"));
  {
    SpareFiles spares;
    ASSERT_TRUE(Replace(a, "a2"));
    fs::path kept = KeptName(obj);
    ASSERT_FALSE(kept.empty());
    std::ofstream(obj / "x") << "xxxx";
    fs::rename(obj / "x", kept);  // another file under the name
    ASSERT_TRUE(Replace(b, "b2"));
    kept = KeptName(obj);
    ASSERT_FALSE(kept.empty());
    fs::create_hard_link(kept, other);  // the kept file given a name elsewhere
    ASSERT_TRUE(Replace(a, "a3"));
    EXPECT_EQ(test::Text(other), "b");
    EXPECT_EQ(test::Text(a), "a3");
    EXPECT_EQ(test::Text(b), "b2");
  }
  EXPECT_EQ(test::CountEntries(obj), 2u);
  EXPECT_EQ(fs::hard_link_count(other), 1u);
}

}  // namespace
}  // namespace tessary
