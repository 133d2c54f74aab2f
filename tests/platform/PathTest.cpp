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

TEST(Path, ConcatJoinsPiecesVerbatim) {
  EXPECT_EQ(ConcatPath("C:\\w\\xmodel", "\\", "tank"), "C:\\w\\xmodel\\tank");
  EXPECT_EQ(ConcatPath("C:\\w\\xmodel", "\\..\\xmodelsurfs", ""), "C:\\w\\xmodel\\..\\xmodelsurfs");
  EXPECT_EQ(ConcatPath("", "", ""), "");
  EXPECT_EQ(ToNativeSeparators("a\\..\\b/c"), "a/../b/c");
  EXPECT_EQ(BareFileName("w\\xmodel/tank"), "tank");
  EXPECT_EQ(BareFileName("w\\xmodel\\"), "");
}

TEST(Path, ParentStepsAndLetterCaseResolveOnDisk) {
  TempWorkdir wd;
  wd.Write("xmodelsurfs/tank_lod0", ByteWriter().U16(20));
  // The header names the file in another case, and the path climbs out of xmodel first.
  std::string joined = wd.ModelFolder() + "\\..\\XMODELSURFS\\Tank_LOD0";
  EXPECT_TRUE(FileExists(joined));
  EXPECT_EQ(ResolvePath(joined), wd.Path() / "xmodel" / ".." / "xmodelsurfs" / "tank_lod0");
  // A name that matches nothing keeps its spelling, so it can be created.
  EXPECT_EQ(ResolvePath(wd.Str() + "\\OBJ\\New.obj"), wd.Path() / "obj" / "New.obj");
  EXPECT_FALSE(FileExists(wd.Str() + "\\xmodelsurfs\\tank_lod1"));
}

TEST(Path, SeveralCaseMatchesTakeTheFirstInByteOrder) {
  TempWorkdir wd;
  wd.Write("materials/Mtl_A", ByteWriter().U8(1));
  wd.Write("materials/mtl_a", ByteWriter().U8(2));
  wd.Write("materials/MTL_A", ByteWriter().U8(3));
  // An exact spelling is taken as it is.
  EXPECT_EQ(ResolvePath(wd.Str() + "\\materials\\mtl_a").filename(), "mtl_a");
  // Otherwise "MTL_A" < "Mtl_A" < "mtl_a" in byte order.
  EXPECT_EQ(ResolvePath(wd.Str() + "\\materials\\mTL_a").filename(), "MTL_A");
}

TEST(Path, FileExistsFolderAndNameRules) {
  TempWorkdir wd;
  wd.Write("images/a.dds", ByteWriter().U8(1));
  fs::create_directory(wd.Path() / "images" / "plain");
  fs::create_directory(wd.Path() / "images" / "locked");
  fs::permissions(wd.Path() / "images" / "locked", fs::perms::owner_write, fs::perm_options::remove);
  fs::create_directory(wd.Path() / "images" / ".hidden");

  EXPECT_TRUE(FileExists(wd.Str() + "\\images\\a.dds"));
  EXPECT_FALSE(FileExists(wd.Str() + "\\images\\plain"));    // only the folder attribute
  EXPECT_FALSE(FileExists(wd.Str() + "\\images"));
  EXPECT_TRUE(FileExists(wd.Str() + "\\images\\locked"));    // read-only folder
  EXPECT_TRUE(FileExists(wd.Str() + "\\images\\.hidden"));   // hidden folder
  EXPECT_FALSE(FileExists(wd.Str() + "\\images\\"));         // empty name
  EXPECT_FALSE(FileExists(""));
  EXPECT_FALSE(FileExists(wd.Str() + "\\images\\a.dds\\x"));  // a file is no folder
  fs::permissions(wd.Path() / "images" / "locked", fs::perms::owner_write, fs::perm_options::add);
}

TEST(Path, WildcardsInTheNameFindTheFirstMatchingEntry) {
  TempWorkdir wd;
  wd.Write("images/b_col.IWI", ByteWriter().U8(1));
  fs::create_directory(wd.Path() / "images" / "a_folder");
  EXPECT_TRUE(FileExists(wd.Str() + "\\images\\b_*.iwi"));
  EXPECT_TRUE(FileExists(wd.Str() + "\\images\\?_col.iwi"));
  EXPECT_FALSE(FileExists(wd.Str() + "\\images\\c*"));
  // The first match is a plain folder, so the answer is no although a file matches too.
  EXPECT_FALSE(FileExists(wd.Str() + "\\images\\?_*"));
  // "*" meets the folder's own "." entry first.
  EXPECT_FALSE(FileExists(wd.Str() + "\\images\\*"));
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
