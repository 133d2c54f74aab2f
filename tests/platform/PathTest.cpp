// Joined paths and the existence test: backslash pieces, letter case, the folder rule,
// wildcards and the folder listings kept between look-ups.
#include <gtest/gtest.h>

#include <filesystem>

#include "fixtures/TempWorkdir.h"
#include "platform/Path.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;
using test::ByteWriter;
using test::TempWorkdir;

TEST(Path, PiecesAreJoinedVerbatim) {
  EXPECT_EQ(ConcatPath("C:\\w\\xmodel", "\\", "tank"), "C:\\w\\xmodel\\tank");
  EXPECT_EQ(ConcatPath("C:\\w\\xmodel", "\\..\\xmodelsurfs", ""), "C:\\w\\xmodel\\..\\xmodelsurfs");
  EXPECT_EQ(ToNativeSeparators("a\\..\\b/c"), "a/../b/c");
  EXPECT_EQ(BareFileName("w\\xmodel/tank"), "tank");
  EXPECT_EQ(BareFileName("w\\xmodel\\"), "");
}

TEST(Path, ParentStepsAndLetterCaseResolveOnDisk) {
  TempWorkdir wd;
  wd.Write("xmodelsurfs/tank_lod0", ByteWriter().U16(20));
  std::string joined = wd.ModelFolder() + "\\..\\XMODELSURFS\\Tank_LOD0";
  EXPECT_TRUE(FileExists(joined));
  EXPECT_EQ(ResolvePath(joined), wd.Path() / "xmodel" / ".." / "xmodelsurfs" / "tank_lod0");
  // A name that matches nothing keeps its spelling, so it can be created.
  EXPECT_EQ(ResolvePath(wd.Str() + "\\OBJ\\New.obj"), wd.Path() / "obj" / "New.obj");
  EXPECT_FALSE(FileExists(wd.Str() + "\\xmodelsurfs\\tank_lod1"));
  // Several matches: the exact spelling, else the first in byte order ("MTL_A" < "Mtl_A" < "mtl_a").
  for (const char* name : {"Mtl_A", "mtl_a", "MTL_A"}) wd.Write(std::string("materials/") + name, {1});
  EXPECT_EQ(ResolvePath(wd.Str() + "\\materials\\mtl_a").filename(), "mtl_a");
  EXPECT_EQ(ResolvePath(wd.Str() + "\\materials\\mTL_a").filename(), "MTL_A");
}

TEST(Path, FileExistsFolderNameAndWildcardRules) {
  TempWorkdir wd;
  const fs::path images = wd.Path() / "images";
  wd.Write("images/a.dds", ByteWriter().U8(1));
  wd.Write("images/b_col.IWI", ByteWriter().U8(1));
  for (const char* folder : {"a_folder", "locked", ".hidden"}) fs::create_directory(images / folder);
  fs::permissions(images / "locked", fs::perms::owner_write, fs::perm_options::remove);
  const struct {
    const char* name;
    bool exists;
  } cases[] = {
      {"a.dds", true},     {"a_folder", false},  // a folder with nothing but the folder attribute
      {"locked", true},    {".hidden", true},    // read-only and hidden folders count
      {"", false},         {"a.dds\\x", false},  // an empty name; a file is no folder
      {"b_*.iwi", true},   {"?_col.iwi", true},  {"c*", false},
      {"?_*", false},  // the first match is the plain folder, although a file matches too
      {"*", false},    // the folder's own "." entry comes first
  };
  for (const auto& c : cases) EXPECT_EQ(FileExists(wd.Str() + "\\images\\" + c.name), c.exists) << c.name;
  EXPECT_FALSE(FileExists(wd.Str() + "\\images"));
  EXPECT_FALSE(FileExists(""));
  fs::permissions(images / "locked", fs::perms::owner_write, fs::perm_options::add);
}

TEST(Path, ListingsFollowChangesToTheFolder) {
  TempWorkdir wd;
  std::string lookUp = wd.Str() + "\\xmodel\\TANK";
  EXPECT_FALSE(FileExists(lookUp));
  wd.Write("xmodel/tank", ByteWriter().U16(20));
  EXPECT_TRUE(FileExists(lookUp));
  fs::remove(wd.Path() / "xmodel" / "tank");
  wd.Write("xmodel/Tank", ByteWriter().U16(20));
  EXPECT_EQ(ResolvePath(lookUp).filename(), "Tank");
}

}  // namespace
}  // namespace tessary
