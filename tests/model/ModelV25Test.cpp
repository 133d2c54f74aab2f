// Reading a version 25 model: the level list, the material name scan, parts and the three
// vertex block forms of the surfaces file.
#include <gtest/gtest.h>

#include "fixtures/RecordingNotifier.h"
#include "fixtures/TempWorkdir.h"
#include "fixtures/V20Writer.h"
#include "fixtures/V25Writer.h"
#include "model/ModelV25.h"

namespace tessary {
namespace {

using test::ByteWriter;
namespace v20 = test::v20;
namespace v25 = test::v25;

struct ExplodedScope {
  explicit ExplodedScope(int on) { g_showExploded = on; }
  ~ExplodedScope() { g_showExploded = 0; }
};

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
  const Surface& S(size_t i) const { return (*model.curSurfaces)[i]; }
  test::RecordingNotifier notes;
  test::TempWorkdir wd;
  CModelV25 model;
};

TEST_F(V25, LevelEntriesFollowTheOptionalName) {
  auto count = [&](const ByteWriter& header, int64_t& offset) {
    wd.Write("xmodel/m", header);
    BinaryFile file(wd.Str() + "/xmodel/m");
    offset = 28;
    return model.CountLodEntries(file, offset);
  };
  int64_t offset = 0;
  // Empty optional name: byte 27 is zero and the list starts at 28; a zero value ends it.
  EXPECT_EQ(count(v25::Header("", {{"m_lod0", 1}, {"m_lod1", 0}, {"m_lod2", 1}}, {}), offset), 2);
  EXPECT_EQ(offset, 28);
  EXPECT_EQ(count(v25::Header("abc", {{"m_lod0", 0}}, {}), offset), 1);
  EXPECT_EQ(offset, 31);
  // Without a lowercase letter in bytes 27 to 31 it is no name.
  EXPECT_EQ(count(ByteWriter().U16(25).Fill(25, 0x41).Raw("ABCDEF").U8(0).U32(0).Z("m_lod0"), offset), 0);
  EXPECT_EQ(offset, 28);
  // A one-character name ends the list uncounted; two characters count.
  EXPECT_EQ(count(v25::Header("", {{"m_lod0", 1}, {"x", 0}}, {}), offset), 1);
  EXPECT_EQ(count(v25::Header("", {{"m_lod0", 1}, {"xy", 0}}, {}), offset), 2);
  EXPECT_EQ(count(ByteWriter().U16(25).Fill(26).U32(1).Z("m_lod0").U32(1).Raw("m_lo"), offset), 1);
}

TEST_F(V25, ShortNamesStayAbsentAndMaterialsFollowTheList) {
  wd.Write("xmodel/m", v25::Header("weapon_clip", {{"m_lod0", 1}, {"ab", 1}, {"m_lod2", 0}},
                                   {{"mtl_a", "mtl_gone", "mtl_a"}, {}, {"mtl_b", "mtl_c"}}));
  wd.Write("materials/mtl_a", v20::Material("a_col"));
  wd.Write("materials/mtl_b", v20::Material("b_col"));
  wd.Write("materials/mtl_c", ByteWriter().U16(2).Z("").Z(""));
  wd.Write("images/b_col.dds", ByteWriter().Raw("DDS "));
  Load();
  ASSERT_EQ(model.lodCount, 3);
  EXPECT_EQ(model.presentLodCount, 2);
  EXPECT_FALSE(model.lods[1].present);
  ASSERT_EQ(model.lods[0].materialCount, 3);
  EXPECT_EQ(model.lods[1].materialCount, 0);
  ASSERT_EQ(model.lods[2].materialCount, 2);
  EXPECT_EQ(model.lods[0].materials[2].name, "mtl_a");
  EXPECT_EQ(model.lods[0].materials[2].imageName, "a_col.iwi");
  EXPECT_FALSE(model.lods[0].materials[1].imageName.has_value());
  EXPECT_EQ(model.lods[2].materials[0].imageName, "b_col.dds");
  EXPECT_EQ(model.lods[2].materials[1].imageName, ".iwi");  // an empty name still gets it
  EXPECT_TRUE(notes.messages.empty());

  wd.Write("xmodel/m", v25::Header("", {{"m_lod0", 0}}, {{"churchdome"}}));
  Load();
  EXPECT_EQ(model.lods[0].materialCount, 0);
  EXPECT_EQ(notes.messages, std::vector<std::string>{"Failed to get the materials"});
}

TEST(ScanForMaterialNames, RulesAndNearMisses) {
  using namespace std::string_view_literals;
  const auto scan = [](std::string_view bytes, bool nulBefore = true) { return ScanForMaterialNames(bytes, nulBefore); };
  // "mtl_" anywhere in a string matches at the string's first byte.
  EXPECT_EQ(scan("\0\x02\0mtl_wood\0mtl_metal\0"sv), 1);
  EXPECT_EQ(scan("\x01\x01\0\x02\0xx_mtl_wood\0"sv), 3);
  EXPECT_EQ(scan("\x01\x01\0\x01\0d000_brick_wall_dest_a\0"sv), 3);
  // These prefixes match wherever they begin, even inside a string.
  EXPECT_EQ(scan("\x01\x01\0\x01\0xship_hull\0"sv), 4);
  EXPECT_EQ(scan("\x09\x01\0\x01\0aagfx_glow\0"sv), 5);
  EXPECT_EQ(scan("\x09\x01\0\x01\0wood_fenc\0"sv), std::nullopt);
  // These match only at the start of a string.
  EXPECT_EQ(scan("\x09\x01\0\x01\0com_plate\0"sv), 3);
  EXPECT_EQ(scan("\x09\x01\0\x01\0xcom_plate\0"sv), std::nullopt);
  EXPECT_EQ(scan("lambert1\0"sv, true), -2);
  EXPECT_EQ(scan("lambert1\0"sv, false), std::nullopt);
  // Exactly "rgb", up to a zero or the end of the region.
  EXPECT_EQ(scan("\x09\x09\0\x01\0rgbx\0"sv), std::nullopt);
  EXPECT_EQ(scan("\x09\x09\0\x01\0rgb\0"sv), 3);
  EXPECT_EQ(scan("\x09\x09\0\x01\0xrgb"sv), 4);
  // Case matters, and the first match wins.
  EXPECT_EQ(scan("\x09\x09\0MTL_A\0Gfx_b\0"sv), std::nullopt);
  EXPECT_EQ(scan("\x09\x09\0locker_a\0mtl_b\0"sv), 1);
  EXPECT_EQ(scan(""sv), std::nullopt);
}

TEST_F(V25, PartsAccumulateAndEmptyNamesBecomeTagOrigin) {
  wd.Write("xmodel/m", v25::Header("", {{"m_lod0", 0}}, {{"mtl_a"}}));
  wd.Write("xmodelparts/m_lod0", v20::Parts({{0, {}, "root"}, {0, {1, 0, 0}, ""}, {1, {0, 2, 0}, "b"}}, 25));
  Load();
  ASSERT_EQ(model.parts.count(), 3);
  EXPECT_EQ(model.parts.parts[1].name, "tag_origin");
  EXPECT_FLOAT_EQ(model.parts.parts[2].position[1], 2);
  // A parts file of another version stands for the root alone.
  wd.Write("xmodelparts/m_lod0", v20::Parts({{0, {}, "root"}, {0, {1, 0, 0}, "a"}}, 20));
  model.LoadParts(0);
  ASSERT_EQ(model.parts.count(), 1);
  EXPECT_EQ(model.parts.parts[0].name, "");
}

TEST_F(V25, RigidFormMovesByItsPartOnlyWhenExploded) {
  v25::FixtureSurface five;
  for (int i = 0; i < 5; ++i) five.vertices.push_back({{0, 0, 1}, {0, 0}, {0, 0, float(i)}});
  five.triangles = {{0, 1, 2}, {2, 3, 4}};
  WriteModel({five, v25::Triangle()}, 6);
  Load();
  ASSERT_TRUE(model.LoadSurfaces(0, false));
  ASSERT_EQ(model.curSurfaceCount, 2);
  EXPECT_FLOAT_EQ(S(0).vertices[4].position[0], 0);
  EXPECT_FLOAT_EQ(S(0).vertices[4].position[2], 4);
  EXPECT_EQ(S(0).triLists.at(0).indices, (std::vector<uint16_t>{0, 1, 2, 2, 3, 4}));
  EXPECT_FLOAT_EQ(S(1).vertices[1].position[0], 1);  // after the 3 leading bytes
  EXPECT_FLOAT_EQ(S(1).vertices[2].uv[1], 1);
  {
    ExplodedScope exploded(1);
    ASSERT_TRUE(model.LoadSurfaces(0, false));
    EXPECT_FLOAT_EQ(S(0).vertices[4].position[0], 5);  // word 3 is 5: part 5 at (5, 0, 0)
    EXPECT_FLOAT_EQ(S(0).vertices[4].position[2], 4);
    EXPECT_FLOAT_EQ(S(1).vertices[1].position[0], 4);  // word 3 is 3
    WriteModel({five}, 5);  // part 5 does not exist: no move
    model.LoadParts(0);
    ASSERT_TRUE(model.LoadSurfaces(0, false));
    EXPECT_FLOAT_EQ(S(0).vertices[4].position[0], 0);
  }
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
  ExplodedScope exploded(1);  // never applies to weighted vertices
  ASSERT_TRUE(model.LoadSurfaces(0, false));
  ASSERT_EQ(model.curSurfaceCount, 2);
  for (const Surface& s : *model.curSurfaces) {
    ASSERT_EQ(s.vertexCount, 3);
    EXPECT_FLOAT_EQ(s.vertices[1].position[0], 1);
    EXPECT_FLOAT_EQ(s.vertices[2].position[1], 1);
    EXPECT_FLOAT_EQ(s.vertices[2].uv[1], 1);
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
    for (auto& v : s.vertices) {
      v.mark = mark;
      v.normal = {0.7f, 0.7f, 0.7f};  // no zero bytes
    }
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
  EXPECT_EQ(notes.messages, std::vector<std::string>{"Can't decode this surface!!"});
  EXPECT_TRUE(S(0).unsupported && !S(0).unsupportedAlt && S(0).triLists.empty());
}

TEST_F(V25, FailuresStopDecodingAndKeepEarlierSurfaces) {
  v25::FixtureSurface bad = v25::Triangle(v25::Form::Direct);
  bad.vertices[1].b1 = 4;
  WriteModel({v25::Triangle(), bad, v25::Triangle()});
  Load();
  ASSERT_TRUE(model.LoadSurfaces(0, false));  // a later surface failing keeps the level
  EXPECT_EQ(notes.messages, std::vector<std::string>{"VertexData.b1 >= 4\nUnsupported model type."});
  EXPECT_TRUE(S(0).facesLoaded);
  EXPECT_TRUE(S(1).unsupported && S(1).unsupportedAlt && S(1).triLists.empty());
  EXPECT_EQ(S(2).vertexCount, 0);

  WriteModel({bad});  // the first surface failing refuses the level
  EXPECT_FALSE(model.LoadSurfaces(0, false));
  wd.Write("xmodelsurfs/m_lod0", v20::Surfaces({v20::Triangle()}));
  EXPECT_FALSE(model.LoadSurfaces(0, false));
  EXPECT_EQ(model.curSurfaceCount, 0);
  EXPECT_FALSE(model.LoadSurfaces(1, false));
  EXPECT_EQ(model.surfacesFile, nullptr);
}

}  // namespace
}  // namespace tessary
