// The folder-listing cache behind case-insensitive look-ups stays right while a command
// writes into the folders it has listed.
#include <gtest/gtest.h>

#include "fixtures/TempWorkdir.h"
#include "platform/OutputFile.h"
#include "platform/Path.h"

namespace tessary {
namespace {

bool WriteFile(const std::string& joined, std::string_view text) {
  OutputFile out;
  if (!out.Open(joined)) return false;
  out.Write(text);
  return out.Commit();
}

TEST(ListingCache, FilesWrittenAfterAListingAreFoundInAnyCase) {
  test::TempWorkdir wd;
  const std::string obj = wd.Str() + "\\xmodel\\..\\obj\\";
  // The first look-up lists the folder; the files written later must still be found.
  EXPECT_FALSE(FileExists(obj + "A.obj"));
  for (const char* name : {"b.obj", "a.OBJ", "c.x"}) ASSERT_TRUE(WriteFile(obj + name, name));
  EXPECT_TRUE(FileExists(obj + "A.obj"));
  EXPECT_TRUE(FileExists(obj + "B.OBJ"));
  EXPECT_EQ(ResolvePath(obj + "A.obj").filename(), "a.OBJ");

  // Writing a name that exists in another case replaces that file.
  ASSERT_TRUE(WriteFile(obj + "A.obj", "again"));
  auto text = wd.Read("obj/a.OBJ");
  EXPECT_EQ(std::string(text.begin(), text.end()), "again");
  EXPECT_FALSE(wd.Exists("obj/A.obj"));

  // Changes made by others are seen: the folder's time tells.
  wd.Write("obj/d.X", std::vector<uint8_t>{1});
  EXPECT_EQ(ResolvePath(obj + "d.x").filename(), "d.X");
  std::filesystem::rename(wd.Path() / "obj" / "d.X", wd.Path() / "obj" / "d.x");
  EXPECT_EQ(ResolvePath(obj + "D.x").filename(), "d.x");
}

}  // namespace
}  // namespace tessary
