// The version 14 OBJ and MTL files of a level, byte for byte, and the levels that cannot
// be written.
#include <gtest/gtest.h>

#include <string>

#include "fixtures/TempWorkdir.h"
#include "fixtures/V14Writer.h"
#include "model/ModelV14.h"
#include "platform/BuildInfo.h"

namespace tessary {
namespace {

using test::TempWorkdir;
namespace v14 = test::v14;

std::string ReadText(const TempWorkdir& wd, const std::string& relative) {
  auto bytes = wd.Read(relative);
  return std::string(bytes.begin(), bytes.end());
}

std::string Head(const std::string& model, const std::string& level) {
  return std::string("\r\n# ") + build::kWebPage + "\r\n# Created by Tessary: Version 4.x\r\n" +
         "# Created from: " + model + "\r\n\r\nmtllib " + level + ".mtl\r\n\r\n";
}

std::string Block(const std::string& name, const std::string& texture) {
  return "newmtl " + name +
         "\r\nillum 4\r\nKd 0.00 0.00 0.00\r\nKa 0.00 0.00 0.00\r\nTf 1.00 1.00 1.00\r\n"
         "map_Kd ../materials/" + texture + "\r\nNi 1.00\r\n";
}

v14::FixtureVertex V(std::array<float, 3> position, std::array<float, 2> uv) {
  v14::FixtureVertex v;
  v.position = position;
  v.uv = uv;
  v.normal = {9, 9, 9};  // never written in this dialect
  return v;
}

void Load(CModelV14& model, const TempWorkdir& wd) {
  ASSERT_TRUE(model.Open(wd.ModelFolder(), "gun"));
  ASSERT_NE(model.LoadLods(), nullptr);
  model.LoadParts(0);
}

const std::vector<v14::HeaderLevel> kLevels = {{"gun_lod0"}, {"gun_lod1", 0}};

TEST(ObjMtlWriterV14, TwoSurfacesFromStrips) {
  TempWorkdir wd;
  wd.Write("xmodel/gun", v14::Header(kLevels, {{{"wall.dds", "floor.dds", "wall.dds"}}, {{"x.dds"}}}));
  v14::FixtureSurface first;
  first.vertices = {V({0, 0, 0}, {0, 0}), V({1.5f, -2.25f, 1000.125f}, {0.25f, 0.75f}),
                    V({0, 1, 0}, {1, 1}), V({-0.5f, 0, 3}, {0.5f, 0.125f})};
  first.strips = {{0, 1, 2, 3}};
  v14::FixtureSurface second;
  second.vertices = {V({1, 1, 1}, {0, 1}), V({2, 2, 2}, {1, 0}), V({3, 3, 3}, {1, 1})};
  second.strips = {{0, 0, 1}, {1, 2}, {0, 1, 2, 2, 1}};
  wd.Write("xmodelsurfs/gun_lod0", v14::Surfaces({first, second}));
  CModelV14 model;
  Load(model, wd);
  ASSERT_TRUE(model.WriteMtl(0));
  ASSERT_TRUE(model.WriteObj(0));

  EXPECT_EQ(ReadText(wd, "obj/gun_lod0.mtl"), Block("wall", "wall.dds") + Block("floor", "floor.dds"));
  EXPECT_EQ(ReadText(wd, "obj/gun_lod0.obj"),
            Head("gun", "gun_lod0") +
                "v 0.000000 0.000000 0.000000\r\n"
                "v 1.500000 -2.250000 1000.125000\r\n"
                "v 0.000000 1.000000 0.000000\r\n"
                "v -0.500000 0.000000 3.000000\r\n"
                "\r\n"
                "vt 0.000000 1.000000\r\n"
                "vt 0.250000 0.250000\r\n"
                "vt 1.000000 0.000000\r\n"
                "vt 0.500000 0.875000\r\n"
                "\r\n"
                "# 4 vertices\r\n"
                "\r\n"
                "s off\r\n"
                "g Group0\r\n"
                "\r\n"
                "usemtl wall\r\n"
                "f 1/1 2/2 3/3\r\n"
                "f 2/2 3/3 4/4\r\n"
                "v 1.000000 1.000000 1.000000\r\n"
                "v 2.000000 2.000000 2.000000\r\n"
                "v 3.000000 3.000000 3.000000\r\n"
                "\r\n"
                "vt 0.000000 0.000000\r\n"
                "vt 1.000000 1.000000\r\n"
                "vt 1.000000 0.000000\r\n"
                "\r\n"
                "# 3 vertices\r\n"
                "\r\n"
                "s off\r\n"
                "g Group1\r\n"
                "\r\n"
                "usemtl floor\r\n"
                "f 5/5 6/6 7/7\r\n");
}

TEST(ObjMtlWriterV14, ShortNamesMissingMaterialsAndUnreadableSurfaces) {
  // A name of 4 characters loses everything (shorter ones would end the material walk);
  // the third surface has no material and, after the unreadable one, no vertices or
  // strips either.
  TempWorkdir wd;
  wd.Write("xmodel/gun", v14::Header(kLevels, {{{"tile", "wall.dds"}}, {{"x.dds"}}}));
  v14::FixtureSurface one;
  one.vertices = {V({1, 2, 3}, {0, 0})};
  one.strips = {{0, 0, 0}};
  v14::FixtureSurface unreadable = one;
  unreadable.part = 0xFFFF;
  wd.Write("xmodelsurfs/gun_lod0", v14::Surfaces({one, unreadable, one}));
  CModelV14 model;
  Load(model, wd);
  ASSERT_TRUE(model.WriteMtl(0));
  ASSERT_TRUE(model.WriteObj(0));
  EXPECT_EQ(ReadText(wd, "obj/gun_lod0.mtl"), Block("", "tile") + Block("wall", "wall.dds"));
  std::string empty = "\r\n\r\n# 0 vertices\r\n\r\ns off\r\ng Group";
  EXPECT_EQ(ReadText(wd, "obj/gun_lod0.obj"),
            Head("gun", "gun_lod0") +
                "v 1.000000 2.000000 3.000000\r\n\r\n"
                "vt 0.000000 1.000000\r\n\r\n"
                "# 1 vertices\r\n\r\ns off\r\ng Group0\r\n\r\n"
                "usemtl \r\n" +
                empty + "1\r\n\r\nusemtl wall\r\n" + empty + "2\r\n\r\n");
}

TEST(ObjMtlWriterV14, LevelWithoutMaterialListGivesEmptyMtlAndNoUsemtl) {
  // Level 1's list was never found (the 3-byte string ends the walk after one list).
  TempWorkdir wd;
  wd.Write("xmodel/gun", v14::Header(kLevels, {{{"a.dds"}}}, {0xFF, 0x00, 0x58, 0x59}));
  v14::FixtureSurface one;
  one.vertices = {V({0, 0, 0}, {0, 0})};
  wd.Write("xmodelsurfs/gun_lod1", v14::Surfaces({one}));
  wd.Write("obj/gun_lod1.mtl", test::ByteWriter().Raw("old"));
  CModelV14 model;
  Load(model, wd);
  ASSERT_TRUE(model.WriteMtl(1));
  ASSERT_TRUE(model.WriteObj(1));
  EXPECT_EQ(ReadText(wd, "obj/gun_lod1.mtl"), "");  // replaced
  std::string obj = ReadText(wd, "obj/gun_lod1.obj");
  EXPECT_EQ(obj.find("usemtl"), std::string::npos);
  EXPECT_NE(obj.find("g Group0\r\n\r\n"), std::string::npos);
}

TEST(ObjMtlWriterV14, LevelsThatCannotBeLoadedWriteNothing) {
  TempWorkdir wd;
  std::vector<v14::HeaderLevel> levels = {{"gun_lod0"}, {"ab"}, {"gun_lod2"}, {"gun_lod3", 0}};
  wd.Write("xmodel/gun", v14::Header(levels, {{{"a.dds"}}, {{"a.dds"}}, {{"a.dds"}}}));
  v14::FixtureSurface one;
  one.vertices = {V({0, 0, 0}, {0, 0})};
  wd.Write("xmodelsurfs/gun_lod3", v14::Surfaces({one}));
  wd.Write("xmodelsurfs/ab", v14::Surfaces({one}));
  CModelV14 model;
  Load(model, wd);
  for (int level : {0, 1, 2, 3, 4}) {  // missing file, absent level, missing, level 3, none
    SCOPED_TRACE(level);
    EXPECT_FALSE(model.WriteMtl(level));
    EXPECT_FALSE(model.WriteObj(level));
  }
  EXPECT_TRUE(std::filesystem::is_empty(wd.Path() / "obj"));

  CModelV14 unopened;
  EXPECT_FALSE(unopened.WriteObj(0));
}

}  // namespace
}  // namespace tessary
