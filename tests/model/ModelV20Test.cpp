// Reading a version 20 model: the material lists (found by their marker or by the walk back
// from the end), the parts, and the rigid, skinned and extra-influence vertex layouts.
#include <gtest/gtest.h>

#include "fixtures/RecordingNotifier.h"
#include "fixtures/TempWorkdir.h"
#include "fixtures/V20Writer.h"
#include "model/DescribedGeometry.h"
#include "model/ModelV20.h"

namespace tessary {
namespace {

using test::ByteWriter;
using Names = std::vector<std::string>;
using Xyz = std::vector<float>;
namespace v20 = test::v20;

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
  std::vector<Surface> Surfaces() const { return DescribedSurfaces(*model.curSurfaces, model.parts, {}); }
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
  const PartList placed = PartsInModelSpace(model.parts);
  const auto& p = placed.parts;
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

}  // namespace
}  // namespace tessary
