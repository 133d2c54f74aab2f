// The existence test on joined paths: backslash pieces, letter case, the folder rule
// and wildcards; reading little-endian fields, and past the end of a file.
#include <gtest/gtest.h>

#include <filesystem>

#include "fixtures/TempWorkdir.h"
#include "platform/Path.h"
#include "platform/BinaryFile.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;
using test::ByteWriter;
using test::TempWorkdir;

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

// Every ASCII letter folds to its other case, and nothing else folds: the characters just
// before and after each range stay as they are.
TEST(Path, EveryLetterMatchesInEitherCase) {
  TempWorkdir wd;
  const std::string lower = "abcdefghijklmnopqrstuvwxyz", upper = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  wd.Write("materials/" + lower, {1});
  wd.Write("images/" + upper, {1});
  wd.Write("xmodel/@[", {1});
  EXPECT_EQ(ResolvePath(wd.Str() + "\\materials\\" + upper).filename(), lower);
  EXPECT_EQ(ResolvePath(wd.Str() + "\\images\\" + lower).filename(), upper);
  EXPECT_FALSE(FileExists(wd.Str() + "\\xmodel\\`{"));
}

TEST(Path, FileExistsFolderNameAndWildcardRules) {
  TempWorkdir wd;
  const fs::path images = wd.Path() / "images";
  wd.Write("images/a.dds", ByteWriter().U8(1));
  wd.Write("images/b_col.IWI", ByteWriter().U8(1));
  for (const char* folder : {"a_folder", "locked", ".hidden"}) fs::create_directory(images / folder);
  fs::permissions(images / "locked", fs::perms::owner_write, fs::perm_options::remove);
  const std::pair<const char*, bool> cases[] = {
      {"a.dds", true},      {"a_folder", false},  // a folder with nothing but the folder attribute
      {"locked", true},     {".hidden", true},    // read-only and hidden folders count
      {"a.dds\\x", false},  {"b_*.iwi", true},    {"?_col.iwi", true}, {"c*", false},
      {"?_*", false},  // the first match is the plain folder, although a file matches too
      {"*", false},    // the folder's own "." entry comes first
      {"locked\\", false}, {".hidden/", false},  // a folder followed by a separator is no file
  };
  for (auto [name, exists] : cases) EXPECT_EQ(FileExists(wd.Str() + "\\images\\" + name), exists) << name;
  EXPECT_FALSE(FileExists(wd.Str() + "\\images"));
  EXPECT_FALSE(FileExists(""));
  fs::permissions(images / "locked", fs::perms::owner_write, fs::perm_options::add);
}

TEST(BinaryFile, FieldsAreLittleEndianAndMissingBytesReadAsZero) {
  TempWorkdir wd;
  wd.Write("xmodel/f", ByteWriter().U16(0x1234).F32(1.5f).Bytes({0xAA, 0xBB}));
  BinaryFile file(wd.Str() + "\\XMODEL\\F");
  EXPECT_EQ(file.Size(), 8);
  EXPECT_EQ(file.ReadU16(), 0x1234);
  EXPECT_FLOAT_EQ(file.ReadF32(), 1.5f);
  EXPECT_EQ(file.ReadU32(), 0xBBAAu);  // two bytes arrive, two are missing
  uint8_t b = 7;
  EXPECT_FALSE(file.ReadByte(b));
  EXPECT_TRUE(file.Seek(100));  // seeking past the end is allowed; reads there give nothing
  char buf[4];
  EXPECT_EQ(file.Read(buf, 4), 0u);
  EXPECT_FALSE(file.Seek(-1));
}

}  // namespace
}  // namespace tessary
