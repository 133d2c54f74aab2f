// The look-up of joined paths (letter case, the folder rule, wildcards) and the folder
// listings it keeps; reading little-endian fields, and past the end of a file.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <utility>

#include "fixtures/TempWorkdir.h"
#include "platform/BinaryFile.h"
#include "platform/FolderIndex.h"
#include "platform/Path.h"
#include "platform/ReadCache.h"
#include "platform/TestFiles.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;
using test::ByteWriter;
using test::TempWorkdir;
using test::WriteFile;

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

void Touch(const fs::path& file) { std::ofstream(file, std::ios::binary) << 'x'; }

// Runs a test body once with change reports and once under the time-stamp rule.
class FolderIndexModes : public testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    folder_index::SetUseChangeReports(GetParam());
    if (GetParam() && !folder_index::UsesChangeReports()) GTEST_SKIP() << "no change reports here";
  }
  void TearDown() override { folder_index::SetUseChangeReports(true); }
};

// Another program adds a file while a command runs, spelled in another case than the
// name looked up: found, although the folder's listing was kept before.
TEST_P(FolderIndexModes, FileAddedByAnotherProgramIsFound) {
  TempWorkdir wd;
  const fs::path obj = wd.Path() / "obj";
  Touch(obj / "old.obj");
  fs::last_write_time(obj, fs::file_time_type::clock::now() - std::chrono::hours(1));
  const std::string joined = wd.Str() + "\\obj\\";
  EXPECT_EQ(ResolvePath(joined + "OLD.OBJ"), obj / "old.obj");
  EXPECT_FALSE(FileExists(joined + "NEW.OBJ"));
  Touch(obj / "New.obj");
  EXPECT_TRUE(FileExists(joined + "NEW.OBJ"));
  EXPECT_EQ(ResolvePath(joined + "new.OBJ"), obj / "New.obj");
  fs::remove(obj / "old.obj");
  EXPECT_FALSE(FileExists(joined + "OLD.OBJ"));
}

// One model's export is a task that looks at each folder once: it still finds what it
// wrote itself, and the next task finds what another program added meanwhile. The
// look-up through the kept listing answers as the full look-up does (the exact spelling
// before the first in byte order, a dangling link as there).
TEST_P(FolderIndexModes, TaskFindsItsOwnFilesAndTheNextTaskFindsOthers) {
  TempWorkdir wd;
  const fs::path obj = wd.Path() / "obj";
  for (const char* name : {"a.obj", "D.obj", "d.obj"}) Touch(obj / name);
  fs::create_symlink("nowhere", obj / "link.obj");
  fs::last_write_time(obj, fs::file_time_type::clock::now() - std::chrono::hours(1));
  const std::string joined = wd.Str() + "\\obj\\";
  auto inListing = [](const std::string& path) {
    bool found = false;
    fs::path where = ResolveInListing(path, found);
    return std::pair(where, found);
  };
  {
    ReadCache task;
    ReadCache::Scope scope(task);
    EXPECT_EQ(inListing(joined + "b.obj"), std::pair(obj / "b.obj", false));
    ASSERT_TRUE(WriteFile(joined + "B.obj", "x"));
    EXPECT_EQ(inListing(joined + "b.OBJ"), std::pair(obj / "B.obj", true));
    EXPECT_FALSE(FileExists(joined + "LINK.OBJ"));
    // A folder not spelled as on the disk: found name by name.
    EXPECT_EQ(inListing(wd.Str() + "\\OBJ\\a.OBJ"), std::pair(obj / "a.obj", true));
    Touch(obj / "C.obj");
  }
  ReadCache next;
  ReadCache::Scope scope(next);
  for (const char* name : {"A.OBJ", "b.obj", "d.obj", "link.obj", "c.obj", "e.obj"}) {
    bool viaPath = false;
    const fs::path where = ResolvePath(joined + name, viaPath);
    EXPECT_EQ(inListing(joined + name), std::pair(where, viaPath)) << name;
  }
  EXPECT_EQ(inListing(joined + "c.obj"), std::pair(obj / "C.obj", true));
}

INSTANTIATE_TEST_SUITE_P(Path, FolderIndexModes, testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Reported" : "TimeStamp"; });

// A new folder of thousands of names: every name looked up in another case, hundreds of
// files written into it and looked up again, files added, removed and renamed by others,
// all from one reading of the folder.
TEST(Path, LargeFolderIsListedOncePerCommand) {
  if (!folder_index::UsesChangeReports()) GTEST_SKIP() << "no change reports here";
  TempWorkdir wd;
  const fs::path obj = wd.Path() / "obj";
  constexpr int kNames = 5000;
  for (int i = 0; i < kNames; ++i) Touch(obj / ("model_" + std::to_string(i) + ".obj"));
  const std::string joined = wd.Str() + "\\obj\\";
  const uint64_t before = folder_index::ListingCount();
  for (int i = 0; i < kNames; ++i)
    ASSERT_EQ(ResolvePath(joined + "MODEL_" + std::to_string(i) + ".OBJ").filename(),
              "model_" + std::to_string(i) + ".obj");
  for (int i = 0; i < 300; ++i) {
    ASSERT_TRUE(WriteFile(joined + "Level_" + std::to_string(i) + ".obj", "v"));
    ASSERT_TRUE(FileExists(joined + "LEVEL_" + std::to_string(i) + ".OBJ"));
  }
  Touch(obj / "Added.OBJ");
  fs::remove(obj / "model_7.obj");
  fs::rename(obj / "model_8.obj", obj / "Moved.obj");
  std::string seen;
  for (const char* name : {"added.obj", "MODEL_7.OBJ", "MODEL_8.OBJ", "moved.obj"}) seen += FileExists(joined + name) ? '1' : '0';
  EXPECT_EQ(seen, "1001");
  EXPECT_EQ(folder_index::ListingCount() - before, 1u);
}

}  // namespace
}  // namespace tessary
