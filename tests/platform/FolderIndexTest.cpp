// The kept folder listings behind the case-insensitive look-up: a folder is read from the
// disk once however many names are looked up or written in it, and changes made by anyone
// else are still seen, both where the system reports changes and under the time-stamp rule.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <utility>

#include "fixtures/TempWorkdir.h"
#include "platform/FolderIndex.h"
#include "platform/Path.h"
#include "platform/ReadCache.h"
#include "platform/TestFiles.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;
using test::TempWorkdir;
using test::WriteFile;

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
