// Reading a version 20 model: the material lists (found by their marker or by the walk back
// from the end), the parts, and the rigid, skinned and extra-influence vertex layouts; and a
// version 25 model: its level list, material name scan and vertex block forms.
#include <gtest/gtest.h>

#include "fixtures/RecordingNotifier.h"
#include "fixtures/TempWorkdir.h"
#include "fixtures/V20Writer.h"
#include "fixtures/V25Writer.h"
#include "model/ModelV20.h"
#include "model/ModelV25.h"

namespace tessary {
namespace {

using test::ByteWriter;
using Names = std::vector<std::string>;
using Xyz = std::vector<float>;
namespace v20 = test::v20;
namespace v25 = test::v25;

template <typename Items>
Names NamesOf(const Items& items) {
  Names out;
  for (const auto& i : items) out.push_back(i.name);
  return out;
}

// The positions of vertices or parts, one after the other.
template <typename Items>
Xyz Positions(const Items& items) {
  Xyz out;
  for (const auto& i : items) out.insert(out.end(), i.position, i.position + 3);
  return out;
}

// A working folder with header "m" (one level, "m_lod0") unless a test writes another.
class V20 : public ::testing::Test {
 protected:
  void SetUp() override { wd.Write("xmodel/m", v20::Header({{"m_lod0", 0, {"mtl_a"}}})); }
  bool Load() {
    if (!model.Open(wd.ModelFolder(), "m") || !model.LoadLods()) return false;
    model.LoadParts(0);
    return true;
  }
  const std::vector<Surface>& Surfaces() const { return *model.curSurfaces; }
  test::TempWorkdir wd;
  CModelV20 model;
  test::RecordingNotifier notes;
};

TEST_F(V20, MaterialListsByMarkerOrFromTheEnd) {
  ByteWriter marker;  // the marker at 412: the lists are read from 410
  marker.U16(20).Fill(25).U32(0).Z("m_lod0");
  wd.Write("xmodel/m", marker.Fill(410 - marker.Size(), 0x11).U8(2).U8(0x99).Z("mtl_one").Z("two_x"));
  ASSERT_TRUE(Load());
  EXPECT_EQ(NamesOf(model.lods[0].materials), (Names{"mtl_one", "two_x"}));
  // No marker, a zero ahead of the first count: each count is found as a one-byte string.
  wd.Write("xmodel/m", v20::Header({{"m_lod0", 1, {"abc_x", "def_y"}}, {"m_lod1", 0, {"ghi_z"}}}, 3, 0));
  ASSERT_TRUE(Load());
  EXPECT_EQ(NamesOf(model.lods[0].materials), (Names{"abc_x", "def_y"}));
  EXPECT_EQ(NamesOf(model.lods[1].materials), Names{"ghi_z"});
  ByteWriter v14 = v20::Header({{"m_lod0", 0, {"mtl_a"}}});
  v14.Data()[0] = 14;
  wd.Write("xmodel/m", v14);
  EXPECT_FALSE(Load());  // another version: no levels
}

TEST_F(V20, PartOffsetsAccumulateInListOrder) {
  // Part 1's parent comes after it: only that parent's own offset is added. A parent
  // outside the list becomes the root; empty names become "tag_origin".
  wd.Write("xmodelparts/M_LOD0", v20::Parts({{0, {}, ""},
                                             {2, {1, 0, 0}, "early"},
                                             {0, {5, 0, 0}, "late"},
                                             {1, {0, 2, 0}, ""},
                                             {9, {0, 0, 3}, "far"}}));
  ASSERT_TRUE(Load());
  const auto& p = model.parts.parts;
  EXPECT_EQ(Positions(p), (Xyz{0, 0, 0, 6, 0, 0, 5, 0, 0, 6, 2, 0, 0, 0, 3}));
  EXPECT_EQ(NamesOf(p), (Names{"tag_origin", "early", "late", "tag_origin", "far"}));
  EXPECT_EQ(p[1].parent, 2);
  EXPECT_EQ(p[4].parent, 0);
  // Another version's parts file stands for the root alone.
  wd.Write("xmodelparts/M_LOD0", v20::Parts({{0, {}, "root"}, {0, {1, 0, 0}, "a"}}, 25));
  model.LoadParts(0);
  EXPECT_EQ(model.parts.count(), 1);
}

TEST_F(V20, VerticesMoveByTheirBoneInEveryLayout) {
  // Parts 0..3, part 3 lying at (1, 2, 3) in model space.
  wd.Write("xmodelparts/m_lod0", v20::Parts({{0, {}, "root"}, {0, {1, 0, 0}, "a"}, {1, {0, 2, 0}, "b"}, {2, {0, 0, 3}, "c"}}));
  v20::FixtureSurface onBone3 = v20::Triangle(3);
  onBone3.vertices[0].position = {0, 0, 1};
  v20::FixtureSurface outside = v20::Triangle(4);  // equal to the part count: not moved
  outside.vertices[1].position = {7, 8, 9};
  // Skinned, without extra influences every record is 63 bytes, whatever b1 holds.
  v20::FixtureSurface plain = v20::Triangle(0xFFFF);
  for (auto& v : plain.vertices) v.extra = 7;
  plain.vertices[0].bone = 3;
  plain.vertices[1].bone = 2;
  plain.vertices[2].bone = 200;  // outside the list: not moved
  plain.triangles = {{2, 1, 0}};
  // With them, b1 extra influences of 16 bytes and one more byte follow each record.
  v20::FixtureSurface extra = v20::Triangle(0xFFFF);
  extra.extraInfluences = 3;
  extra.vertices.push_back({{}, {}, {4, 4, 4}});
  for (int i = 0; i < 4; ++i) extra.vertices[i].extra = std::array<uint8_t, 4>{1, 3, 0, 2}[i];
  for (auto& v : extra.vertices) v.bone = 1;
  extra.triangles = {{0, 1, 2}, {1, 2, 3}};
  wd.Write("xmodelsurfs/m_lod0", v20::Surfaces({onBone3, outside, plain, extra, v20::Triangle(3)}));
  ASSERT_TRUE(Load());
  ASSERT_TRUE(model.LoadSurfaces(0, false));
  ASSERT_EQ(model.curSurfaceCount, 5);
  EXPECT_TRUE(notes.messages.empty());
  const auto& s = Surfaces();
  EXPECT_EQ(Positions(s[0].vertices), (Xyz{1, 2, 4, 2, 2, 3, 1, 3, 3}));
  EXPECT_EQ(Positions(s[1].vertices), (Xyz{0, 0, 0, 7, 8, 9, 0, 1, 0}));
  EXPECT_EQ(Positions(s[2].vertices), (Xyz{1, 2, 3, 2, 2, 0, 0, 1, 0}));
  EXPECT_EQ(s[2].triLists[0].indices, (std::vector<uint16_t>{2, 1, 0}));
  EXPECT_EQ(Positions(s[3].vertices), (Xyz{1, 0, 0, 2, 0, 0, 1, 1, 0, 5, 4, 4}));
  EXPECT_EQ(s[3].triLists[0].indices, (std::vector<uint16_t>{0, 1, 2, 1, 2, 3}));
  EXPECT_EQ(Positions(s[4].vertices), (Xyz{1, 2, 3, 2, 2, 3, 1, 3, 3}));  // read from the right place
}

TEST_F(V20, FourExtraInfluencesStopDecodingAndKeepEarlierSurfaces) {
  v20::FixtureSurface bad = v20::Triangle(0xFFFF);
  bad.extraInfluences = 1;
  bad.vertices[0].position = {5, 5, 5};
  bad.vertices[1].extra = 4;
  wd.Write("xmodelsurfs/m_lod0", v20::Surfaces({v20::Triangle(0), bad, v20::Triangle(0)}));
  ASSERT_TRUE(Load());
  // Four extra influences: the first surface decodes, so the level loads; the bad one and
  // those after it lack triangles.
  EXPECT_TRUE(model.LoadSurfaces(0, false));
  ASSERT_EQ(notes.messages, Names{"VertexData.b1 >= 4\nUnsupported model type."});
  const auto& s = Surfaces();
  EXPECT_TRUE(s[0].facesLoaded);
  EXPECT_TRUE(s[1].unsupported && s[1].unsupportedAlt && s[1].triLists.empty());
  EXPECT_EQ(s[2].vertexCount, 0);
}

// Reading a version 25 model: the level list, the material name scan and the three vertex
// block forms of the surfaces file.

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
  EXPECT_EQ(notes.messages, Names{"Can't decode this surface!!"});
  EXPECT_TRUE(S(0).unsupported && !S(0).unsupportedAlt && S(0).triLists.empty());
}

}  // namespace
}  // namespace tessary
