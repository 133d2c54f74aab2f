// Small files many models read are taken from memory while the disk shows them unchanged.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "fixtures/TempWorkdir.h"
#include "platform/BinaryFile.h"
#include "platform/ReadCache.h"
#include "platform/SettledFiles.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;

void Put(const fs::path& file, const std::string& text) { std::ofstream(file, std::ios::binary) << text; }

using Read = std::pair<std::string, bool>;

// What one task reads of `joined`, and whether that took a read of the disk.
std::pair<std::string, bool> ReadInTask(const std::string& joined, bool shared = true) {
  ReadCache task;
  ReadCache::Scope scope(task);
  const uint64_t before = BinaryFile::FilesRead();
  BinaryFile file;
  if (!(shared ? file.OpenShared(joined) : file.Open(joined))) return {"", true};
  std::string text(file.Bytes().begin(), file.Bytes().end());
  return {text, BinaryFile::FilesRead() != before};
}

class SettledFilesTest : public testing::Test {
 protected:
  void TearDown() override { settled_files::SetSettleTime(std::chrono::seconds(2)); }
  test::TempWorkdir wd;
};

TEST_F(SettledFilesTest, KeptUntilTheDiskShowsAChange) {
  settled_files::SetSettleTime(std::chrono::nanoseconds(0));
  const fs::path file = wd.Path() / "mtl";
  const std::string joined = wd.Str() + "\\mtl";
  Put(file, "abc");
  EXPECT_EQ(ReadInTask(joined), Read("abc", true));
  EXPECT_EQ(ReadInTask(joined), Read("abc", false));
  // Another size; then another file of the same size put in its place.
  Put(file, "abcd");
  EXPECT_EQ(ReadInTask(joined), Read("abcd", true));
  Put(wd.Path() / "next", "wxyz");
  fs::rename(wd.Path() / "next", file);
  EXPECT_EQ(ReadInTask(joined), Read("wxyz", true));
  EXPECT_EQ(ReadInTask(joined), Read("wxyz", false));
  // Gone: nothing is answered for it.
  fs::remove(file);
  EXPECT_EQ(ReadInTask(joined).first, "");
  // A plain open reads the disk; so does a name found only in another letter case.
  Put(wd.Path() / "Other", "o");
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(ReadInTask(wd.Str() + "\\other"), Read("o", true));
    EXPECT_EQ(ReadInTask(wd.Str() + "\\Other", false), Read("o", true));
  }
}

TEST_F(SettledFilesTest, AFileJustWrittenIsReadEachTime) {
  Put(wd.Path() / "mtl", "abc");
  EXPECT_EQ(ReadInTask(wd.Str() + "\\mtl"), Read("abc", true));
  EXPECT_EQ(ReadInTask(wd.Str() + "\\mtl"), Read("abc", true));
}

}  // namespace
}  // namespace tessary
