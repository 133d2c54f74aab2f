// Reading little-endian fields, and past the end of a file.
#include <gtest/gtest.h>

#include "fixtures/TempWorkdir.h"
#include "platform/BinaryFile.h"

namespace tessary {
namespace {

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
  uint8_t b = 7;
  EXPECT_FALSE(file.ReadByte(b));
  EXPECT_TRUE(file.Seek(100));  // seeking past the end is allowed; reads there give nothing
  char buf[4];
  EXPECT_EQ(file.Read(buf, 4), 0u);
  EXPECT_FALSE(file.Seek(-1));
  for (const char* name : {"\\materials", "\\materials\\", "\\materials\\none"})
    EXPECT_FALSE(BinaryFile(wd.Str() + name).IsOpen()) << name;
}

}  // namespace
}  // namespace tessary
