// String measurements and list searches over the games' binary files: their limits, where
// they leave the file position, and the ends of the file.
#include <gtest/gtest.h>

#include "fixtures/TempWorkdir.h"
#include "model/FileAccess.h"

namespace tessary {
namespace {

using test::ByteWriter;

// A temporary file holding `bytes`, opened for reading.
struct FileOf {
  explicit FileOf(const ByteWriter& bytes) { wd.Write("xmodel/f", bytes); file.Open(wd.Str() + "\\xmodel\\f"); }
  test::TempWorkdir wd;
  BinaryFile file;
};

TEST(MeasureString, TakesUpTo1023Bytes) {
  FileOf f(ByteWriter().Raw("ab").U8(0).Raw("cde").U8(0).Fill(1024, 'x').U8(0).Fill(1023, 'y').U8(0).Raw("end"));
  BinaryFile& file = f.file;
  EXPECT_EQ(MeasureString(file, 7), 0);  // 1,024 bytes without a zero
  EXPECT_EQ(MeasureString(file, 7 + 1025), 1023);
  EXPECT_EQ(MeasureString(file, 7 + 2049), 3);  // the end of the file ends it
  EXPECT_EQ(file.Tell(), 7 + 2049);
}

TEST(WalkBackToMaterialLists, RunsWithoutZerosAreSteppedOverInLinearTime) {
  using namespace std::string_view_literals;
  // A damaged header: 400 KB without a zero after the level name. Stepping back one byte
  // per measurement of up to 1,024 bytes would look at some 400 million bytes.
  std::vector<uint8_t> header(400 * 1024, 'x');
  header[30] = 0;
  int64_t looked = 0;
  EXPECT_EQ(WalkBackToMaterialLists(header, 1, &looked), std::nullopt);
  EXPECT_LT(looked, 2 * static_cast<int64_t>(header.size()));
  // The same run ahead of two lists: they are found behind it.
  // ... 00 | 01 00 a.dds 00 | 01 00 c.dds 00
  for (std::string_view list : {"\0\x01\0a.dds"sv, "\0\x01\0c.dds\0"sv}) header.insert(header.end(), list.begin(), list.end());
  auto start = WalkBackToMaterialLists(header, 2, &looked);
  ASSERT_TRUE(start.has_value());
  EXPECT_EQ(start->found, 2);
  EXPECT_EQ(start->readPos, static_cast<int64_t>(400 * 1024 + 1));
  EXPECT_LT(looked, 30);
}

TEST(CountLodNames, EndsAtZeroValueEmptyOrOneCharacterNameOrTheEnd) {
  const std::pair<ByteWriter, int> cases[] = {
      {ByteWriter().U32(5).Z("ab").U32(0).Z("cd").U32(7).Z("ef"), 2},
      {ByteWriter().U32(5).Z("ab").U32(5).Z(""), 1},
      {ByteWriter().U32(5).Z("ab").U32(5).Z("c").U32(0).Z("de"), 1},
      {ByteWriter().U32(5).Z("ab").U32(5), 1},
  };
  for (const auto& [bytes, count] : cases) {
    FileOf f(bytes);
    EXPECT_EQ(CountLodNames(f.file, 0), count);
  }
}

TEST(FindMaterialSection, TwoBytesBeforeTheFirstMarkerInAnyBlockPosition) {
  // `size` bytes of "m" (a near miss before every position) with markers at `at`.
  auto find = [](size_t size, std::vector<size_t> at) {
    ByteWriter w;
    w.Fill(size, 'm');
    for (size_t a : at) std::copy_n("mtl_", 4, w.Data().begin() + static_cast<long>(a));
    FileOf f(w);
    return FindMaterialSection(f.file);
  };
  // Straddling the boundaries between 1,024-byte blocks, in each way.
  for (size_t at : {300u, 1021u, 1022u, 1023u, 1024u, 2046u}) EXPECT_EQ(find(3000, {at}), int64_t(at) - 2) << at;
  EXPECT_EQ(find(3000, {2500, 1500}), 1498);
  EXPECT_EQ(find(100, {2}), 0);
  EXPECT_LT(find(100, {1}), 0);  // too close to the start
  EXPECT_LT(find(0, {}), 0);
  FileOf cut(ByteWriter().Fill(5000, 'm').Raw("mtl"));  // a marker cut by the end
  EXPECT_LT(FindMaterialSection(cut.file), 0);
}

}  // namespace
}  // namespace tessary
