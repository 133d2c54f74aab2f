// Files written through OutputFile are found by the case-insensitive look-ups that follow,
// without the folder being listed again by hand.
#include <gtest/gtest.h>

#include <filesystem>

#include "fixtures/TempWorkdir.h"
#include "platform/OutputFile.h"
#include "platform/Path.h"

namespace tessary {
namespace {

bool WriteFile(const std::string& path, std::string_view text) {
  OutputFile file;
  if (!file.Open(path)) return false;
  file.Write(text);
  return file.Commit();
}

TEST(OutputFileCache, WrittenNamesAreSeenByLaterLookUps) {
  test::TempWorkdir wd;
  const std::string obj = wd.Str() + "\\xmodel\\..\\obj\\";
  // Prime the listing of obj, then write into it several times.
  EXPECT_FALSE(FileExists(obj + "A.TXT"));
  ASSERT_TRUE(WriteFile(obj + "a.txt", "one"));
  ASSERT_TRUE(WriteFile(obj + "b.txt", "two"));
  EXPECT_TRUE(FileExists(obj + "A.TXT"));
  EXPECT_TRUE(FileExists(obj + "B.txt"));
  // A name that exists in another case is the file replaced.
  ASSERT_TRUE(WriteFile(obj + "A.TXT", "three"));
  EXPECT_EQ(wd.Read("obj/a.txt"), (std::vector<uint8_t>{'t', 'h', 'r', 'e', 'e'}));
  EXPECT_FALSE(wd.Exists("obj/A.TXT"));
  // Nothing but the two files: no temporaries left.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(wd.Path() / "obj"),
                          std::filesystem::directory_iterator()),
            2);
}

}  // namespace
}  // namespace tessary
