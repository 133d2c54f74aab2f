// Reading a version 20 model: the level list, the material lists (found by their marker or
// by the walk back from the end) with their images, the parts, and the rigid, skinned and
// extra-influence vertex layouts of the surfaces file.
#include <gtest/gtest.h>

#include "fixtures/RecordingNotifier.h"
#include "fixtures/TempWorkdir.h"
#include "fixtures/V20Writer.h"
#include "model/ModelV20.h"

namespace tessary {
namespace {

using test::ByteWriter;
using test::RecordingNotifier;
using Names = std::vector<std::string>;
using Xyz = std::vector<float>;
namespace v20 = test::v20;

Names NamesOf(const LodEntry& lod) {
  Names out;
  for (const auto& m : lod.materials) out.push_back(m.name);
  return out;
}

Xyz At(const float* p) { return {p[0], p[1], p[2]}; }

// Every vertex position of a surface, one after the other.
Xyz Positions(const Surface& s) {
  Xyz out;
  for (const Vertex& v : s.vertices) out.insert(out.end(), v.position, v.position + 3);
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
  RecordingNotifier notes;
};

TEST_F(V20, LevelsMaterialsAndImages) {
  // "abcd" is too short to be present, and its entry is skipped whole.
  wd.Write("xmodel/m", v20::Header({{"m_lod0", 1, {"mtl_a", "mtl_b", "mtl_a"}},
                                    {"abcd", 1, {"mtl_b"}},
                                    {"m_lod2", 0, {"mtl_gone", ""}}}));
  wd.Write("materials/mtl_a", v20::Material("a_col"));
  wd.Write("materials/mtl_b", v20::Material("b_col"));
  wd.Write("images/b_col.dds", ByteWriter().Raw("DDS "));
  ASSERT_TRUE(Load());
  ASSERT_EQ(model.lodCount, 3);
  EXPECT_EQ(model.presentLodCount, 2);
  EXPECT_FALSE(model.lods[1].present);
  EXPECT_EQ(model.lods[1].surfsName, "");
  EXPECT_EQ(model.lods[2].surfsName, "m_lod2");
  EXPECT_EQ(NamesOf(model.lods[0]), (Names{"mtl_a", "mtl_b", "mtl_a"}));
  EXPECT_EQ(NamesOf(model.lods[1]), Names{"mtl_b"});  // read for absent levels too
  EXPECT_EQ(model.lods[0].materials[2].imageName, "a_col.iwi");
  EXPECT_EQ(model.lods[1].materials[0].imageName, "b_col.dds");
  EXPECT_FALSE(model.lods[2].materials[0].imageName.has_value());  // no material file
  EXPECT_FALSE(model.lods[2].materials[1].imageName.has_value());  // names the folder
}

TEST_F(V20, MaterialListsByMarkerOrFromTheEnd) {
  ByteWriter marker;  // the marker at 412: the lists are read from 410
  marker.U16(20).Fill(25).U32(0).Z("m_lod0");
  marker.Fill(410 - marker.Size(), 0x11).U8(2).U8(0x99).Z("mtl_one").Z("two_x");
  ByteWriter atStart;  // the walk meets one count byte for two levels and reaches offset 0
  atStart.U16(20).Fill(25).U32(0x41414141).Z("m_lod0").U32(0).Z("m_lod1").U8(1).U8(0).Z("abcd");
  const std::vector<v20::HeaderLevel> noMarker = {{"m_lod0", 1, {"abc_x", "def_y"}}, {"m_lod1", 0, {"ghi_z"}}};
  struct Case {
    const char* what;
    ByteWriter header;
    Names level0, level1;
  } cases[] = {
      {"marker", marker, {"mtl_one", "two_x"}, {}},
      // A zero ahead of the first count: each count is found as a one-byte string.
      {"zero ahead", v20::Header(noMarker, 3, 0), {"abc_x", "def_y"}, {"ghi_z"}},
      // Two other bytes ahead: found as a string of three, which ends the walk at once.
      {"two bytes ahead", v20::Header(noMarker, 2, 0xEE), {"abc_x", "def_y"}, {"ghi_z"}},
      {"start of the file", atStart, {}, {}},
      {"no present level", v20::Header({{"abcd", 0, {"abc_x"}}}, 2, 0), {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    wd.Write("xmodel/m", c.header);
    ASSERT_TRUE(Load());
    EXPECT_EQ(NamesOf(model.lods[0]), c.level0);
    if (model.lodCount > 1) {
      EXPECT_EQ(NamesOf(model.lods[1]), c.level1);
    }
  }
}

TEST_F(V20, OtherVersionsAndMissingHeadersGiveNoLevels) {
  ByteWriter v14 = v20::Header({{"m_lod0", 0, {"mtl_a"}}});
  v14.Data()[0] = 14;
  wd.Write("xmodel/old", v14);
  ASSERT_TRUE(model.Open(wd.ModelFolder(), "old"));
  EXPECT_EQ(model.LoadLods(), nullptr);
  EXPECT_FALSE(model.LoadSurfaces(0, false));
  EXPECT_FALSE(model.Open(wd.ModelFolder(), "none"));
  EXPECT_FALSE(model.Open(wd.Str(), "xmodel"));  // a folder is no header
}

TEST_F(V20, ImageForMaterialPrefersConvertedDds) {
  wd.Write("images/b_col.DDS", ByteWriter().Raw("DDS "));
  wd.Write("images/a_col.iwi", ByteWriter().Raw("IWi"));
  const std::pair<ByteWriter, std::string> cases[] = {
      {v20::Material("a_col"), "a_col.iwi"},
      {v20::Material("B_Col"), "B_Col.dds"},  // found in any letter case
      {v20::Material(""), ".iwi"},
      // Each string is read within 255 bytes; the second read starts 256 bytes after the first.
      {ByteWriter().U16(2).Z(std::string(300, 'a')).Z("img"), std::string(44, 'a') + ".iwi"},
      {ByteWriter().U16(2).Z("s").Z(std::string(300, 'b')), std::string(255, 'b') + ".iwi"},
      {ByteWriter().U16(5000).Z("s").Z("img"), ".iwi"},
  };
  const std::string dir = wd.ModelFolder() + "\\..\\materials\\";
  for (const auto& [bytes, image] : cases) {
    wd.Write("materials/mtl", bytes);
    EXPECT_EQ(ImageForMaterial(dir + "mtl"), image);
  }
  EXPECT_EQ(ImageForMaterial(dir + "none"), "");
  EXPECT_EQ(ImageForMaterial(dir), "");
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
  ASSERT_EQ(model.parts.count(), 5);
  const auto& p = model.parts.parts;
  EXPECT_EQ(At(p[1].position), (Xyz{6, 0, 0}));
  EXPECT_EQ(At(p[2].position), (Xyz{5, 0, 0}));
  EXPECT_EQ(At(p[3].position), (Xyz{6, 2, 0}));
  EXPECT_EQ(At(p[4].position), (Xyz{0, 0, 3}));
  EXPECT_EQ(p[1].parent, 2);
  EXPECT_EQ(p[4].parent, 0);
  EXPECT_EQ(p[0].name, "tag_origin");
  EXPECT_EQ(p[3].name, "tag_origin");
  EXPECT_EQ(p[4].name, "far");

  ByteWriter cut = v20::Parts({{0, {}, "root"}, {0, {1, 0, 0}, "abc"}, {1, {0, 1, 0}, "zzz"}});
  cut.Data().resize(cut.Size() - 6);  // "ab" of the second name remain, the third is gone
  wd.Write("xmodelparts/M_LOD0", cut);
  ASSERT_TRUE(Load());
  ASSERT_EQ(model.parts.count(), 3);
  EXPECT_EQ(p[1].name, "ab");
  EXPECT_EQ(p[2].name, "tag_origin");
  EXPECT_EQ(At(p[2].position), (Xyz{1, 1, 0}));
}

// Parts 0..3, part 3 lying at (1, 2, 3) in model space.
std::vector<v20::FixturePart> FourParts() {
  return {{0, {}, "root"}, {0, {1, 0, 0}, "a"}, {1, {0, 2, 0}, "b"}, {2, {0, 0, 3}, "c"}};
}

TEST_F(V20, RigidVerticesMoveByTheirBone) {
  wd.Write("xmodelparts/m_lod0", v20::Parts(FourParts()));
  v20::FixtureSurface onBone3 = v20::Triangle(3);
  onBone3.vertices[0] = {{0.5f, 0.25f, 0.125f}, {0.75f, 0.0625f}, {0, 0, 1}};
  v20::FixtureSurface outside = v20::Triangle(4);  // equal to the part count: not moved
  outside.vertices[1].position = {7, 8, 9};
  wd.Write("xmodelsurfs/m_lod0", v20::Surfaces({onBone3, outside}));
  ASSERT_TRUE(Load());
  ASSERT_TRUE(model.LoadSurfaces(0, false));
  ASSERT_EQ(model.curSurfaceCount, 2);
  const Vertex& v = Surfaces()[0].vertices[0];
  EXPECT_EQ(Positions(Surfaces()[0]), (Xyz{1, 2, 4, 2, 2, 3, 1, 3, 3}));
  EXPECT_EQ((Xyz{v.normal[0], v.normal[1], v.normal[2], v.uv[0], v.uv[1]}), (Xyz{0.5f, 0.25f, 0.125f, 0.75f, 0.0625f}));
  EXPECT_EQ(Positions(Surfaces()[1]), (Xyz{0, 0, 0, 7, 8, 9, 0, 1, 0}));
  EXPECT_EQ(Surfaces()[1].triLists.at(0).indices, (std::vector<uint16_t>{0, 1, 2}));
}

TEST_F(V20, SkinnedVerticesNameTheirOwnBoneAndExtraInfluencesLengthenThem) {
  wd.Write("xmodelparts/m_lod0", v20::Parts(FourParts()));
  // Without extra influences every record is 63 bytes, whatever b1 holds.
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
  wd.Write("xmodelsurfs/m_lod0", v20::Surfaces({plain, extra, v20::Triangle(3)}));
  ASSERT_TRUE(Load());
  ASSERT_TRUE(model.LoadSurfaces(0, false));
  EXPECT_TRUE(notes.messages.empty());
  const auto& s = Surfaces();
  EXPECT_EQ(Positions(s[0]), (Xyz{1, 2, 3, 2, 2, 0, 0, 1, 0}));
  EXPECT_EQ(s[0].triLists[0].indices, (std::vector<uint16_t>{2, 1, 0}));
  EXPECT_EQ(Positions(s[1]), (Xyz{1, 0, 0, 2, 0, 0, 1, 1, 0, 5, 4, 4}));
  EXPECT_EQ(s[1].triLists[0].indices, (std::vector<uint16_t>{0, 1, 2, 1, 2, 3}));
  EXPECT_EQ(Positions(s[2]), (Xyz{1, 2, 3, 2, 2, 3, 1, 3, 3}));  // read from the right place
}

TEST_F(V20, FourExtraInfluencesStopTheDecoderWithAMessage) {
  v20::FixtureSurface bad = v20::Triangle(0xFFFF);
  bad.extraInfluences = 1;
  bad.vertices[0].position = {5, 5, 5};
  bad.vertices[1].extra = 4;
  wd.Write("xmodelsurfs/m_lod0", v20::Surfaces({v20::Triangle(0), bad, v20::Triangle(0)}));
  ASSERT_TRUE(Load());
  // The first surface decodes, so the level loads; the bad one and those after it lack
  // triangles.
  EXPECT_TRUE(model.LoadSurfaces(0, false));
  ASSERT_EQ(notes.messages, Names{"VertexData.b1 >= 4\nUnsupported model type."});
  EXPECT_EQ(notes.captions[0], "Tessary");
  const auto& s = Surfaces();
  EXPECT_TRUE(s[0].facesLoaded);
  EXPECT_TRUE(s[1].unsupported && s[1].unsupportedAlt && s[1].triLists.empty());
  EXPECT_EQ(At(s[1].vertices[0].position), (Xyz{5, 5, 5}));  // decoded before the failure
  EXPECT_EQ(s[2].vertexCount, 0);
  // The same surface first: the level is refused.
  wd.Write("xmodelsurfs/m_lod0", v20::Surfaces({bad}));
  EXPECT_FALSE(model.LoadSurfaces(0, false));
}

TEST_F(V20, ShortVertexBlockLeavesTheSurfaceWithoutTriangles) {
  ByteWriter w = v20::Surfaces({v20::Triangle(0), v20::Triangle(0)});
  w.Data().resize(w.Size() - 6 - 30);  // the second surface's last vertex is cut in half
  wd.Write("xmodelsurfs/m_lod0", w);
  ASSERT_TRUE(Load());
  EXPECT_TRUE(model.LoadSurfaces(0, false));
  EXPECT_TRUE(notes.messages.empty());
  EXPECT_TRUE(Surfaces()[0].facesLoaded);
  EXPECT_FALSE(Surfaces()[1].facesLoaded || !Surfaces()[1].triLists.empty());
}

TEST_F(V20, LevelsAndTheirSurfacesFiles) {
  wd.Write("xmodel/m", v20::Header({{"m_lod0", 1, {"mtl_a"}}, {"M_Lod1", 0, {"mtl_a"}}}));
  v20::FixtureSurface noTriangles = v20::Triangle(0);
  noTriangles.triangles.clear();
  wd.Write("xmodelsurfs/m_lod1", v20::Surfaces({noTriangles, v20::Triangle(0)}));
  ASSERT_TRUE(Load());
  ASSERT_TRUE(model.LoadSurfaces(1, false));  // found in another letter case
  ASSERT_EQ(model.curSurfaceCount, 2);
  for (const Surface& s : Surfaces()) EXPECT_EQ(s.lodIndex, 1);
  EXPECT_EQ(Surfaces()[0].triLists.at(0).triCount, 0u);
  EXPECT_TRUE(Surfaces()[0].facesLoaded);

  EXPECT_FALSE(model.LoadSurfaces(0, false));  // its file is missing
  EXPECT_EQ(model.curSurfaces, nullptr);
  EXPECT_FALSE(model.LoadSurfaces(2, false));
  EXPECT_FALSE(model.LoadSurfaces(-1, false));
  wd.Write("xmodelsurfs/m_lod1", v20::Surfaces({}));
  EXPECT_FALSE(model.LoadSurfaces(1, false));
}

}  // namespace
}  // namespace tessary
