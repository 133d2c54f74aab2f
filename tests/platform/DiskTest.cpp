// The look-up of joined paths on a Disk (letter case, the folder rule, wildcards, what a
// command wrote); reading little-endian fields, and past the end of a file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <utility>

#include "fixtures/TempWorkdir.h"
#include "platform/Disk.h"
#include "platform/OutputFile.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;
using test::ByteWriter;
using test::TempWorkdir;

TEST(Disk, ParentStepsAndLetterCaseResolveOnDisk) {
  TempWorkdir wd;
  Disk disk;
  wd.Write("xmodelsurfs/tank_lod0", ByteWriter().U16(20));
  std::string joined = wd.ModelFolder() + "\\..\\XMODELSURFS\\Tank_LOD0";
  EXPECT_TRUE(disk.Exists(joined));
  EXPECT_EQ(disk.Resolve(joined), wd.Path() / "xmodel" / ".." / "xmodelsurfs" / "tank_lod0");
  // A name that matches nothing keeps its spelling, so it can be created.
  EXPECT_EQ(disk.Resolve(wd.Str() + "\\OBJ\\New.obj"), wd.Path() / "obj" / "New.obj");
  EXPECT_FALSE(disk.Exists(wd.Str() + "\\xmodelsurfs\\tank_lod1"));
  // Several matches: the exact spelling, else the first in byte order ("MTL_A" < "Mtl_A" < "mtl_a").
  for (const char* name : {"Mtl_A", "mtl_a", "MTL_A"}) wd.Write(std::string("materials/") + name, {1});
  EXPECT_EQ(disk.Resolve(wd.Str() + "\\materials\\mtl_a").filename(), "mtl_a");
  EXPECT_EQ(disk.Resolve(wd.Str() + "\\materials\\mTL_a").filename(), "MTL_A");
}

// Every ASCII letter folds to its other case, and nothing else folds: the characters just
// before and after each range stay as they are.
TEST(Disk, EveryLetterMatchesInEitherCase) {
  TempWorkdir wd;
  Disk disk;
  const std::string lower = "abcdefghijklmnopqrstuvwxyz", upper = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  wd.Write("materials/" + lower, {1});
  wd.Write("images/" + upper, {1});
  wd.Write("xmodel/@[", {1});
  EXPECT_EQ(disk.Resolve(wd.Str() + "\\materials\\" + upper).filename(), lower);
  EXPECT_EQ(disk.Resolve(wd.Str() + "\\images\\" + lower).filename(), upper);
  EXPECT_FALSE(disk.Exists(wd.Str() + "\\xmodel\\`{"));
}

TEST(Disk, ExistsFolderNameAndWildcardRules) {
  TempWorkdir wd;
  Disk disk;
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
  for (auto [name, exists] : cases) EXPECT_EQ(disk.Exists(wd.Str() + "\\images\\" + name), exists) << name;
  EXPECT_FALSE(disk.Exists(wd.Str() + "\\images"));
  EXPECT_FALSE(disk.Exists(""));
  fs::permissions(images / "locked", fs::perms::owner_write, fs::perm_options::add);
}

TEST(BinaryFile, FieldsAreLittleEndianAndMissingBytesReadAsZero) {
  TempWorkdir wd;
  Disk disk;
  wd.Write("xmodel/f", ByteWriter().U16(0x1234).F32(1.5f).Bytes({0xAA, 0xBB}));
  BinaryFile file = disk.Open(wd.Str() + "\\XMODEL\\F");
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

void Touch(const fs::path& file) { std::ofstream(file, std::ios::binary) << 'x'; }

// A command finds what it wrote itself and what was there; the next command also finds
// what another program added meanwhile. The look-up for writing answers as the full
// look-up does (the exact spelling before the first in byte order, a dangling link as there).
TEST(Disk, CommandFindsItsOwnFilesAndTheNextCommandFindsOthers) {
  TempWorkdir wd;
  const fs::path obj = wd.Path() / "obj";
  for (const char* name : {"a.obj", "D.obj", "d.obj"}) Touch(obj / name);
  fs::create_symlink("nowhere", obj / "link.obj");
  const std::string joined = wd.Str() + "\\obj\\";
  auto forWriting = [](Disk& disk, const std::string& path) {
    bool found = false;
    fs::path where = disk.ResolveForWriting(path, found);
    return std::pair(where, found);
  };
  {
    Disk command;
    EXPECT_EQ(forWriting(command, joined + "b.obj"), std::pair(obj / "b.obj", false));
    OutputFile file;
    ASSERT_TRUE(file.Open(command, joined + "B.obj"));
    file.Write("x");
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ(forWriting(command, joined + "b.OBJ"), std::pair(obj / "B.obj", true));
    EXPECT_TRUE(command.Exists(joined + "b.OBJ"));
    EXPECT_FALSE(command.Exists(joined + "LINK.OBJ"));
    // A folder not spelled as on the disk: found name by name.
    EXPECT_EQ(forWriting(command, wd.Str() + "\\OBJ\\a.OBJ"), std::pair(obj / "a.obj", true));
    Touch(obj / "C.obj");
  }
  Disk next;
  for (const char* name : {"A.OBJ", "b.obj", "d.obj", "link.obj", "c.obj", "e.obj"}) {
    bool viaPath = false;
    const fs::path where = next.Resolve(joined + name, viaPath);
    EXPECT_EQ(forWriting(next, joined + name), std::pair(where, viaPath)) << name;
  }
  EXPECT_EQ(forWriting(next, joined + "c.obj"), std::pair(obj / "C.obj", true));
}

}  // namespace
}  // namespace tessary
