// Reading little-endian fields past the end of a file, and output files that appear
// whole.
#include <gtest/gtest.h>

#include "fixtures/TempWorkdir.h"
#include "platform/BinaryFile.h"
#include "platform/OutputFile.h"
#include "platform/Path.h"
#include "platform/TestFiles.h"

namespace tessary {
namespace {

using test::ByteWriter;
using test::TempWorkdir;
using test::CountFiles;
using test::Text;
using test::WriteFile;

TEST(BinaryFile, FieldsAreLittleEndianAndMissingBytesReadAsZero) {
  TempWorkdir wd;
  wd.Write("xmodel/f", ByteWriter().U16(0x1234).F32(1.5f).Bytes({0xAA, 0xBB}));
  BinaryFile file(wd.Str() + "\\XMODEL\\F");
  ASSERT_TRUE(file.IsOpen());
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
  for (const char* name : {"\\materials", "\\materials\\", "\\materials\\none"})
    EXPECT_FALSE(BinaryFile(wd.Str() + name).IsOpen()) << name;
}

TEST(OutputFile, NothingAppearsUntilCommitAndLookUpsSeeWhatWasWritten) {
  TempWorkdir wd;
  wd.Write("obj/Tank.obj", ByteWriter().Raw("old"));
  const std::string obj = wd.Str() + "\\xmodel\\..\\obj\\";
  EXPECT_FALSE(FileExists(obj + "A.TXT"));  // the folder's listing is now held
  {
    OutputFile out;
    ASSERT_TRUE(out.Open(obj + "tank.obj"));
    out.WriteText("new");
    EXPECT_EQ(Text(wd.Path() / "obj/Tank.obj"), "old");
  }  // dropped without Commit: no trace
  EXPECT_EQ(Text(wd.Path() / "obj/Tank.obj"), "old");
  EXPECT_EQ(CountFiles(wd.Path() / "obj"), 1u);
  // A name that exists in another case is the file replaced.
  ASSERT_TRUE(WriteFile(obj + "tank.obj", "new"));
  ASSERT_TRUE(WriteFile(obj + "a.txt", "one"));
  EXPECT_EQ(Text(wd.Path() / "obj/Tank.obj"), "new");
  EXPECT_FALSE(wd.Exists("obj/tank.obj"));
  EXPECT_TRUE(FileExists(obj + "A.TXT"));
  EXPECT_EQ(CountFiles(wd.Path() / "obj"), 2u);
  OutputFile nowhere;
  EXPECT_FALSE(nowhere.Open(wd.Str() + "\\nofolder\\x.obj"));
  EXPECT_FALSE(nowhere.Commit());
}

}  // namespace
}  // namespace tessary
