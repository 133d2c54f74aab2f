// Reading a version 25 model: the level list, the material name scan, parts and the
// three vertex block forms of the surfaces file.
#include <gtest/gtest.h>

#include "fixtures/RecordingNotifier.h"
#include "fixtures/TempWorkdir.h"
#include "fixtures/V20Writer.h"
#include "fixtures/V25Writer.h"
#include "model/ModelV25.h"
#include "model/ShowModelTree.h"

namespace tessary {
namespace {

using test::ByteWriter;
using test::RecordingNotifier;
using test::TempWorkdir;
namespace v20 = test::v20;
namespace v25 = test::v25;

// Sets the exploded flag for one test and clears it afterwards.
struct ExplodedScope {
  explicit ExplodedScope(int on) { g_showExploded = on; }
  ~ExplodedScope() { g_showExploded = 0; }
};

// Opens xmodel/m of `wd` and loads its levels and parts.
void Load(const TempWorkdir& wd, CModelV25& model) {
  ASSERT_TRUE(model.Open(wd.ModelFolder(), "m"));
  ASSERT_NE(model.LoadLods(), nullptr);
  model.LoadParts(0);
}

int CountEntries(const ByteWriter& header, int64_t& offset) {
  TempWorkdir wd;
  wd.Write("xmodel/m", header);
  CModelV25 model;
  BinaryFile file(wd.Str() + "/xmodel/m");
  offset = 28;
  return model.CountLodEntries(file, offset);
}

TEST(ModelV25Levels, OptionalNameMovesTheListAndCountingStopsAtAZeroValue) {
  RecordingNotifier notifier;
  int64_t offset = 0;
  // Empty optional name: byte 27 is zero and the list starts at 28.
  EXPECT_EQ(CountEntries(v25::Header("", {{"m_lod0", 1}, {"m_lod1", 0}, {"m_lod2", 1}}, {}), offset), 2);
  EXPECT_EQ(offset, 28);
  // Three lowercase letters at 27: the list starts at 31.
  EXPECT_EQ(CountEntries(v25::Header("abc", {{"m_lod0", 0}}, {}), offset), 1);
  EXPECT_EQ(offset, 31);
  // A name without a lowercase letter in bytes 27 to 31 is not taken as one.
  ByteWriter upper;
  upper.U16(25).Fill(25, 0x41).Raw("ABCDEF").U8(0).U32(0).Z("m_lod0");
  EXPECT_EQ(CountEntries(upper, offset), 0);
  EXPECT_EQ(offset, 28);
  // A one-character name ends the list uncounted; a two-character name counts.
  EXPECT_EQ(CountEntries(v25::Header("", {{"m_lod0", 1}, {"x", 0}}, {}), offset), 1);
  EXPECT_EQ(CountEntries(v25::Header("", {{"m_lod0", 1}, {"xy", 0}}, {}), offset), 2);
  // An entry cut by the end of the file is not counted.
  ByteWriter cut;
  cut.U16(25).Fill(26).U32(1).Z("m_lod0").U32(1).Raw("m_lo");
  EXPECT_EQ(CountEntries(cut, offset), 1);
}

TEST(ModelV25Levels, ShortNamesStayAbsentAndMaterialsFollowTheList) {
  RecordingNotifier notifier;
  TempWorkdir wd;
  wd.Write("xmodel/m", v25::Header("weapon_clip", {{"m_lod0", 1}, {"ab", 1}, {"m_lod2", 0}},
                                   {{"mtl_a", "mtl_b", "mtl_a"}, {}, {"mtl_b"}}));
  wd.Write("materials/mtl_a", v20::Material("a_col"));
  wd.Write("materials/mtl_b", v20::Material("b_col"));
  wd.Write("images/b_col.dds", ByteWriter().Raw("DDS "));
  CModelV25 model;
  Load(wd, model);
  ASSERT_EQ(model.lodCount, 3);
  EXPECT_EQ(model.presentLodCount, 2);
  EXPECT_TRUE(model.lods[0].present);
  EXPECT_FALSE(model.lods[1].present);
  EXPECT_EQ(model.lods[2].surfsName, "m_lod2");
  ASSERT_EQ(model.lods[0].materialCount, 3);
  EXPECT_EQ(model.lods[1].materialCount, 0);
  ASSERT_EQ(model.lods[2].materialCount, 1);
  const MaterialEntry& third = model.lods[0].materials[2];
  EXPECT_EQ(third.name, "mtl_a");
  EXPECT_EQ(third.index, 2);
  EXPECT_EQ(third.lodMaterialCount, 3);
  EXPECT_EQ(third.imageName, "a_col.iwi");
  EXPECT_EQ(model.lods[2].materials[0].imageName, "b_col.dds");
  EXPECT_TRUE(notifier.messages.empty());
}

TEST(ModelV25Materials, UnknownNamesGiveOneMessageAndNoMaterials) {
  RecordingNotifier notifier;
  TempWorkdir wd;
  wd.Write("xmodel/m", v25::Header("", {{"m_lod0", 0}}, {{"churchdome"}}));
  wd.Write("materials/churchdome", v20::Material("dome"));
  CModelV25 model;
  Load(wd, model);
  EXPECT_EQ(model.lods[0].materialCount, 0);
  ASSERT_EQ(notifier.messages.size(), 1u);
  EXPECT_EQ(notifier.messages[0], "Failed to get the materials");
}

TEST(ModelV25Materials, MissingMaterialFileLeavesNoImage) {
  RecordingNotifier notifier;
  TempWorkdir wd;
  wd.Write("xmodel/m", v25::Header("", {{"m_lod0", 0}}, {{"mtl_gone", "mtl_here"}}));
  wd.Write("materials/mtl_here", ByteWriter().U16(2).Z("").Z(""));
  CModelV25 model;
  Load(wd, model);
  ASSERT_EQ(model.lods[0].materialCount, 2);
  EXPECT_FALSE(model.lods[0].materials[0].imageName.has_value());
  // An empty image name still gets its extension.
  EXPECT_EQ(model.lods[0].materials[1].imageName, ".iwi");
}

std::optional<int64_t> Scan(std::string_view bytes, bool nulBefore = true) {
  return ScanForMaterialNames(bytes, nulBefore);
}

TEST(ModelV25Materials, NameScanRulesAndNearMisses) {
  using namespace std::string_view_literals;
  // "mtl_" anywhere in a string matches at the string's first byte.
  EXPECT_EQ(Scan("\0\x02\0mtl_wood\0mtl_metal\0"sv), 1);
  EXPECT_EQ(Scan("\x01\x01\0\x02\0xx_mtl_wood\0"sv), 3);
  EXPECT_EQ(Scan("\x01\x01\0\x01\0d000_brick_wall_dest_a\0"sv), 3);
  // These prefixes match wherever they begin, even inside a string.
  EXPECT_EQ(Scan("\x01\x01\0\x01\0xship_hull\0"sv), 4);
  EXPECT_EQ(Scan("\x09\x01\0\x01\0aagfx_glow\0"sv), 5);
  EXPECT_EQ(Scan("\x09\x01\0\x01\0wood_fenc\0"sv), std::nullopt);
  // These match only at the start of a string.
  EXPECT_EQ(Scan("\x09\x01\0\x01\0com_plate\0"sv), 3);
  EXPECT_EQ(Scan("\x09\x01\0\x01\0xcom_plate\0"sv), std::nullopt);
  EXPECT_EQ(Scan("lambert1\0"sv, true), -2);
  EXPECT_EQ(Scan("lambert1\0"sv, false), std::nullopt);
  // Exactly "rgb", up to a zero or the end of the region.
  EXPECT_EQ(Scan("\x09\x09\0\x01\0rgbx\0"sv), std::nullopt);
  EXPECT_EQ(Scan("\x09\x09\0\x01\0rgb\0"sv), 3);
  EXPECT_EQ(Scan("\x09\x09\0\x01\0xrgb"sv), 4);
  // Case matters, and the first match wins.
  EXPECT_EQ(Scan("\x09\x09\0MTL_A\0Gfx_b\0"sv), std::nullopt);
  EXPECT_EQ(Scan("\x09\x09\0locker_a\0mtl_b\0"sv), 1);
  EXPECT_EQ(Scan(""sv), std::nullopt);
}

TEST(ModelV25Parts, PositionsAccumulateAndEmptyNamesBecomeTagOrigin) {
  TempWorkdir wd;
  wd.Write("xmodel/m", v25::Header("", {{"m_lod0", 0}}, {{"mtl_a"}}));
  wd.Write("xmodelparts/m_lod0",
           v20::Parts({{0, {0, 0, 0}, "root"}, {0, {1, 0, 0}, ""}, {1, {0, 2, 0}, "b"}}, 25));
  CModelV25 model;
  Load(wd, model);
  ASSERT_EQ(model.parts.count(), 3);
  EXPECT_EQ(model.parts.parts[1].name, "tag_origin");
  EXPECT_EQ(model.parts.parts[2].name, "b");
  EXPECT_FLOAT_EQ(model.parts.parts[1].position[0], 1);
  EXPECT_FLOAT_EQ(model.parts.parts[2].position[0], 1);
  EXPECT_FLOAT_EQ(model.parts.parts[2].position[1], 2);

  // A parts file of another version stands for the root alone.
  wd.Write("xmodelparts/m_lod0", v20::Parts({{0, {0, 0, 0}, "root"}, {0, {1, 0, 0}, "a"}}, 20));
  model.LoadParts(0);
  ASSERT_EQ(model.parts.count(), 1);
  EXPECT_EQ(model.parts.parts[0].name, "");
}

// A model whose level 0 holds `surfaces`, with `partCount` parts, part i at (i, 0, 0).
void WriteModel(const TempWorkdir& wd, const std::vector<v25::FixtureSurface>& surfaces,
                int partCount = 1) {
  wd.Write("xmodel/m", v25::Header("", {{"m_lod0", 0}}, {{"mtl_a", "mtl_b"}}));
  std::vector<v20::FixturePart> parts;
  for (int i = 0; i < partCount; ++i)
    parts.push_back({0, {static_cast<float>(i), 0, 0}, "p" + std::to_string(i)});
  wd.Write("xmodelparts/m_lod0", v20::Parts(parts, 25));
  wd.Write("xmodelsurfs/m_lod0", v25::Surfaces(surfaces));
}

v25::FixtureSurface RigidOfFive() {
  v25::FixtureSurface s;
  for (int i = 0; i < 5; ++i) {
    v25::FixtureVertex v;
    v.position = {0, 0, static_cast<float>(i)};
    s.vertices.push_back(v);
  }
  s.triangles = {{0, 1, 2}, {2, 3, 4}};
  return s;
}

TEST(ModelV25Surfaces, RigidFormMovesByItsPartOnlyWhenExploded) {
  RecordingNotifier notifier;
  TempWorkdir wd;
  WriteModel(wd, {RigidOfFive(), v25::Triangle()}, 6);
  CModelV25 model;
  Load(wd, model);
  {
    ASSERT_TRUE(model.LoadSurfaces(0, false));
    ASSERT_EQ(model.curSurfaceCount, 2);
    const Surface& s = (*model.curSurfaces)[0];
    EXPECT_EQ(s.vertexCount, 5);
    EXPECT_FLOAT_EQ(s.vertices[4].position[0], 0);
    EXPECT_FLOAT_EQ(s.vertices[4].position[2], 4);
    ASSERT_EQ(s.triLists.size(), 1u);
    EXPECT_EQ(s.triLists[0].indices, (std::vector<uint16_t>{0, 1, 2, 2, 3, 4}));
    EXPECT_TRUE(s.facesLoaded);
    // The second surface follows after the 3 leading bytes.
    const Surface& t = (*model.curSurfaces)[1];
    EXPECT_FLOAT_EQ(t.vertices[1].position[0], 1);
    EXPECT_FLOAT_EQ(t.vertices[2].uv[1], 1);
    EXPECT_EQ(t.lodIndex, 0);
  }
  {
    ExplodedScope exploded(1);
    ASSERT_TRUE(model.LoadSurfaces(0, false));
    // Word 3 is 5 and part 5 lies at (5, 0, 0).
    EXPECT_FLOAT_EQ((*model.curSurfaces)[0].vertices[4].position[0], 5);
    EXPECT_FLOAT_EQ((*model.curSurfaces)[0].vertices[4].position[2], 4);
    // Word 3 is 3 for the triangle: moved by part 3.
    EXPECT_FLOAT_EQ((*model.curSurfaces)[1].vertices[1].position[0], 4);
  }
  {
    // With five parts, part 5 does not exist: no move.
    WriteModel(wd, {RigidOfFive()}, 5);
    ExplodedScope exploded(1);
    model.LoadParts(0);
    ASSERT_TRUE(model.LoadSurfaces(0, false));
    EXPECT_FLOAT_EQ((*model.curSurfaces)[0].vertices[4].position[0], 0);
  }
  EXPECT_TRUE(notifier.messages.empty());
}

TEST(ModelV25Surfaces, WeightedFormsAndTheirTails) {
  RecordingNotifier notifier;
  TempWorkdir wd;
  v25::FixtureSurface direct = v25::Triangle(v25::Form::Direct);
  direct.word4 = 0x0300;
  direct.vertices[0].b1 = 2;  // 8 tail bytes before the next vertex
  direct.vertices[1].b1 = 3;
  v25::FixtureSurface scanned = v25::Triangle(v25::Form::Scanned);
  scanned.vertices[0].b1 = 1;
  WriteModel(wd, {direct, scanned}, 4);
  CModelV25 model;
  Load(wd, model);
  ExplodedScope exploded(1);  // never applies to weighted vertices
  ASSERT_TRUE(model.LoadSurfaces(0, false));
  ASSERT_EQ(model.curSurfaceCount, 2);
  for (const Surface& s : *model.curSurfaces) {
    ASSERT_EQ(s.vertexCount, 3);
    EXPECT_FLOAT_EQ(s.vertices[1].position[0], 1);
    EXPECT_FLOAT_EQ(s.vertices[2].position[1], 1);
    EXPECT_FLOAT_EQ(s.vertices[2].uv[1], 1);
    EXPECT_FLOAT_EQ(s.vertices[2].normal[2], 1);
    EXPECT_EQ(s.triLists.at(0).indices, (std::vector<uint16_t>{0, 1, 2}));
  }
  EXPECT_TRUE(notifier.messages.empty());
}

// The surfaces file of one scanned surface whose vertex block follows `table` after the
// surface head (which ends at P = 15).
std::vector<uint8_t> ScannedFile(std::vector<uint8_t> table, bool mark) {
  v25::FixtureSurface s = v25::Triangle(v25::Form::Scanned);
  s.word4 = 0x0101;
  s.table = std::move(table);
  for (auto& v : s.vertices) {
    v.mark = mark;
    v.normal = {0.7f, 0.7f, 0.7f};  // no zero bytes
  }
  return v25::Surfaces({s}).Data();
}

TEST(ModelV25Surfaces, ScanFindsTheBlockByItsMarkOrByThreeZeros) {
  RecordingNotifier notifier;
  TempWorkdir wd;
  WriteModel(wd, {});
  CModelV25 model;
  Load(wd, model);

  // The FF run at scan index 20: the block starts at P + 7.
  wd.Write("xmodelsurfs/m_lod0", ScannedFile({9, 9, 9, 9, 9, 9, 9}, true));
  ASSERT_TRUE(model.LoadSurfaces(0, false));
  EXPECT_FLOAT_EQ((*model.curSurfaces)[0].vertices[1].position[0], 1);

  // No mark: three zero bytes at scan index i put the block at P - 1 + i + 5; here i is 4
  // (the window starts with the last byte of the surface head) and the block at P + 8.
  wd.Write("xmodelsurfs/m_lod0", ScannedFile({9, 9, 9, 0, 0, 0, 9, 9}, false));
  ASSERT_TRUE(model.LoadSurfaces(0, false));
  EXPECT_FLOAT_EQ((*model.curSurfaces)[0].vertices[1].position[0], 1);
  EXPECT_FLOAT_EQ((*model.curSurfaces)[0].vertices[2].uv[1], 1);
  EXPECT_TRUE(notifier.messages.empty());

  // Neither within the 144-byte window: a mark 131 bytes on lies outside it.
  wd.Write("xmodelsurfs/m_lod0", ScannedFile(std::vector<uint8_t>(131, 9), true));
  EXPECT_FALSE(model.LoadSurfaces(0, false));
  ASSERT_EQ(notifier.messages.size(), 1u);
  EXPECT_EQ(notifier.messages[0], "Can't decode this surface!!");
  EXPECT_TRUE((*model.curSurfaces)[0].unsupported);
  EXPECT_FALSE((*model.curSurfaces)[0].unsupportedAlt);
  EXPECT_TRUE((*model.curSurfaces)[0].triLists.empty());
}

TEST(ModelV25Surfaces, FailuresStopDecodingAndKeepEarlierSurfaces) {
  RecordingNotifier notifier;
  TempWorkdir wd;
  v25::FixtureSurface bad = v25::Triangle(v25::Form::Direct);
  bad.vertices[1].b1 = 4;
  WriteModel(wd, {v25::Triangle(), bad, v25::Triangle()});
  CModelV25 model;
  Load(wd, model);
  // A later surface failing still leaves a loaded level.
  ASSERT_TRUE(model.LoadSurfaces(0, false));
  ASSERT_EQ(notifier.messages.size(), 1u);
  EXPECT_EQ(notifier.messages[0], "VertexData.b1 >= 4\nUnsupported model type.");
  const auto& s = *model.curSurfaces;
  EXPECT_TRUE(s[0].facesLoaded);
  EXPECT_TRUE(s[1].unsupported && s[1].unsupportedAlt);
  EXPECT_FLOAT_EQ(s[1].vertices[0].position[0], 0);
  EXPECT_EQ(s[1].vertexCount, 3);
  EXPECT_TRUE(s[1].triLists.empty());
  EXPECT_TRUE(s[2].triLists.empty());
  EXPECT_EQ(s[2].vertexCount, 0);

  // The first surface failing refuses the level.
  WriteModel(wd, {bad});
  EXPECT_FALSE(model.LoadSurfaces(0, false));
  // A surfaces file of version 20, and a level index past the list.
  wd.Write("xmodelsurfs/m_lod0", v20::Surfaces({v20::Triangle()}));
  EXPECT_FALSE(model.LoadSurfaces(0, false));
  EXPECT_EQ(model.curSurfaceCount, 0);
  EXPECT_FALSE(model.LoadSurfaces(1, false));
  EXPECT_EQ(model.surfacesFile, nullptr);
}

TEST(ModelV25Tree, FillsLevelsMaterialsAndImages) {
  RecordingNotifier notifier;
  TempWorkdir wd;
  wd.Write("xmodel/m", v25::Header("", {{"m_lod0", 1}, {"m_lod1", 0}},
                                   {{"mtl_a", "mtl_a", "mtl_b"}, {"mtl_b"}}));
  wd.Write("xmodelsurfs/m_lod0", v25::Surfaces({v25::Triangle()}));
  wd.Write("materials/mtl_a", v20::Material("a_col"));
  wd.Write("images/a_col.iwi", ByteWriter().Raw("IWi"));
  ModelTree tree;
  ShowModelTree(tree, wd.Str(), "m", 25);
  const TreeItem& root = *tree.Root();
  ASSERT_EQ(root.children.size(), 2u);
  const TreeItem& surfaces = *root.children[0];
  const TreeItem& parts = *root.children[1];
  ASSERT_EQ(parts.children.size(), 1u);
  EXPECT_EQ(parts.children[0]->text, "m_lod0");
  EXPECT_EQ(parts.children[0]->image, kImageMissing);
  ASSERT_EQ(surfaces.children.size(), 2u);
  const TreeItem& level0 = *surfaces.children[0];
  EXPECT_EQ(level0.image, kImagePresent);
  EXPECT_TRUE(level0.bold);
  EXPECT_EQ(surfaces.children[1]->image, kImageMissing);
  EXPECT_EQ(surfaces.children[1]->Data(), 1);
  const TreeItem& materials = *level0.children.at(0);
  ASSERT_EQ(materials.children.size(), 2u);
  const TreeItem& a = *materials.children[0];
  EXPECT_EQ(a.text, "mtl_a");
  ASSERT_EQ(a.children.size(), 1u);
  EXPECT_EQ(a.children[0]->text, "a_col.iwi");
  EXPECT_TRUE(a.children[0]->bold);
  EXPECT_EQ(materials.children[1]->image, kImageMissing);
  EXPECT_TRUE(materials.children[1]->children.empty());
}

}  // namespace
}  // namespace tessary
