// Reading a version 14 model: levels, the backward walk to the material lists, parts and
// strip surfaces.
#include <gtest/gtest.h>

#include "fixtures/TempWorkdir.h"
#include "fixtures/V14Writer.h"
#include "model/ModelV14.h"

namespace tessary {
namespace {

using test::ByteWriter;
namespace v14 = test::v14;

struct Loaded {
  test::TempWorkdir wd;
  CModelV14 model;
  void Load(const ByteWriter& header) {
    wd.Write("xmodel/gun", header);
    ASSERT_TRUE(model.Open(wd.ModelFolder(), "gun"));
    ASSERT_NE(model.LoadLods(), nullptr);
    model.LoadParts(0);
  }
};

std::vector<std::string> Names(const LodEntry& lod) {
  std::vector<std::string> out;
  for (const auto& m : lod.materials) out.push_back(m.name);
  return out;
}

TEST(ModelV14, MaterialWalkFindsTheListsFromTheEnd) {
  const std::vector<std::vector<std::string>> abc = {{"a.dds", "b.dds"}, {"c.dds"}};
  const std::vector<std::string> ab = {"a.dds", "b.dds"};
  struct Case {
    const char* what;
    ByteWriter tail;
    std::vector<std::string> level0;
    int level1Count;
    std::string level1First;
  };
  const Case cases[] = {
      // ... 00 02 00 a.dds 00 b.dds 00 01 00 c.dds 00: two lone count bytes.
      {"lone count bytes", v14::Lists(abc), ab, 1, "c.dds"},
      // 58 59 02 is taken as the first list, read from its last byte.
      {"3-byte string", v14::Lists(abc, {0xFF, 0, 0x58, 0x59}), ab, 1, "c.dds"},
      // 59 02: reading starts one byte late, so level 0 gets the count 0 and level 1 the
      // '.' of a.dds, its names running on from "ds".
      {"2-byte string", v14::Lists(abc, {0xFF, 0, 0x59}), {}, '.', "ds"},
      {"fewer lists than levels", v14::Lists({ab}, {0xFF, 0, 0x58, 0x59}), ab, 0, ""},
      // One lone count byte for two levels: the walk reaches the start, nothing is read.
      {"start of the file", v14::Lists({ab}, {0xFF, 0xFF, 0xFF, 0xFF, 0x00}), {}, 0, ""},
      // A run far longer than a string measurement is crossed; level 1 is then read from it.
      {"long run", ByteWriter().U8(0).U8(1).U8(0).Z("x.dds").Fill(1500, 'Z').U8(0).U8(1).U8(0).Z("y.dds"),
       {"x.dds"}, 'Z', ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Loaded m;
    m.Load(v14::Header({"gun_lod0", "gun_lod1"}, c.tail));
    const auto& lods = m.model.lods;
    EXPECT_EQ(Names(lods[0]), c.level0);
    ASSERT_EQ(lods[1].materialCount, c.level1Count);
    if (c.level1Count > 0) {
      EXPECT_EQ(lods[1].materials[0].name, c.level1First);
    }
  }
}

TEST(ModelV14, LevelsAndParts) {
  Loaded m;
  m.wd.Write("xmodelparts/gun_LOD0",
             v14::Parts({{0, {0, 0, 0}, ""}, {0, {1, 0, 0}, "tag_a"}, {1, {0, 2, 0}, "Tag_B"}}));
  m.Load(v14::Header({"gun_LOD0", "abcd", "gun_lod2"}, v14::Lists({{"a.dds"}, {"b.dds"}})));
  ASSERT_EQ(m.model.lodCount, 3);
  EXPECT_EQ(m.model.presentLodCount, 2);
  EXPECT_FALSE(m.model.lods[1].present);
  EXPECT_EQ(m.model.lods[2].surfsName, "gun_lod2");
  const auto& parts = m.model.parts.parts;
  ASSERT_EQ(parts.size(), 3u);
  EXPECT_EQ(parts[0].name, "");  // kept as stored: no stand-in name in this version
  EXPECT_EQ(parts[2].name, "Tag_B");
  EXPECT_FLOAT_EQ(parts[2].position[0], 1);
  EXPECT_FLOAT_EQ(parts[2].position[1], 2);

  ByteWriter other = v14::Header({"gun_lod0"}, v14::Lists({{"a.dds"}}));
  other.Data()[0] = 20;
  m.wd.Write("xmodel/other", other);
  CModelV14 model;
  ASSERT_TRUE(model.Open(m.wd.ModelFolder(), "other"));
  EXPECT_EQ(model.LoadLods(), nullptr);
}

TEST(ModelV14, StripSurfaces) {
  Loaded m;
  m.wd.Write("xmodelparts/gun_lod0",
             v14::Parts({{0, {0, 0, 0}, "root"}, {0, {10, 0, 0}, "a"}, {1, {0, 20, 0}, "b"}}));
  std::array<float, 8> vertex = {0.5f, -0.5f, 1, 0.25f, 0.75f, 1, 2, 3};
  auto surface = [&](uint16_t part) {
    return v14::FixtureSurface{part, {{0, 1, 2, 3, 4}, {5, 6, 6, 7}}, {vertex, vertex}};
  };
  // Parts 2 and 0, the part count 3 (out of range), then one that cannot be read.
  m.wd.Write("xmodelsurfs/gun_lod0",
             v14::Surfaces({surface(2), surface(0), surface(3), surface(0xFFFF), surface(1)}));
  m.wd.Write("xmodelsurfs/gun_lod3", v14::Surfaces({surface(0)}));
  m.Load(v14::Header({"gun_lod0", "l1", "l2", "gun_lod3"}, v14::Lists({{"a.dds"}})));

  EXPECT_FALSE(m.model.LoadSurfaces(3, false));  // the file is there; the level is not loadable
  EXPECT_EQ(m.model.surfacesFile, nullptr);
  ASSERT_TRUE(m.model.LoadSurfaces(0, false));
  ASSERT_EQ(m.model.curSurfaceCount, 5);
  const auto& s = *m.model.curSurfaces;
  ASSERT_EQ(s[0].triListCount, 2);
  EXPECT_EQ(s[0].triLists[0].triCount, 5u);  // indices in the strip, not triangles
  EXPECT_EQ(s[0].triLists[1].indices, (std::vector<uint16_t>{5, 6, 6, 7}));
  const Vertex& v = s[0].vertices[1];
  EXPECT_FLOAT_EQ(v.normal[1], -0.5f);
  EXPECT_FLOAT_EQ(v.uv[1], 0.75f);
  EXPECT_FLOAT_EQ(v.position[0], 11);  // part 2 lies at (10, 20, 0)
  EXPECT_FLOAT_EQ(v.position[1], 22);
  EXPECT_FLOAT_EQ(s[1].vertices[0].position[0], 1);
  EXPECT_FLOAT_EQ(s[2].vertices[0].position[0], 1);
  EXPECT_TRUE(s[2].facesLoaded);
  // Decoding stopped at the fourth surface: it and the next stay empty.
  EXPECT_TRUE(s[3].unsupported && s[3].unsupportedAlt);
  for (int i : {3, 4}) EXPECT_TRUE(s[i].vertices.empty() && s[i].triLists.empty() && !s[i].facesLoaded);
}

}  // namespace
}  // namespace tessary
