// Reading the model files of each version: material lists, parts, vertex layouts, level
// lists and the model tree; the string measures and list searches the readers share; and
// the described geometry over a level as read (parts chained into model space, surfaces
// placed on their bones).
#include <gtest/gtest.h>

#include "fixtures/TempWorkdir.h"
#include "fixtures/V14Writer.h"
#include "fixtures/V20Writer.h"
#include "fixtures/V25Writer.h"
#include "model/DescribedGeometry.h"
#include "model/FileAccess.h"
#include "model/ModelV14.h"
#include "model/ModelV20.h"
#include "model/ModelV25.h"
#include "model/ShowModelTree.h"
#include "platform/Disk.h"

namespace tessary {
namespace {

using test::ByteWriter;
using Names = std::vector<std::string>;
using Xyz = std::vector<float>;
namespace v14 = test::v14;
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
    disk.Forget();  // the files as the test left them
    if (!model.Open(disk, wd.ModelFolder(), "m") || !model.LoadLods()) return false;
    model.LoadParts(0);
    return true;
  }
  std::vector<Surface> Surfaces() const { return DescribedSurfaces(*model.curSurfaces, model.parts, {}); }
  test::TempWorkdir wd;
  Disk disk;
  CModelV20 model;
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
}

TEST_F(V20, PartsFileOfAnyCaseAndUnnamedPartsAreTagOrigin) {
  wd.Write("xmodelparts/M_LOD0", v20::Parts({{0, {}, ""}, {0, {5, 0, 0}, "late"}, {1, {0, 2, 0}, ""}}));
  ASSERT_TRUE(Load());
  EXPECT_EQ(NamesOf(model.parts.parts), (Names{"tag_origin", "late", "tag_origin"}));
  // Another version's parts file stands for the root alone.
  wd.Write("xmodelparts/M_LOD0", v20::Parts({{0, {}, "root"}, {0, {1, 0, 0}, "a"}}, 25));
  disk.Forget();
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
  // Skinned, without extra influences every record is 63 bytes.
  v20::FixtureSurface plain = v20::Triangle(0xFFFF);
  plain.vertices[0].bone = 3;
  plain.vertices[1].bone = 2;
  plain.vertices[2].bone = 200;  // outside the list: not moved
  plain.triangles = {{2, 1, 0}};
  // With them, b1 extra influences of 16 bytes and one more byte follow each record.
  v20::FixtureSurface extra = v20::Triangle(0xFFFF);
  extra.vertices.push_back({{}, {}, {4, 4, 4}});
  for (auto& v : extra.vertices) v.bone = 1;
  extra.vertices[0].influences = {{2, 1}};
  extra.vertices[1].influences = {{2, 1}, {2, 1}, {2, 1}};
  extra.vertices[3].influences = {{2, 1}, {9, 0x8000}};
  extra.triangles = {{0, 1, 2}, {1, 2, 3}};
  wd.Write("xmodelsurfs/m_lod0", v20::Surfaces({onBone3, outside, plain, extra, v20::Triangle(3)}));
  ASSERT_TRUE(Load());
  ASSERT_TRUE(model.LoadSurfaces(0, false));
  ASSERT_EQ(model.curSurfaceCount, 5);
  EXPECT_TRUE(model.messages.empty());
  const auto& s = Surfaces();
  EXPECT_EQ(Positions(s[0].vertices), (Xyz{1, 2, 4, 2, 2, 3, 1, 3, 3}));
  EXPECT_EQ(Positions(s[1].vertices), (Xyz{0, 0, 0, 7, 8, 9, 0, 1, 0}));
  EXPECT_EQ(Positions(s[2].vertices), (Xyz{1, 2, 3, 2, 2, 0, 0, 1, 0}));
  EXPECT_EQ(Positions(s[3].vertices), (Xyz{1, 0, 0, 2, 0, 0, 1, 1, 0, 5, 4, 4}));
  EXPECT_EQ(s[3].triLists[0].indices, (std::vector<uint16_t>{0, 1, 2, 1, 2, 3}));
  EXPECT_EQ(Positions(s[4].vertices), (Xyz{1, 2, 3, 2, 2, 3, 1, 3, 3}));  // read from the right place
  // As read, before placing: positions, extra influences and rotation words as stored.
  const auto& stored = *model.curSurfaces;
  EXPECT_EQ(Positions(stored[0].vertices), (Xyz{0, 0, 1, 1, 0, 0, 0, 1, 0}));
  ASSERT_EQ(stored[3].influences.size(), 6u);
  EXPECT_EQ((std::vector<int>{stored[3].vertices[1].influenceCount, stored[3].influences[5].bone}), (std::vector<int>{3, 9}));
  EXPECT_FLOAT_EQ(stored[3].influences[5].weight, 32768.0f / 65535.0f);
  EXPECT_EQ(model.parts.parts[3].rotation[2], 3);
}

