// Reading little-endian fields past the end of a file, and output files that appear
// whole, with CR LF line ends and C number formats.
#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>

#include "fixtures/TempWorkdir.h"
#include "platform/BinaryFile.h"
#include "platform/OutputFile.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;
using test::ByteWriter;
using test::TempWorkdir;

TEST(BinaryFile, FieldsAreLittleEndianAndMissingBytesReadAsZero) {
  TempWorkdir wd;
  wd.Write("xmodel/f", ByteWriter().U16(0x1234).F32(1.5f).Bytes({0xAA, 0xBB}));
  BinaryFile file(wd.Str() + "\\XMODEL\\F");
  ASSERT_TRUE(file.IsOpen());
  EXPECT_EQ(file.Size(), 8);
  EXPECT_EQ(file.ReadU16(), 0x1234);
  EXPECT_FLOAT_EQ(file.ReadF32(), 1.5f);
  EXPECT_EQ(file.ReadU32(), 0xBBAAu);  // two bytes arrive, two are missing
  EXPECT_EQ(file.ReadU8(), 0);
  uint8_t b = 7;
  EXPECT_FALSE(file.ReadByte(b));
  // Seeking past the end is allowed; reads there give nothing.
  EXPECT_TRUE(file.Seek(100));
  char buf[4];
  EXPECT_EQ(file.Read(buf, 4), 0u);
  EXPECT_FALSE(file.Seek(-1));
}

TEST(BinaryFile, FoldersAndMissingFilesDoNotOpen) {
  TempWorkdir wd;
  EXPECT_FALSE(BinaryFile(wd.Str() + "\\materials").IsOpen());
  EXPECT_FALSE(BinaryFile(wd.Str() + "\\materials\\").IsOpen());
  EXPECT_FALSE(BinaryFile(wd.Str() + "\\materials\\none").IsOpen());
}

TEST(OutputFile, TextLineEndsBecomeCrLfAndNumbersUseAPoint) {
  TempWorkdir wd;
  OutputFile out;
  ASSERT_TRUE(out.Open(wd.Str() + "\\obj\\a.mtl"));
  out.WriteText("a\nb");
  out.PrintText("\n%f %d\n", 1.5, 7);
  out.Write(std::string_view("raw\n"));
  ASSERT_TRUE(out.Commit());
  std::string expected = "a\r\nb\r\n1.500000 7\r\nraw\n";
  auto bytes = wd.Read("obj/a.mtl");
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), expected);
}

TEST(OutputFile, NumbersUseAPointUnderACommaLocale) {
  const char* previous = std::setlocale(LC_NUMERIC, nullptr);
  std::string saved = previous ? previous : "C";
  bool switched = false;
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8", "de_DE"})
    if (std::setlocale(LC_NUMERIC, name)) {
      switched = true;
      break;
    }
  if (!switched) GTEST_SKIP() << "no locale with a decimal comma is installed";
  TempWorkdir wd;
  OutputFile out;
  ASSERT_TRUE(out.Open(wd.Str() + "\\obj\\n.obj"));
  out.PrintText("%f", 0.25);
  bool committed = out.Commit();
  std::setlocale(LC_NUMERIC, saved.c_str());
  ASSERT_TRUE(committed);
  auto bytes = wd.Read("obj/n.obj");
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "0.250000");
}

TEST(OutputFile, NothingAppearsUntilCommitAndDiscardLeavesNoTrace) {
  TempWorkdir wd;
  wd.Write("obj/Tank.obj", ByteWriter().Raw("old"));
  {
    OutputFile out;
    ASSERT_TRUE(out.Open(wd.Str() + "\\obj\\tank.obj"));
    out.WriteText("new");
    // Still the old file, and the temporary is not under the target's name.
    EXPECT_EQ(wd.Read("obj/Tank.obj").size(), 3u);
  }  // destroyed without Commit
  int entries = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(wd.Path() / "obj")) ++entries;
  EXPECT_EQ(entries, 1);
  auto kept = wd.Read("obj/Tank.obj");
  EXPECT_EQ(std::string(kept.begin(), kept.end()), "old");

  // A name that exists in another case replaces that file.
  OutputFile out;
  ASSERT_TRUE(out.Open(wd.Str() + "\\obj\\tank.obj"));
  out.WriteText("new");
  ASSERT_TRUE(out.Commit());
  EXPECT_FALSE(wd.Exists("obj/tank.obj"));
  auto replaced = wd.Read("obj/Tank.obj");
  EXPECT_EQ(std::string(replaced.begin(), replaced.end()), "new");

  // A folder that does not exist cannot take a file.
  OutputFile nowhere;
  EXPECT_FALSE(nowhere.Open(wd.Str() + "\\nofolder\\x.obj"));
  EXPECT_FALSE(nowhere.Commit());
}

}  // namespace
}  // namespace tessary
