// String measurements and list searches over the games' binary files: their bounds,
// where they leave the file, and the ends of the file.
#include <gtest/gtest.h>

#include "fixtures/TempWorkdir.h"
#include "model/FileAccess.h"

namespace tessary {
namespace {

using test::ByteWriter;
using test::TempWorkdir;

// A temporary file holding `bytes`, opened for reading.
class FileOf {
 public:
  explicit FileOf(const ByteWriter& bytes) {
    wd_.Write("xmodel/f", bytes);
    file.Open(wd_.Str() + "\\xmodel\\f");
  }
  BinaryFile file;

 private:
  TempWorkdir wd_;
};

int Count(const ByteWriter& bytes, int64_t offset) {
  FileOf f(bytes);
  return CountLodNames(f.file, offset);
}

int64_t Find(const ByteWriter& bytes) {
  FileOf f(bytes);
  return FindMaterialSection(f.file);
}

TEST(MeasureString, ForwardCountsUpToTheZeroWithinTheLimit) {
  FileOf f(ByteWriter().Raw("xx").Z("").Z("abc").Fill(1023, 'a').U8(0).Fill(1024, 'b').U8(0).Raw("end"));
  BinaryFile& file = f.file;
  EXPECT_EQ(MeasureString(file, 2, false), 0);
  EXPECT_EQ(file.Tell(), 2);
  EXPECT_EQ(MeasureString(file, 3, false), 3);
  EXPECT_EQ(file.Tell(), 3);
  EXPECT_EQ(MeasureString(file, 7, false), 1023);     // the longest string it takes
  EXPECT_EQ(MeasureString(file, 7 + 1024, false), 0);  // 1,024 bytes without a zero
  EXPECT_EQ(file.Tell(), 7 + 1024);
  EXPECT_EQ(MeasureString(file, 7 + 2049, false), 3);  // the end of the file ends it
  EXPECT_EQ(MeasureString(file, 5000, false), 0);
}

TEST(MeasureString, BackwardStopsAfterTheZeroOrGivesUp) {
  FileOf f(ByteWriter().Raw("ab").U8(0).Raw("cde").U8(0).Fill(1024, 'x').U8(0).Fill(1023, 'y'));
  BinaryFile& file = f.file;
  bool atStart = true;
  EXPECT_EQ(MeasureString(file, 6, true, &atStart), 3);  // "cde" back to the zero at 2
  EXPECT_FALSE(atStart);
  EXPECT_EQ(file.Tell(), 3);                               // just after that zero
  EXPECT_EQ(MeasureString(file, 3, true, &atStart), 0);   // the byte before is the zero
  EXPECT_EQ(file.Tell(), 3);
  EXPECT_EQ(MeasureString(file, 7 + 1024, true, &atStart), 0);  // 1,024 without a zero
  EXPECT_FALSE(atStart);
  EXPECT_EQ(file.Tell(), 7 + 1024);
  EXPECT_EQ(MeasureString(file, 8 + 1024 + 1023, true), 1023);
  EXPECT_EQ(file.Tell(), 8 + 1024);
  // No zero before the start of the file: the walk ends there.
  EXPECT_EQ(MeasureString(file, 2, true, &atStart), 2);
  EXPECT_TRUE(atStart);
  EXPECT_EQ(file.Tell(), 0);
  EXPECT_EQ(MeasureString(file, 0, true, &atStart), 0);
  EXPECT_TRUE(atStart);
}

TEST(PeekStringLength, CountsTheZeroAndReturnsToTheStart) {
  FileOf f(ByteWriter().Z("ab").Z("").Raw("cd"));
  BinaryFile& file = f.file;
  EXPECT_EQ(PeekStringLength(file), 3);
  EXPECT_EQ(file.Tell(), 0);
  file.Seek(3);
  EXPECT_EQ(PeekStringLength(file), 1);  // an empty string
  file.Seek(4);
  EXPECT_EQ(PeekStringLength(file), 2);  // ended by the end of the file
  EXPECT_EQ(file.Tell(), 4);
  file.Seek(6);
  EXPECT_EQ(PeekStringLength(file), 0);
}

TEST(CountLodNames, EndsAtZeroValueEmptyOrOneCharacterName) {
  EXPECT_EQ(Count(ByteWriter().U32(5).Z("ab").U32(0).Z("cd").U32(7).Z("ef"), 0), 2);
  EXPECT_EQ(Count(ByteWriter().U32(5).Z("ab").U32(5).Z(""), 0), 1);
  EXPECT_EQ(Count(ByteWriter().U32(5).Z("a"), 0), 0);
  EXPECT_EQ(Count(ByteWriter().U32(5).Z("ab").U32(5).Z("c").U32(0).Z("de"), 0), 1);
  // The end of the file ends the list and any name in it.
  EXPECT_EQ(Count(ByteWriter().U32(5).Z("ab").U32(5), 0), 1);
  EXPECT_EQ(Count(ByteWriter().U32(5).Z("ab").U32(0).Raw("cd"), 0), 2);
  EXPECT_EQ(Count(ByteWriter().U32(5).Z("ab"), 2), 0);
}

// A header-like file of `size` bytes of filler with "mtl_" written at `at`.
ByteWriter WithMarker(size_t size, size_t at) {
  ByteWriter w;
  w.Fill(size, 'm');  // "m" everywhere: a near miss before every position
  for (size_t i = 0; i < 4; ++i) w.Data()[at + i] = static_cast<uint8_t>("mtl_"[i]);
  return w;
}

TEST(FindMaterialSection, FindsTheFirstMarkerInAnyBlockPosition) {
  EXPECT_EQ(Find(WithMarker(600, 300)), 298);
  // Straddling the boundary between the first two 1,024-byte blocks, in each way.
  for (size_t at : {1021u, 1022u, 1023u, 1024u, 2046u})
    EXPECT_EQ(Find(WithMarker(3000, at)), static_cast<int64_t>(at) - 2)
        << "marker at " << at;
  // The first of two occurrences counts.
  ByteWriter two = WithMarker(3000, 2500);
  for (size_t i = 0; i < 4; ++i) two.Data()[1500 + i] = static_cast<uint8_t>("mtl_"[i]);
  EXPECT_EQ(Find(two), 1498);
  // At the very end of the file.
  EXPECT_EQ(Find(WithMarker(1028, 1024)), 1022);
}

TEST(FindMaterialSection, NoMarkerOrOneTooCloseToTheStartIsNegative) {
  EXPECT_LT(Find(ByteWriter().Fill(5000, 'm').Raw("mtl")), 0);
  EXPECT_LT(Find(WithMarker(100, 1)), 0);
  EXPECT_LT(Find(WithMarker(100, 0)), 0);
  EXPECT_EQ(Find(WithMarker(100, 2)), 0);
  EXPECT_LT(Find(ByteWriter()), 0);
}

TEST(ReadZString, TakesAtMostTheLimitAndConsumesTheZero) {
  FileOf f(ByteWriter().Z("abcdef").Z("gh").Raw("ij"));
  BinaryFile& file = f.file;
  EXPECT_EQ(ReadZString(file, 3), "abc");
  EXPECT_EQ(file.Tell(), 3);
  EXPECT_EQ(ReadZString(file), "def");
  EXPECT_EQ(file.Tell(), 7);
  EXPECT_EQ(ReadZString(file), "gh");
  EXPECT_EQ(ReadZString(file), "ij");
  EXPECT_EQ(ReadZString(file), "");
}

}  // namespace
}  // namespace tessary
