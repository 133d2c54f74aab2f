// Old files a batch's replacements traded out, written over by later replacements.
#include <gtest/gtest.h>

#include <filesystem>
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

}  // namespace
}  // namespace tessary
