// Reading a version 14 model: the backward walk to the material lists, parts and strip
// surfaces.
#include <gtest/gtest.h>

#include "fixtures/TempWorkdir.h"
#include "fixtures/V14Writer.h"
#include "model/DescribedGeometry.h"
#include "model/ModelV14.h"

namespace tessary {
namespace {

using test::ByteWriter;
namespace v14 = test::v14;

struct Loaded {
  void Load(const ByteWriter& header) {
    wd.Write("xmodel/gun", header);
    ASSERT_TRUE(model.Open(wd.ModelFolder(), "gun") && model.LoadLods());
    model.LoadParts(0);
  }
  test::TempWorkdir wd;
  CModelV14 model;
};

std::vector<std::string> Names(const LodEntry& lod) {
  std::vector<std::string> out;
  for (const auto& m : lod.materials) out.push_back(m.name);
  return out;
}

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
      // One lone count byte for two levels: the walk reaches the start, nothing is read.
      {"start of the file", v14::Lists({ab}, {0xFF, 0xFF, 0xFF, 0xFF, 0x00}), {}, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Loaded m;
    m.Load(v14::Header({"gun_lod0", "gun_lod1"}, c.tail));
    EXPECT_EQ(Names(m.model.lods[0]), c.level0);
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
  EXPECT_EQ(Names(m.model.lods[0]), (std::vector<std::string>{"", std::string(1023, 'a')}));
}

TEST(ModelV14, StripSurfacesMoveByTheirPart) {
  Loaded m;
  m.wd.Write("xmodelparts/gun_lod0", v14::Parts({{0, {0, 0, 0}, ""}, {0, {10, 0, 0}, "a"}, {1, {0, 20, 0}, "b"}}));
  auto surface = [](uint16_t part) { return v14::FixtureSurface{part, {{0, 1, 2, 3, 4}}, {{0, 0, 1, 0, 0, 1, 2, 3}}}; };
  // Parts 2 and 0, then the part count 3 (out of range, so not moved).
  m.wd.Write("xmodelsurfs/gun_lod0", v14::Surfaces({surface(2), surface(0), surface(3)}));
  m.wd.Write("xmodelsurfs/gun_lod3", v14::Surfaces({surface(0)}));
  m.Load(v14::Header({"gun_lod0", "l1", "l2", "gun_lod3"}, v14::Lists({{"a.dds"}})));
  EXPECT_FALSE(m.model.LoadSurfaces(3, false));  // the file is there; the level is not loadable
  EXPECT_EQ(m.model.parts.parts.at(0).name, "");  // kept as stored: no stand-in name in this version
  ASSERT_TRUE(m.model.LoadSurfaces(0, false));
  ASSERT_EQ(m.model.curSurfaceCount, 3);
  const auto s = DescribedSurfaces(*m.model.curSurfaces, m.model.parts, {});
  EXPECT_EQ(s[0].triLists.at(0).triCount, 5u);  // indices in the strip, not triangles
  EXPECT_EQ((std::vector<float>{s[0].vertices[0].position[0], s[0].vertices[0].position[1]}), (std::vector<float>{11, 22}));
  EXPECT_FLOAT_EQ(s[2].vertices[0].position[0], 1);
}

}  // namespace
}  // namespace tessary
