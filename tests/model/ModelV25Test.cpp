// Reading a version 25 model: the level list, the material name scan and the three vertex
// block forms of the surfaces file.
#include <gtest/gtest.h>

#include "fixtures/RecordingNotifier.h"
#include "fixtures/TempWorkdir.h"
#include "fixtures/V20Writer.h"
#include "fixtures/V25Writer.h"
#include "model/DescribedGeometry.h"
#include "model/ModelV25.h"

namespace tessary {
namespace {

using test::ByteWriter;
using Messages = std::vector<std::string>;
namespace v20 = test::v20;
namespace v25 = test::v25;

class V25 : public ::testing::Test {
 protected:
  void Load() {
    ASSERT_TRUE(model.Open(wd.ModelFolder(), "m"));
    ASSERT_NE(model.LoadLods(), nullptr);
    model.LoadParts(0);
  }
  // A model whose level 0 holds `surfaces`, with `partCount` parts, part i at (i, 0, 0).
  void WriteModel(const std::vector<v25::FixtureSurface>& surfaces, int partCount = 1) {
    wd.Write("xmodel/m", v25::Header("", {{"m_lod0", 0}}, {{"mtl_a", "mtl_b"}}));
    std::vector<v20::FixturePart> parts;
    for (int i = 0; i < partCount; ++i) parts.push_back({0, {float(i), 0, 0}, "p" + std::to_string(i)});
    wd.Write("xmodelparts/m_lod0", v20::Parts(parts, 25));
    wd.Write("xmodelsurfs/m_lod0", v25::Surfaces(surfaces));
  }
  // Surface i as shown: on its parts, a destructible piece moved out when `options` explode it.
  Surface S(size_t i, LoadOptions options = {}) const {
    return DescribedSurfaces(*model.curSurfaces, model.parts, options).at(i);
  }
  test::RecordingNotifier notes;
  test::TempWorkdir wd;
  CModelV25 model;
};

TEST_F(V25, LevelEntriesFollowTheOptionalName) {
  int64_t offset = 0;
  auto count = [&](const ByteWriter& header) {
    wd.Write("xmodel/m", header);
    BinaryFile file(wd.Str() + "/xmodel/m");
    offset = 28;
    return model.CountLodEntries(file, offset);
  };
  // Empty optional name: byte 27 is zero and the list starts at 28; a zero value ends it.
  EXPECT_EQ(count(v25::Header("", {{"m_lod0", 1}, {"m_lod1", 0}, {"m_lod2", 1}}, {})), 2);
  EXPECT_EQ(offset, 28);
  EXPECT_EQ(count(v25::Header("abc", {{"m_lod0", 0}}, {})), 1);
  EXPECT_EQ(offset, 31);
  // Without a lowercase letter in bytes 27 to 31 it is no name.
  EXPECT_EQ(count(ByteWriter().U16(25).Fill(25, 0x41).Raw("ABCDEF").U8(0).U32(0).Z("m_lod0")), 0);
  EXPECT_EQ(offset, 28);
  // A one-character name ends the list uncounted.
  EXPECT_EQ(count(v25::Header("", {{"m_lod0", 1}, {"x", 0}}, {})), 1);
}

TEST(ScanForMaterialNames, RulesAndNearMisses) {
  using namespace std::string_view_literals;
  const auto scan = [](std::string_view bytes, bool nulBefore = true) { return ScanForMaterialNames(bytes, nulBefore); };
  // "mtl_" anywhere in a string matches at the string's first byte.
  EXPECT_EQ(scan("\x01\x01\0\x02\0xx_mtl_wood\0"sv), 3);
  // These prefixes match wherever they begin, even inside a string.
  EXPECT_EQ(scan("\x01\x01\0\x01\0xship_hull\0"sv), 4);
  // These match only at the start of a string.
  EXPECT_EQ(scan("\x09\x01\0\x01\0xcom_plate\0"sv), std::nullopt);
  // A string after the region's first one starts after its zero, whatever lies before
  // the region.
  EXPECT_EQ(scan("\x09\x01\0\x01\0com_plate\0"sv, false), 3);
  EXPECT_EQ(scan("lambert1\0"sv, true), -2);
  EXPECT_EQ(scan("lambert1\0"sv, false), std::nullopt);
  // Exactly "rgb", up to a zero or the end of the region.
  EXPECT_EQ(scan("\x09\x09\0\x01\0rgbx\0"sv), std::nullopt);
  // Case matters, and the first match wins.
  EXPECT_EQ(scan("\x09\x09\0MTL_A\0Gfx_b\0"sv), std::nullopt);
  EXPECT_EQ(scan("\x09\x09\0locker_a\0mtl_b\0"sv), 1);
}

TEST_F(V25, RigidFormMovesByItsPartOnlyWhenExploded) {
  v25::FixtureSurface five;
  for (int i = 0; i < 5; ++i) five.vertices.push_back({{0, 0, 1}, {0, 0}, {0, 0, float(i)}});
  five.triangles = {{0, 1, 2}, {2, 3, 4}};
  WriteModel({five, v25::Triangle()}, 5);
  Load();
  ASSERT_TRUE(model.LoadSurfaces(0, false));
  ASSERT_EQ(model.curSurfaceCount, 2);
  EXPECT_FLOAT_EQ(S(1).vertices[1].position[0], 1);
  ASSERT_TRUE(model.LoadSurfaces(0, false, LoadOptions{true}));
  EXPECT_FLOAT_EQ(S(0, LoadOptions{true}).vertices[4].position[0], 0);  // word 3 is 5: there is no part 5
  EXPECT_FLOAT_EQ(S(1, LoadOptions{true}).vertices[1].position[0], 4);  // word 3 is 3: part 3 at (3, 0, 0)
  EXPECT_TRUE(notes.messages.empty());
}

TEST_F(V25, WeightedFormsSkipTheirTails) {
  v25::FixtureSurface direct = v25::Triangle(v25::Form::Direct);
  direct.word4 = 0x0300;
  direct.vertices[0].b1 = 2;  // 8 tail bytes before the next vertex
  direct.vertices[1].b1 = 3;
  v25::FixtureSurface scanned = v25::Triangle(v25::Form::Scanned);
  scanned.vertices[0].b1 = 1;
  WriteModel({direct, scanned}, 4);
  Load();
  // Shown exploded: never applies to weighted vertices.
  ASSERT_TRUE(model.LoadSurfaces(0, false, LoadOptions{true}));
  ASSERT_EQ(model.curSurfaceCount, 2);
  for (const Surface& s : *model.curSurfaces) {
    ASSERT_EQ(s.vertexCount, 3);
    EXPECT_EQ(s.vertices[1].position[0] + s.vertices[2].position[1], 2);  // (1, 0, 0) and (0, 1, 0)
    EXPECT_EQ(s.triLists.at(0).indices, (std::vector<uint16_t>{0, 1, 2}));
  }
  EXPECT_TRUE(notes.messages.empty());
}

TEST_F(V25, ScanFindsTheBlockByItsMarkOrByThreeZeros) {
  WriteModel({});
  Load();
  // One scanned surface whose vertex block follows `table` after the surface head (which
  // ends at P = 15).
  auto write = [&](std::vector<uint8_t> table, bool mark) {
    v25::FixtureSurface s = v25::Triangle(v25::Form::Scanned);
    s.word4 = 0x0101;
    s.table = std::move(table);
    for (auto& v : s.vertices) v = {{0.7f, 0.7f, 0.7f}, v.uv, v.position, 0, mark};  // a normal without zero bytes
    wd.Write("xmodelsurfs/m_lod0", v25::Surfaces({s}));
  };
  write({9, 9, 9, 9, 9, 9, 9}, true);  // the FF run at scan index 20: block at P + 7
  ASSERT_TRUE(model.LoadSurfaces(0, false));
  EXPECT_FLOAT_EQ(S(0).vertices[1].position[0], 1);
  // Three zero bytes at scan index i put the block at P - 1 + i + 5; here i is 4 (the
  // window starts with the last byte of the surface head) and the block at P + 8.
  write({9, 9, 9, 0, 0, 0, 9, 9}, false);
  ASSERT_TRUE(model.LoadSurfaces(0, false));
  EXPECT_FLOAT_EQ(S(0).vertices[1].position[0], 1);
  EXPECT_FLOAT_EQ(S(0).vertices[2].uv[1], 1);
  EXPECT_TRUE(notes.messages.empty());
  // A mark 131 bytes on lies outside the 144-byte window.
  write(std::vector<uint8_t>(131, 9), true);
  EXPECT_FALSE(model.LoadSurfaces(0, false));
  EXPECT_EQ(notes.messages, Messages{"Can't decode this surface!!"});
  EXPECT_TRUE(S(0).unsupported && !S(0).unsupportedAlt && S(0).triLists.empty());
}

TEST_F(V25, HeaderWithoutKnownMaterialNamesHasNoMaterials) {
  wd.Write("xmodel/m", v25::Header("", {{"m_lod0", 0}}, {{"churchdome"}}));
  Load();
  EXPECT_EQ(model.lods[0].materialCount, 0);
  EXPECT_EQ(notes.messages, Messages{"Failed to get the materials"});
}

}  // namespace
}  // namespace tessary