TEST_F(V20, FourExtraInfluencesStopDecodingAndKeepEarlierSurfaces) {
  v20::FixtureSurface bad = v20::Triangle(0xFFFF);
  bad.vertices[0].position = {5, 5, 5};
  bad.vertices[1].influences.resize(4);
  wd.Write("xmodelsurfs/m_lod0", v20::Surfaces({v20::Triangle(0), bad, v20::Triangle(0)}));
  ASSERT_TRUE(Load());
  // Four extra influences: the first surface decodes, so the level loads; the bad one and
  // those after it lack triangles.
  EXPECT_TRUE(model.LoadSurfaces(0, false));
  ASSERT_EQ(model.TakeMessages(), Names{"VertexData.b1 >= 4\nUnsupported model type."});
  const auto& s = Surfaces();
  EXPECT_TRUE(s[0].facesLoaded);
  EXPECT_TRUE(s[1].unsupported && s[1].unsupportedAlt && s[1].triLists.empty());
  EXPECT_EQ(s[2].vertexCount, 0);
}

class V25 : public ::testing::Test {
 protected:
  void Load() {
    disk.Forget();
    ASSERT_TRUE(model.Open(disk, wd.ModelFolder(), "m"));
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
  Surface S(size_t i) const { return DescribedSurfaces(*model.curSurfaces, model.parts, {}).at(i); }
  test::TempWorkdir wd;
  Disk disk;
  CModelV25 model;
};

TEST_F(V25, LevelEntriesFollowTheOptionalName) {
  int64_t offset = 0;
  auto count = [&](const ByteWriter& header) {
    wd.Write("xmodel/m", header);
    Disk disk;
    BinaryFile file = disk.Open(wd.Str() + "/xmodel/m");
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
  for (const Surface& s : DescribedSurfaces(*model.curSurfaces, model.parts, LoadOptions{true})) {
    ASSERT_EQ(s.vertexCount, 3);
    EXPECT_EQ(s.vertices[1].position[0] + s.vertices[2].position[1], 2);  // (1, 0, 0) and (0, 1, 0)
    EXPECT_EQ(s.triLists.at(0).indices, (std::vector<uint16_t>{0, 1, 2}));
  }
  EXPECT_TRUE(model.messages.empty());
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
    disk.Forget();
  };
  write({9, 9, 9, 9, 9, 9, 9}, true);  // the FF run at scan index 20: block at P + 7
  ASSERT_TRUE(model.LoadSurfaces(0, false));
  EXPECT_FLOAT_EQ(S(0).vertices[1].position[0], 1);
  // Three zero bytes at scan index i put the block at P - 1 + i + 5; here i is 4 (the
  // window starts with the last byte of the surface head) and the block at P + 8.
  write({9, 9, 9, 0, 0, 0, 9, 9}, false);
  ASSERT_TRUE(model.LoadSurfaces(0, false));
  EXPECT_FLOAT_EQ(S(0).vertices[1].position[0], 1);
  EXPECT_TRUE(model.messages.empty());
  // A mark 131 bytes on lies outside the 144-byte window.
  write(std::vector<uint8_t>(131, 9), true);
  EXPECT_FALSE(model.LoadSurfaces(0, false));
  EXPECT_EQ(model.TakeMessages(), Names{"Can't decode this surface!!"});
  EXPECT_TRUE(S(0).unsupported && !S(0).unsupportedAlt && S(0).triLists.empty());
}

// "text/image", then "/bold" and "/lodN" when set, then the children in brackets.
std::string Flat(const TreeItem& item) {
  std::string s = item.text + "/" + std::to_string(item.image) + (item.bold ? "/bold" : "") +
                  (item.data ? "/lod" + std::to_string(*item.data) : "");
  for (const auto& c : item.children) s += (c == item.children.front() ? "[" : " ") + Flat(*c);
  return item.children.empty() ? s : s + "]";
}

TEST(ModelTree, EveryVersionAndUnreadableHeaders) {
  test::TempWorkdir wd;
  // A repeated material shows once; a .dds image wins over an .iwi; one only in .iwi form
  // is bold; an empty image name still gets ".iwi"; a missing material file has no image item.
  wd.Write("xmodel/tank", v20::Header({{"tank_lod0", 1, {"mtl_dds", "mtl_iwi", "mtl_dds", "mtl_none", "mtl_lost"}},
                                       {"tank_lod1", 0, {"mtl_iwi"}}}));
  wd.Write("xmodelsurfs/tank_lod0", v20::Surfaces({}));
  wd.Write("xmodelparts/tank_lod0", v20::Parts({{0, {}, "root"}}));
  for (auto [m, image] : {std::pair{"mtl_dds", "a"}, {"mtl_iwi", "b"}, {"mtl_none", ""}})
    wd.Write("materials/" + std::string(m), v20::Material(image));
  for (const char* image : {"images/a.dds", "images/a.iwi", "images/b.iwi"}) wd.Write(image, ByteWriter().Raw("x"));
  // Level 0's name is too short to be present: the parts item carries it.
  wd.Write("xmodel/short0", v20::Header({{"abcd", 1, {"mtl_a"}}, {"m_lod1", 0, {"mtl_b"}}}));
  // Version 14 textures have no image items and are found in any letter case; the second
  // list goes to the absent level 1.
  wd.Write("xmodel/gun", v14::Header({"gun_lod0", "abcd", "gun_lod2"},
                                     v14::Lists({{"wall.dds", "Floor.dds", "wall.dds"}, {"x.dds"}})));
  wd.Write("xmodelsurfs/gun_lod0", v14::Surfaces({}));
  wd.Write("xmodelparts/gun_lod0", v14::Parts({{0, {0, 0, 0}, "root"}}));
  wd.Write("materials/WALL.dds", ByteWriter().Raw("DDS "));
  wd.Write("xmodel/v25", v25::Header("", {{"m_lod0", 1}, {"m_lod1", 0}}, {{"mtl_iwi", "mtl_iwi", "mtl_b"}, {"mtl_b"}}));
  wd.Write("xmodelsurfs/m_lod0", v25::Surfaces({v25::Triangle()}));

  const std::pair<const char*, std::string> cases[] = {
      {"tank", "tank/0[Surfaces/0[tank_lod0/1/bold/lod0[Materials/0[mtl_dds/1[a.dds/1] mtl_iwi/1[b.iwi/1/bold] "
               "mtl_none/1[.iwi/2] mtl_lost/2]] tank_lod1/2/bold/lod1[Materials/0[mtl_iwi/1[b.iwi/1/bold]]]] "
               "Parts (Tags)/0[tank_lod0/1]]"},
      {"short0", "short0/0[Surfaces/0[m_lod1/2/bold/lod1[Materials/0[mtl_b/2]]] Parts (Tags)/0[/2]]"},
      {"gun", "gun/0[Surfaces/0[gun_lod0/1/bold/lod0[Materials/0[wall.dds/1 Floor.dds/2]] "
              "gun_lod2/2/bold/lod2[Materials/0]] Parts (Tags)/0[gun_lod0/1]]"},
      {"v25", "v25/0[Surfaces/0[m_lod0/1/bold/lod0[Materials/0[mtl_iwi/1[b.iwi/1/bold] mtl_b/2]] "
              "m_lod1/2/bold/lod1[Materials/0[mtl_b/2]]] Parts (Tags)/0[m_lod0/2]]"},
  };
  for (const auto& [name, expected] : cases) {
    ModelTree tree;
    Disk disk;
    std::vector<std::string> messages;
    ShowModelTree(disk, tree, wd.Str(), name, ReadModelVersion(disk, wd.ModelFolder() + "\\" + name).value_or(0), messages);
    EXPECT_EQ(Flat(*tree.Root()), expected);
  }
}

struct Loaded {
  void Load(const ByteWriter& header) {
    wd.Write("xmodel/gun", header);
    disk.Forget();
    ASSERT_TRUE(model.Open(disk, wd.ModelFolder(), "gun") && model.LoadLods());
    model.LoadParts(0);
  }
  test::TempWorkdir wd;
  Disk disk;
  CModelV14 model;
};

TEST(ModelV14, MaterialWalkFindsTheListsFromTheEnd) {
  const std::vector<std::vector<std::string>> abc = {{"a.dds", "b.dds"}, {"c.dds"}};
  const std::vector<std::string> ab = {"a.dds", "b.dds"};
  struct Case { const char* what; ByteWriter tail; std::vector<std::string> level0; int level1Count; std::string level1First; };
  const Case cases[] = {
      // ... 00 02 00 a.dds 00 b.dds 00 01 00 c.dds 00: two lone count bytes.
      {"lone count bytes", v14::Lists(abc), ab, 1, "c.dds"},
      // 59 02: reading starts one byte late, so level 0 gets the count 0 and level 1 the
      // '.' of a.dds, its names running on from "ds".
      {"2-byte string", v14::Lists(abc, {0xFF, 0, 0x59}), {}, '.', "ds"},
      // 58 59 02 is taken as the first list, read from its last byte.
      {"fewer lists than levels", v14::Lists({ab}, {0xFF, 0, 0x58, 0x59}), ab, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Loaded m;
    m.Load(v14::Header({"gun_lod0", "gun_lod1"}, c.tail));
    EXPECT_EQ(NamesOf(m.model.lods[0].materials), c.level0);
    ASSERT_EQ(m.model.lods[1].materialCount, c.level1Count);
    if (c.level1Count > 0) { EXPECT_EQ(m.model.lods[1].materials[0].name, c.level1First); }
  }
}

TEST(ModelV14, MaterialNameOfTheMeasureLimitReadsEmpty) {
  // A damaged list whose first name runs 1,024 bytes: a forward measure gives it up, so
  // the name is empty and only its first byte is passed over; the second name is the rest
  // of the run, and "b.dds" is not reached.
  Loaded m;
  m.Load(v14::Header({"gun_lod0"}, v14::Lists({{std::string(1024, 'a'), "b.dds"}})));
  EXPECT_EQ(NamesOf(m.model.lods[0].materials), (std::vector<std::string>{"", std::string(1023, 'a')}));
}

TEST(ModelV14, StripSurfacesMoveByTheirPart) {
  Loaded m;
  m.wd.Write("xmodelparts/gun_lod0", v14::Parts({{0, {0, 0, 0}, ""}, {0, {10, 0, 0}, "a"}, {1, {0, 20, 0}, "b"}}));
  auto surface = [](uint16_t part) { return v14::FixtureSurface{part, {{0, 1, 2, 3, 4}}, {{0, 0, 1, 0, 0, 1, 2, 3}}}; };
  // Parts 2 and 0, then the part count 3 (out of range, so not moved).
  m.wd.Write("xmodelsurfs/gun_lod0", v14::Surfaces({surface(2), surface(0), surface(3)}));
  m.Load(v14::Header({"gun_lod0"}, v14::Lists({{"a.dds"}})));
  ASSERT_TRUE(m.model.LoadSurfaces(0, false));
  ASSERT_EQ(m.model.curSurfaceCount, 3);
  const auto s = DescribedSurfaces(*m.model.curSurfaces, m.model.parts, {});
  EXPECT_EQ(s[0].triLists.at(0).triCount, 5u);  // indices in the strip, not triangles
  EXPECT_EQ((std::vector<float>{s[0].vertices[0].position[0], s[0].vertices[0].position[1]}), (std::vector<float>{11, 22}));
  EXPECT_FLOAT_EQ(s[2].vertices[0].position[0], 1);
}

// A temporary file holding `bytes`, opened for reading.
struct FileOf {
  explicit FileOf(const ByteWriter& bytes) { wd.Write("xmodel/f", bytes); file = Disk().Open(wd.Str() + "\\xmodel\\f"); }
  test::TempWorkdir wd;
  BinaryFile file;
};

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

TEST(CountLodNames, EndsAtAOneCharacterName) {
  // (A zero value or an empty name ends every fixture header's list.)
  FileOf f(ByteWriter().U32(5).Z("ab").U32(5).Z("c").U32(0).Z("de"));
  EXPECT_EQ(CountLodNames(f.file, 0), 1);
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
}

Vertex At(uint16_t bone, float x, float y, float z) { return {.position = {x, y, z}, .bone = bone}; }

// Root, part 1 on the root, part 2 on part 1: both turned, which the described rule
// ignores; part 3 names a parent just past the list; part 4 is listed before its parent 5.
PartList Chain() {
  PartList parts;
  parts.parts = {{0, {0, 0, 0}}, {0, {1, 2, 3}, {8000, 0, -8000}}, {1, {10, 0, -1}, {-300, 0, 300}},
                 {6, {0, 0, 5}}, {5, {1, 1, 1}},                   {2, {0, 100, 0}}};
  return parts;
}

TEST(DescribedGeometry, PartsAddTheirParentsInListOrderAndVerticesMoveOutByPlacement) {
  const PartList placed = PartsInModelSpace(Chain());
  EXPECT_EQ(Positions(placed.parts), (Xyz{0, 0, 0, 1, 2, 3, 11, 2, 2, 0, 0, 5, 1, 101, 1, 11, 102, 2}));
  EXPECT_EQ(placed.parts.at(3).parent, 0);  // outside the list: the root

  Surface onBones;
  onBones.placement = Placement::OnBone;
  // Bone 2 sits at (11, 2, 2); the root and bones outside the list add nothing.
  onBones.vertices = {At(2, 0.5f, 0, 1), At(0, 3, 3, 3), At(6, 4, 4, 4), At(300, 5, 5, 5)};
  Surface piece;
  piece.placement = Placement::OnPartWhenExploded;
  piece.vertices = {At(1, 1, 1, 1)};
  Surface modelSpace;
  modelSpace.vertices = {At(2, 7, 7, 7)};
  const std::vector<Surface> stored = {onBones, piece, modelSpace};

  const auto shown = DescribedSurfaces(stored, Chain(), {});
  EXPECT_EQ(Positions(shown[0].vertices), (Xyz{11.5f, 2, 3, 3, 3, 3, 4, 4, 4, 5, 5, 5}));
  EXPECT_EQ(Positions(shown[1].vertices), (Xyz{1, 1, 1}));  // a piece stays at its part's origin
  const auto exploded = DescribedSurfaces(stored, Chain(), {.showExploded = true});
  EXPECT_EQ(Positions(exploded[1].vertices), (Xyz{2, 3, 4}));
  EXPECT_EQ(Positions(exploded[2].vertices), (Xyz{7, 7, 7}));
  // A vertex on the root stays where it is stored, wherever the root lies.
  PartList movedRoot = Chain();
  movedRoot.parts[0].position[0] = 50;
  EXPECT_EQ(Positions(DescribedSurfaces(stored, movedRoot, {})[0].vertices)[3], 3.0f);
  // With no parts loaded nothing moves.
  EXPECT_EQ(Positions(DescribedSurfaces(stored, PartList{}, {})[0].vertices)[0], 0.5f);
}

}  // namespace
}  // namespace tessary
