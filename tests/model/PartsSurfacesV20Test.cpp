// The version 20 parts file (tags and their model-space positions) and surfaces file
// (rigid, skinned and extra-influence vertex layouts moved by their bones).
#include <gtest/gtest.h>

#include "fixtures/RecordingNotifier.h"
#include "fixtures/TempWorkdir.h"
#include "fixtures/V20Writer.h"
#include "model/ModelV20.h"

namespace tessary {
namespace {

using test::ByteWriter;
using test::RecordingNotifier;
using test::TempWorkdir;
namespace v20 = test::v20;

// A working folder with header "m" whose one level is "m_lod0".
class V20Model : public ::testing::Test {
 protected:
  void SetUp() override { wd.Write("xmodel/m", v20::Header({{"m_lod0", 0, {"mtl_a"}}})); }
  // Opens the model, loads levels and parts.
  CModelV20& Load() {
    EXPECT_TRUE(model.Open(wd.ModelFolder(), "m"));
    EXPECT_NE(model.LoadLods(), nullptr);
    model.LoadParts(0);
    return model;
  }
  void Position(const Part& p, float x, float y, float z) {
    EXPECT_FLOAT_EQ(p.position[0], x);
    EXPECT_FLOAT_EQ(p.position[1], y);
    EXPECT_FLOAT_EQ(p.position[2], z);
  }
  void Position(const Vertex& v, float x, float y, float z) {
    EXPECT_FLOAT_EQ(v.position[0], x);
    EXPECT_FLOAT_EQ(v.position[1], y);
    EXPECT_FLOAT_EQ(v.position[2], z);
  }
  TempWorkdir wd;
  CModelV20 model;
};

using PartsV20 = V20Model;
using SurfacesV20 = V20Model;

TEST_F(PartsV20, OffsetsAccumulateInListOrder) {
  // Part 1 names a parent that comes after it: it adds that parent's own offset only.
  wd.Write("xmodelparts/M_LOD0", v20::Parts({{0, {}, "root"},
                                             {2, {1, 0, 0}, "early"},
                                             {0, {5, 0, 0}, "late"},
                                             {1, {0, 2, 0}, "grandchild"},
                                             {3, {0, 0, 3}, "deep"}}));
  Load();
  ASSERT_EQ(model.parts.count(), 5);
  Position(model.parts.parts[0], 0, 0, 0);
  Position(model.parts.parts[1], 6, 0, 0);
  Position(model.parts.parts[2], 5, 0, 0);
  Position(model.parts.parts[3], 6, 2, 0);
  Position(model.parts.parts[4], 6, 2, 3);
  EXPECT_EQ(model.parts.parts[4].name, "deep");
  EXPECT_EQ(model.parts.parts[1].parent, 2);
}

TEST_F(PartsV20, ParentOutsideTheListBecomesTheRoot) {
  wd.Write("xmodelparts/m_lod0", v20::Parts({{0, {}, "root"}, {0, {1, 1, 1}, "a"}, {9, {0, 2, 0}, "b"}}));
  Load();
  ASSERT_EQ(model.parts.count(), 3);
  EXPECT_EQ(model.parts.parts[2].parent, 0);
  Position(model.parts.parts[2], 0, 2, 0);
}

TEST_F(PartsV20, EmptyNamesBecomeTagOrigin) {
  wd.Write("xmodelparts/m_lod0", v20::Parts({{0, {}, ""}, {0, {}, "gun"}, {1, {}, ""}, {1, {}, "bolt"}}));
  Load();
  ASSERT_EQ(model.parts.count(), 4);
  EXPECT_EQ(model.parts.parts[0].name, "tag_origin");
  EXPECT_EQ(model.parts.parts[1].name, "gun");
  EXPECT_EQ(model.parts.parts[2].name, "tag_origin");
  EXPECT_EQ(model.parts.parts[3].name, "bolt");

  wd.Write("xmodelparts/m_lod0", v20::Parts({{0, {}, "only"}}));
  Load();
  ASSERT_EQ(model.parts.count(), 1);
  EXPECT_EQ(model.parts.parts[0].name, "only");
}

TEST_F(PartsV20, UnusableFilesGiveTheUnnamedRootAlone) {
  const std::vector<std::pair<const char*, ByteWriter>> cases = {
      {"version 14", v20::Parts({{0, {}, "root"}, {0, {1, 2, 3}, "a"}}, 14)},
      {"five bytes", ByteWriter().U16(20).U16(1).U8(0)},
      {"empty", ByteWriter()},
  };
  for (const auto& [what, bytes] : cases) {
    SCOPED_TRACE(what);
    wd.Write("xmodelparts/m_lod0", bytes);
    Load();
    ASSERT_EQ(model.parts.count(), 1);
    EXPECT_EQ(model.parts.parts[0].name, "");
    EXPECT_EQ(model.parts.parts[0].parent, 0);
    Position(model.parts.parts[0], 0, 0, 0);
  }
  std::filesystem::remove(wd.Path() / "xmodelparts" / "m_lod0");
  Load();
  EXPECT_EQ(model.parts.count(), 1);
}

TEST_F(PartsV20, NamesCutByTheEndOfTheFile) {
  ByteWriter w = v20::Parts({{0, {}, "root"}, {0, {1, 0, 0}, "abc"}, {1, {0, 1, 0}, "zzz"}});
  w.Data().resize(w.Size() - 6);  // "ab" of the second name remain, the third is gone
  wd.Write("xmodelparts/m_lod0", w);
  Load();
  ASSERT_EQ(model.parts.count(), 3);
  EXPECT_EQ(model.parts.parts[1].name, "ab");
  EXPECT_EQ(model.parts.parts[2].name, "tag_origin");
  Position(model.parts.parts[2], 1, 1, 0);
}

TEST_F(PartsV20, AModelWithoutLevelsHasTheRootAlone) {
  wd.Write("xmodel/m", v20::Header({{"", 0, {}}}));
  wd.Write("xmodelparts/m_lod0", v20::Parts({{0, {}, "root"}, {0, {}, "a"}}));
  Load();
  EXPECT_EQ(model.lodCount, 0);
  EXPECT_EQ(model.parts.count(), 1);
}

// Parts 0..3, part 3 lying at (1, 2, 3) in model space.
std::vector<v20::FixturePart> FourParts() {
  return {{0, {}, "root"}, {0, {1, 0, 0}, "a"}, {1, {0, 2, 0}, "b"}, {2, {0, 0, 3}, "c"}};
}

TEST_F(SurfacesV20, RigidVerticesMoveByTheirBone) {
  wd.Write("xmodelparts/m_lod0", v20::Parts(FourParts()));
  v20::FixtureSurface onBone3 = v20::Triangle(3);
  onBone3.vertices[0].position = {0, 0, 1};
  onBone3.vertices[0].normal = {0.5f, 0.25f, 0.125f};
  onBone3.vertices[0].uv = {0.75f, 0.0625f};
  v20::FixtureSurface onRoot = v20::Triangle(0);
  v20::FixtureSurface outside = v20::Triangle(4);  // equal to the part count
  onRoot.vertices[1].position = {7, 8, 9};
  outside.vertices[1].position = {7, 8, 9};
  wd.Write("xmodelsurfs/m_lod0", v20::Surfaces({onBone3, onRoot, outside}));
  Load();
  ASSERT_TRUE(model.LoadSurfaces(0, false));
  ASSERT_EQ(model.curSurfaceCount, 3);
  const auto& s = *model.curSurfaces;
  const Vertex& v = s[0].vertices[0];
  Position(v, 1, 2, 4);
  EXPECT_FLOAT_EQ(v.normal[0], 0.5f);
  EXPECT_FLOAT_EQ(v.normal[1], 0.25f);
  EXPECT_FLOAT_EQ(v.normal[2], 0.125f);
  EXPECT_FLOAT_EQ(v.uv[0], 0.75f);
  EXPECT_FLOAT_EQ(v.uv[1], 0.0625f);
  Position(s[1].vertices[1], 7, 8, 9);
  Position(s[2].vertices[1], 7, 8, 9);
  for (const Surface& surface : s) {
    EXPECT_EQ(surface.lodIndex, 0);
    EXPECT_EQ(surface.vertexCount, 3);
    ASSERT_EQ(surface.triListCount, 1);
    ASSERT_EQ(surface.triLists.size(), 1u);
    EXPECT_EQ(surface.triLists[0].triCount, 1u);
    EXPECT_EQ(surface.triLists[0].indices, (std::vector<uint16_t>{0, 1, 2}));
    EXPECT_TRUE(surface.facesLoaded);
  }
}

TEST_F(SurfacesV20, SkinnedVerticesNameTheirOwnBone) {
  wd.Write("xmodelparts/m_lod0", v20::Parts(FourParts()));
  v20::FixtureSurface skinned = v20::Triangle(0xFFFF);
  skinned.extraInfluences = 0;
  // Without extra influences every record is 63 bytes, whatever b1 holds.
  for (auto& v : skinned.vertices) v.extra = 2;
  skinned.vertices[2].extra = 7;  // not looked at in this layout
  skinned.vertices[0].bone = 3;
  skinned.vertices[1].bone = 2;
  skinned.vertices[2].bone = 200;
  skinned.triangles = {{2, 1, 0}};
  v20::FixtureSurface after = v20::Triangle(1);
  wd.Write("xmodelsurfs/m_lod0", v20::Surfaces({skinned, after}));
  RecordingNotifier notes;
  Load();
  ASSERT_TRUE(model.LoadSurfaces(0, false));
  EXPECT_TRUE(notes.messages.empty());
  const auto& s = *model.curSurfaces;
  Position(s[0].vertices[0], 1, 2, 3);
  Position(s[0].vertices[1], 2, 2, 0);
  Position(s[0].vertices[2], 0, 1, 0);
  EXPECT_FLOAT_EQ(s[0].vertices[1].uv[0], 1);
  EXPECT_EQ(s[0].triLists[0].indices, (std::vector<uint16_t>{2, 1, 0}));
  Position(s[1].vertices[2], 1, 1, 0);  // the next surface is read from the right place
}

TEST_F(SurfacesV20, ExtraInfluencesLengthenTheirVertex) {
  wd.Write("xmodelparts/m_lod0", v20::Parts(FourParts()));
  v20::FixtureSurface skinned = v20::Triangle(0xFFFF);
  skinned.extraInfluences = 3;
  skinned.vertices.push_back(skinned.vertices[0]);
  skinned.vertices[0].extra = 1;  // 80 bytes
  skinned.vertices[1].extra = 3;  // 112 bytes
  skinned.vertices[2].extra = 0;  // 63 bytes
  skinned.vertices[3].extra = 2;  // 96 bytes
  for (auto& v : skinned.vertices) v.bone = 1;
  skinned.vertices[3].position = {4, 4, 4};
  skinned.triangles = {{0, 1, 2}, {1, 2, 3}};
  wd.Write("xmodelsurfs/m_lod0", v20::Surfaces({skinned, v20::Triangle(3)}));
  RecordingNotifier notes;
  Load();
  ASSERT_TRUE(model.LoadSurfaces(0, false));
  EXPECT_TRUE(notes.messages.empty());
  const auto& s = *model.curSurfaces;
  Position(s[0].vertices[1], 2, 0, 0);
  Position(s[0].vertices[2], 1, 1, 0);
  Position(s[0].vertices[3], 5, 4, 4);
  EXPECT_EQ(s[0].triLists[0].indices, (std::vector<uint16_t>{0, 1, 2, 1, 2, 3}));
  Position(s[1].vertices[1], 2, 2, 3);
}

TEST_F(SurfacesV20, FourExtraInfluencesStopTheDecoderWithAMessage) {
  v20::FixtureSurface bad = v20::Triangle(0xFFFF);
  bad.extraInfluences = 1;
  bad.vertices[0].position = {5, 5, 5};
  bad.vertices[1].extra = 4;
  wd.Write("xmodelsurfs/m_lod0", v20::Surfaces({v20::Triangle(0), bad, v20::Triangle(0)}));
  RecordingNotifier notes;
  Load();
  // The first surface decodes, so the level loads; the bad one and those after it lack
  // triangles.
  EXPECT_TRUE(model.LoadSurfaces(0, false));
  ASSERT_EQ(notes.messages, std::vector<std::string>{"VertexData.b1 >= 4\nUnsupported model type."});
  EXPECT_EQ(notes.captions[0], "Tessary");
  ASSERT_EQ(model.curSurfaceCount, 3);
  const auto& s = *model.curSurfaces;
  EXPECT_TRUE(s[0].facesLoaded);
  EXPECT_TRUE(s[1].unsupported && s[1].unsupportedAlt);
  EXPECT_FALSE(s[1].facesLoaded);
  EXPECT_TRUE(s[1].triLists.empty());
  EXPECT_EQ(s[1].vertexCount, 3);
  Position(s[1].vertices[0], 5, 5, 5);  // decoded before the failure
  Position(s[1].vertices[1], 0, 0, 0);
  EXPECT_FALSE(s[2].facesLoaded);
  EXPECT_EQ(s[2].vertexCount, 0);

  // The same surface first: the level is refused.
  wd.Write("xmodelsurfs/m_lod0", v20::Surfaces({bad}));
  EXPECT_FALSE(model.LoadSurfaces(0, false));
  EXPECT_EQ(notes.messages.size(), 2u);
}

TEST_F(SurfacesV20, ShortVertexBlockLeavesTheSurfaceWithoutTriangles) {
  ByteWriter w = v20::Surfaces({v20::Triangle(0), v20::Triangle(0)});
  w.Data().resize(w.Size() - 6 - 30);  // the second surface's last vertex is cut in half
  wd.Write("xmodelsurfs/m_lod0", w);
  RecordingNotifier notes;
  Load();
  EXPECT_TRUE(model.LoadSurfaces(0, false));
  EXPECT_TRUE(notes.messages.empty());
  const auto& s = *model.curSurfaces;
  EXPECT_TRUE(s[0].facesLoaded);
  EXPECT_EQ(s[1].vertexCount, 3);
  EXPECT_FALSE(s[1].facesLoaded);
  EXPECT_TRUE(s[1].triLists.empty());
  Position(s[1].vertices[1], 0, 0, 0);

  // A skinned block cut short fails the same way.
  v20::FixtureSurface skinned = v20::Triangle(0xFFFF);
  w = v20::Surfaces({skinned});
  w.Data().resize(w.Size() - 6 - 10);
  wd.Write("xmodelsurfs/m_lod0", w);
  EXPECT_TRUE(model.LoadSurfaces(0, false));
  EXPECT_FALSE((*model.curSurfaces)[0].facesLoaded);
}

TEST_F(SurfacesV20, EmptyListsAndBadLevels) {
  v20::FixtureSurface noTriangles = v20::Triangle(0);
  noTriangles.triangles.clear();
  wd.Write("xmodelsurfs/m_lod0", v20::Surfaces({noTriangles}));
  Load();
  ASSERT_TRUE(model.LoadSurfaces(0, false));
  const Surface& s = (*model.curSurfaces)[0];
  ASSERT_EQ(s.triLists.size(), 1u);
  EXPECT_EQ(s.triLists[0].triCount, 0u);
  EXPECT_TRUE(s.facesLoaded);

  EXPECT_FALSE(model.LoadSurfaces(1, false));  // lodCount is 1
  EXPECT_EQ(model.surfacesFile, nullptr);
  EXPECT_EQ(model.curSurfaces, nullptr);
  EXPECT_FALSE(model.LoadSurfaces(-1, false));

  wd.Write("xmodelsurfs/m_lod0", v20::Surfaces({}));
  EXPECT_FALSE(model.LoadSurfaces(0, false));

  std::filesystem::remove(wd.Path() / "xmodelsurfs" / "m_lod0");
  EXPECT_FALSE(model.LoadSurfaces(0, false));
  EXPECT_EQ(model.surfacesFile, nullptr);
}

TEST_F(SurfacesV20, LevelsAreFoundInAnyLetterCaseAndTagTheirSurfaces) {
  wd.Write("xmodel/m", v20::Header({{"m_lod0", 1, {"mtl_a"}}, {"M_Lod1", 0, {"mtl_a"}}}));
  wd.Write("xmodelsurfs/m_lod1", v20::Surfaces({v20::Triangle(0), v20::Triangle(0)}));
  Load();
  ASSERT_TRUE(model.LoadSurfaces(1, false));
  ASSERT_EQ(model.curSurfaceCount, 2);
  for (const Surface& s : *model.curSurfaces) EXPECT_EQ(s.lodIndex, 1);
  EXPECT_FALSE(model.LoadSurfaces(0, false));  // its file is missing
}

}  // namespace
}  // namespace tessary
