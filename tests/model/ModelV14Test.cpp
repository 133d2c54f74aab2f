// Reading a version 14 model: level list, the backward material walk, parts, strip
// surfaces and the model tree.
#include <gtest/gtest.h>

#include "fixtures/TempWorkdir.h"
#include "fixtures/V14Writer.h"
#include "model/ModelV14.h"
#include "model/ShowModelTree.h"

namespace tessary {
namespace {

using test::ByteWriter;
using test::TempWorkdir;
namespace v14 = test::v14;

std::vector<std::string> Names(const LodEntry& lod) {
  std::vector<std::string> out;
  for (const auto& m : lod.materials) out.push_back(m.name);
  return out;
}

// Writes the header and loads its levels and materials.
void LoadHeader(const TempWorkdir& wd, const ByteWriter& header, CModelV14& model) {
  wd.Write("xmodel/gun", header);
  ASSERT_TRUE(model.Open(wd.ModelFolder(), "gun"));
  ASSERT_NE(model.LoadLods(), nullptr);
}

const std::vector<v14::HeaderLevel> kTwoLevels = {{"gun_lod0"}, {"gun_lod1", 0}};

// ---- Level list ---------------------------------------------------------------------

TEST(ModelV14Levels, ReadsNamesFromOffset30AndSkipsShortOnes) {
  TempWorkdir wd;
  CModelV14 model;
  LoadHeader(wd, v14::Header({{"gun_LOD0"}, {"abcd"}, {"gun_lod2", 0}}, {{{"a.dds"}}}), model);
  ASSERT_EQ(model.lodCount, 3);
  EXPECT_EQ(model.presentLodCount, 2);
  EXPECT_EQ(model.lods[0].surfsName, "gun_LOD0");
  EXPECT_FALSE(model.lods[1].present);
  EXPECT_EQ(model.lods[2].surfsName, "gun_lod2");
}

TEST(ModelV14Levels, RefusesOtherVersionsAndMissingFiles) {
  TempWorkdir wd;
  ByteWriter header = v14::Header(kTwoLevels, {{{"a.dds"}}, {{"b.dds"}}});
  header.Data()[0] = 20;
  wd.Write("xmodel/gun", header);
  CModelV14 model;
  ASSERT_TRUE(model.Open(wd.ModelFolder(), "gun"));
  EXPECT_EQ(model.LoadLods(), nullptr);
  EXPECT_FALSE(model.Open(wd.ModelFolder(), "nothing"));
  EXPECT_EQ(model.LoadLods(), nullptr);
}

// ---- Material lists: the backward walk ---------------------------------------------

TEST(ModelV14Materials, LoneCountBytesMarkTheLists) {
  // ... 00 02 00 a.dds 00 b.dds 00 01 00 c.dds 00
  TempWorkdir wd;
  CModelV14 model;
  LoadHeader(wd, v14::Header(kTwoLevels, {{{"a.dds", "b.dds"}}, {{"c.dds"}}}), model);
  EXPECT_EQ(Names(model.lods[0]), (std::vector<std::string>{"a.dds", "b.dds"}));
  EXPECT_EQ(Names(model.lods[1]), (std::vector<std::string>{"c.dds"}));
  EXPECT_EQ(model.lods[0].materialCount, 2);
  EXPECT_EQ(model.lods[0].materials[1].index, 1);
  EXPECT_EQ(model.lods[0].materials[1].lodMaterialCount, 2);
  EXPECT_FALSE(model.lods[0].materials[0].imageName.has_value());
}

TEST(ModelV14Materials, ThreeByteStringEndsTheWalkAtItsLastByte) {
  // 00 58 59 in place of the zero before the first count: the string 58 59 02 is
  // taken as the first list, read from the 02.
  TempWorkdir wd;
  CModelV14 model;
  LoadHeader(wd, v14::Header(kTwoLevels, {{{"a.dds", "b.dds"}}, {{"c.dds"}}},
                             {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x58, 0x59}),
             model);
  EXPECT_EQ(Names(model.lods[0]), (std::vector<std::string>{"a.dds", "b.dds"}));
  EXPECT_EQ(Names(model.lods[1]), (std::vector<std::string>{"c.dds"}));
}

TEST(ModelV14Materials, TwoByteStringStartsReadingOneByteLate) {
  // 00 59 02: reading starts at the unread byte after the 02 (count 0), so the second
  // list's count is the '.' of a.dds (46) and its names run on from "ds".
  TempWorkdir wd;
  CModelV14 model;
  LoadHeader(wd, v14::Header(kTwoLevels, {{{"a.dds", "b.dds"}}, {{"c.dds"}}},
                             {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x59}),
             model);
  EXPECT_EQ(model.lods[0].materialCount, 0);
  ASSERT_EQ(model.lods[1].materialCount, '.');
  EXPECT_EQ(model.lods[1].materials[0].name, "ds");
  EXPECT_EQ(model.lods[1].materials[1].name, "b.dds");
  EXPECT_EQ(model.lods[1].materials[2].name, "\x01");
  EXPECT_EQ(model.lods[1].materials[3].name, "c.dds");
  EXPECT_EQ(model.lods[1].materials[45].name, "");
}

TEST(ModelV14Materials, FewerListsThanLevelsLeaveTheRestEmpty) {
  TempWorkdir wd;
  CModelV14 model;
  LoadHeader(wd, v14::Header(kTwoLevels, {{{"a.dds", "b.dds"}}},
                             {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x58, 0x59}),
             model);
  EXPECT_EQ(Names(model.lods[0]), (std::vector<std::string>{"a.dds", "b.dds"}));
  EXPECT_EQ(model.lods[1].materialCount, 0);
  EXPECT_TRUE(model.lods[1].materials.empty());
}

TEST(ModelV14Materials, WalkReachingTheStartReadsNoLists) {
  // One lone count byte for two present levels: the walk runs back to the start of the
  // file and no level gets materials, not even the one whose list was found.
  TempWorkdir wd;
  CModelV14 model;
  LoadHeader(wd, v14::Header(kTwoLevels, {{{"a.dds", "b.dds"}}}), model);
  EXPECT_EQ(model.lods[0].materialCount, 0);
  EXPECT_EQ(model.lods[1].materialCount, 0);
}

TEST(ModelV14Materials, NoPresentLevelReadsNoLists) {
  TempWorkdir wd;
  CModelV14 model;
  LoadHeader(wd, v14::Header({{"ab", 0}}, {{{"a.dds"}}}), model);
  ASSERT_EQ(model.lodCount, 1);
  EXPECT_EQ(model.presentLodCount, 0);
  EXPECT_EQ(model.lods[0].materialCount, 0);
}

TEST(ModelV14Materials, LongRunsWithoutZerosAreSteppedOver) {
  // Between the lists lies a run far longer than a string measurement looks at; the walk
  // must cross it and still find the first list's count byte before it.
  for (size_t run : {1023u, 1024u, 1025u, 5000u}) {
    SCOPED_TRACE(run);
    ByteWriter tail;
    tail.U8(0xFF).U8(0).U8(1).U8(0).Z("x.dds").Fill(run, 'Z').U8(0).U8(1).U8(0).Z("y.dds");
    TempWorkdir wd;
    CModelV14 model;
    LoadHeader(wd, v14::HeaderWithTail(kTwoLevels, tail), model);
    EXPECT_EQ(Names(model.lods[0]), (std::vector<std::string>{"x.dds"}));
    // The second list is read right after the first, from the run: count 'Z'.
    EXPECT_EQ(model.lods[1].materialCount, 'Z');
  }
}

// ---- Parts --------------------------------------------------------------------------

TEST(ModelV14Parts, NamesStayAsStoredAndPositionsAccumulate) {
  TempWorkdir wd;
  CModelV14 model;
  LoadHeader(wd, v14::Header(kTwoLevels, {{{"a.dds"}}, {{"b.dds"}}}), model);
  wd.Write("xmodelparts/gun_lod0",
           v14::Parts({{0, {0, 0, 0}, ""}, {0, {1, 0, 0}, "tag_a"}, {1, {0, 2, 0}, "Tag_B"}}));
  model.LoadParts(0);
  ASSERT_EQ(model.parts.count(), 3);
  EXPECT_EQ(model.parts.parts[0].name, "");  // no stand-in name in this version
  EXPECT_EQ(model.parts.parts[1].name, "tag_a");
  EXPECT_EQ(model.parts.parts[2].name, "Tag_B");
  EXPECT_FLOAT_EQ(model.parts.parts[2].position[0], 1);
  EXPECT_FLOAT_EQ(model.parts.parts[2].position[1], 2);
}

TEST(ModelV14Parts, MissingOrForeignPartsFileGivesTheRootAlone) {
  TempWorkdir wd;
  CModelV14 model;
  LoadHeader(wd, v14::Header(kTwoLevels, {{{"a.dds"}}, {{"b.dds"}}}), model);
  model.LoadParts(0);
  ASSERT_EQ(model.parts.count(), 1);
  wd.Write("xmodelparts/gun_lod0", v14::Parts({{0, {0, 0, 0}, "root"}, {0, {1, 0, 0}, "a"}}, 20));
  model.LoadParts(0);
  ASSERT_EQ(model.parts.count(), 1);
  EXPECT_EQ(model.parts.parts[0].name, "");
}

// ---- Surfaces -----------------------------------------------------------------------

v14::FixtureVertex V(float x, float y, float z, float u = 0, float v = 0) {
  v14::FixtureVertex out;
  out.position = {x, y, z};
  out.uv = {u, v};
  out.normal = {0.5f, -0.5f, 1};
  return out;
}

struct LoadedModel {
  TempWorkdir wd;
  CModelV14 model;
};

// A one-level model (plus a second level) with the given surfaces and parts.
void Prepare(LoadedModel& m, const std::vector<v14::FixtureSurface>& surfaces,
           const std::vector<v14::FixturePart>& parts = {}) {
  m.wd.Write("xmodel/gun", v14::Header(kTwoLevels, {{{"a.dds", "b.dds"}}, {{"c.dds"}}}));
  m.wd.Write("xmodelsurfs/gun_lod0", v14::Surfaces(surfaces));
  if (!parts.empty()) m.wd.Write("xmodelparts/gun_lod0", v14::Parts(parts));
  ASSERT_TRUE(m.model.Open(m.wd.ModelFolder(), "gun"));
  ASSERT_NE(m.model.LoadLods(), nullptr);
  m.model.LoadParts(0);
}

TEST(ModelV14Surfaces, ReadsStripsAndVertices) {
  LoadedModel m;
  v14::FixtureSurface s;
  s.strips = {{0, 1, 2, 3, 4}, {5, 6, 6, 7}};
  for (int i = 0; i < 8; ++i) s.vertices.push_back(V(float(i), 2, 3, 0.25f, 0.75f));
  Prepare(m, {s});
  ASSERT_TRUE(m.model.LoadSurfaces(0, false));
  ASSERT_EQ(m.model.curSurfaceCount, 1);
  const Surface& got = (*m.model.curSurfaces)[0];
  EXPECT_TRUE(got.facesLoaded);
  EXPECT_EQ(got.lodIndex, 0);
  ASSERT_EQ(got.triListCount, 2);
  EXPECT_EQ(got.triLists[0].triCount, 5u);  // indices in the strip, not triangles
  EXPECT_EQ(got.triLists[1].indices, (std::vector<uint16_t>{5, 6, 6, 7}));
  ASSERT_EQ(got.vertexCount, 8);
  const Vertex& v = got.vertices[7];
  EXPECT_FLOAT_EQ(v.position[0], 7);
  EXPECT_FLOAT_EQ(v.position[2], 3);
  EXPECT_FLOAT_EQ(v.uv[0], 0.25f);
  EXPECT_FLOAT_EQ(v.uv[1], 0.75f);
  EXPECT_FLOAT_EQ(v.normal[1], -0.5f);
}

TEST(ModelV14Surfaces, PartOffsetAppliesOnlyBetweenZeroAndThePartCount) {
  std::vector<v14::FixturePart> parts = {
      {0, {0, 0, 0}, "root"}, {0, {10, 0, 0}, "a"}, {1, {0, 20, 0}, "b"}};
  std::vector<v14::FixtureSurface> surfaces(4);
  uint16_t partOf[4] = {2, 0, 3, 1};
  for (int i = 0; i < 4; ++i) {
    surfaces[i].part = partOf[i];
    surfaces[i].vertices = {V(1, 1, 1)};
  }
  LoadedModel m;
  Prepare(m, surfaces, parts);
  ASSERT_TRUE(m.model.LoadSurfaces(0, false));
  auto pos = [&](int s) { return (*m.model.curSurfaces)[s].vertices[0].position; };
  EXPECT_FLOAT_EQ(pos(0)[0], 11);  // part 2 lies at (10, 20, 0)
  EXPECT_FLOAT_EQ(pos(0)[1], 21);
  EXPECT_FLOAT_EQ(pos(1)[0], 1);   // the root adds nothing
  EXPECT_FLOAT_EQ(pos(2)[0], 1);   // index equal to the part count: unchanged
  EXPECT_FLOAT_EQ(pos(3)[0], 11);
  EXPECT_FLOAT_EQ(pos(3)[1], 1);
}

TEST(ModelV14Surfaces, UnreadableSurfaceStopsDecodingButTheLevelLoads) {
  v14::FixtureSurface good;
  good.strips = {{0, 1, 2}};
  good.vertices = {V(0, 0, 0), V(1, 0, 0), V(0, 1, 0)};
  v14::FixtureSurface bad = good;
  bad.part = 0xFFFF;
  LoadedModel m;
  Prepare(m, {good, bad, good});
  ASSERT_TRUE(m.model.LoadSurfaces(0, false));
  ASSERT_EQ(m.model.curSurfaceCount, 3);
  const auto& s = *m.model.curSurfaces;
  EXPECT_EQ(s[0].vertexCount, 3);
  EXPECT_TRUE(s[1].unsupported && s[1].unsupportedAlt);
  for (int i : {1, 2}) {
    EXPECT_EQ(s[i].vertexCount, 0);
    EXPECT_TRUE(s[i].triLists.empty());
    EXPECT_FALSE(s[i].facesLoaded);
  }
}

TEST(ModelV14Surfaces, RefusedLevels) {
  TempWorkdir wd;
  std::vector<v14::HeaderLevel> levels = {{"gun_lod0"}, {"gun_lod1"}, {"gun_lod2"}, {"gun_lod3", 0}};
  wd.Write("xmodel/gun", v14::Header(levels, {{{"a.dds"}}, {{"a.dds"}}, {{"a.dds"}}, {{"a.dds"}}}));
  v14::FixtureSurface s;
  s.vertices = {V(0, 0, 0)};
  for (const auto& level : levels) wd.Write("xmodelsurfs/" + level.name, v14::Surfaces({s}));
  wd.Write("xmodelsurfs/empty", v14::Surfaces({}));
  CModelV14 model;
  ASSERT_TRUE(model.Open(wd.ModelFolder(), "gun"));
  ASSERT_NE(model.LoadLods(), nullptr);
  ASSERT_EQ(model.lodCount, 4);
  EXPECT_TRUE(model.LoadSurfaces(2, false));
  EXPECT_FALSE(model.LoadSurfaces(3, false));  // the file is there, the level is not loadable
  EXPECT_EQ(model.surfacesFile, nullptr);
  EXPECT_EQ(model.curSurfaces, nullptr);
  EXPECT_FALSE(model.LoadSurfaces(-1, false));
  // A surfaces file of another version decodes to nothing; one with no surfaces fails.
  wd.Write("xmodelsurfs/gun_lod1", v14::Surfaces({s}, 20));
  EXPECT_FALSE(model.LoadSurfaces(1, false));
  wd.Write("xmodelsurfs/gun_lod1", v14::Surfaces({}));
  EXPECT_FALSE(model.LoadSurfaces(1, false));
}

// ---- Model tree ---------------------------------------------------------------------

TEST(ModelV14Tree, ShowsLevelsDistinctTexturesWithoutImagesAndTheParts) {
  TempWorkdir wd;
  wd.Write("xmodel/gun", v14::Header({{"gun_lod0"}, {"abc"}, {"gun_lod2", 0}},
                                     {{{"wall.dds", "Floor.dds", "wall.dds"}}, {{"x.dds"}}}));
  wd.Write("xmodelsurfs/gun_lod0", v14::Surfaces({}));
  wd.Write("materials/wall.dds", ByteWriter().Raw("DDS "));
  wd.Write("xmodelparts/gun_lod0", v14::Parts({{0, {0, 0, 0}, "root"}}));
  ModelTree tree;
  ShowModelTree(tree, wd.Str(), "gun", 14);
  const TreeItem& root = *tree.Root();
  ASSERT_EQ(root.children.size(), 2u);
  const TreeItem& surfaces = *root.children[0];
  const TreeItem& parts = *root.children[1];
  ASSERT_EQ(parts.children.size(), 1u);
  EXPECT_EQ(parts.children[0]->text, "gun_lod0");
  EXPECT_EQ(parts.children[0]->image, kImagePresent);

  ASSERT_EQ(surfaces.children.size(), 2u);
  const TreeItem& lod0 = *surfaces.children[0];
  const TreeItem& lod2 = *surfaces.children[1];
  EXPECT_TRUE(lod0.bold);
  EXPECT_EQ(lod0.image, kImagePresent);
  EXPECT_EQ(lod2.Data(), 2);  // the absent level still counts
  EXPECT_EQ(lod2.image, kImageMissing);
  const TreeItem& materials = *lod0.children.at(0);
  EXPECT_EQ(materials.text, "Materials");
  ASSERT_EQ(materials.children.size(), 2u);
  EXPECT_EQ(materials.children[0]->text, "wall.dds");
  EXPECT_EQ(materials.children[0]->image, kImagePresent);
  EXPECT_TRUE(materials.children[0]->children.empty());
  EXPECT_EQ(materials.children[1]->text, "Floor.dds");
  EXPECT_EQ(materials.children[1]->image, kImageMissing);
  // Lists fill the levels in table order, absent ones included: the second list went to
  // the absent level 1, so level 2 has none.
  EXPECT_TRUE(lod2.children.at(0)->children.empty());
}

}  // namespace
}  // namespace tessary
