// The version 14 OBJ and MTL files of a level, byte for byte.
#include <gtest/gtest.h>

#include <string>

#include "fixtures/TempWorkdir.h"
#include "fixtures/V14Writer.h"
#include "model/ModelV14.h"
#include "platform/BuildInfo.h"

namespace tessary {
namespace {

namespace v14 = test::v14;

std::string Block(const std::string& name, const std::string& texture) {
  return "newmtl " + name +
         "\r\nillum 4\r\nKd 0.00 0.00 0.00\r\nKa 0.00 0.00 0.00\r\nTf 1.00 1.00 1.00\r\n"
         "map_Kd ../materials/" + texture + "\r\nNi 1.00\r\n";
}

TEST(ObjMtlWriterV14, StripsMaterialsAndEmptySurfaces) {
  test::TempWorkdir wd;
  // "tile" has 4 characters: its cut name is empty. Surface 2 cannot be read, which
  // leaves it and surface 3 empty; surface 3 has no material.
  wd.Write("xmodel/gun", v14::Header({"gun_lod0", "gun_lod1"},
                                     v14::Lists({{"wall.dds", "tile", "wall.dds"}, {"x.dds"}})));
  v14::FixtureSurface first{0, {{0, 1, 2, 3}},
                            {{9, 9, 9, 0, 0, 0, 0, 0},
                             {9, 9, 9, 0.25f, 0.75f, 1.5f, -2.25f, 1000.125f},
                             {9, 9, 9, 1, 1, 0, 1, 0},
                             {9, 9, 9, 0.5f, 0.125f, -0.5f, 0, 3}}};
  v14::FixtureSurface second{0, {{0, 0, 1}, {1, 2}, {0, 1, 2, 2, 1}},
                             {{0, 0, 0, 0, 1, 1, 1, 1}, {0, 0, 0, 1, 0, 2, 2, 2}, {0, 0, 0, 1, 1, 3, 3, 3}}};
  v14::FixtureSurface unreadable{0xFFFF, {}, {}};
  wd.Write("xmodelsurfs/gun_lod0", v14::Surfaces({first, second, unreadable, first}));
  CModelV14 model;
  ASSERT_TRUE(model.Open(wd.ModelFolder(), "gun"));
  ASSERT_NE(model.LoadLods(), nullptr);
  model.LoadParts(0);
  ASSERT_TRUE(model.WriteMtl(0));
  ASSERT_TRUE(model.WriteObj(0));

  auto text = [&](const char* file) {
    auto bytes = wd.Read(file);
    return std::string(bytes.begin(), bytes.end());
  };
  EXPECT_EQ(text("obj/gun_lod0.mtl"), Block("wall", "wall.dds") + Block("", "tile"));
  EXPECT_EQ(text("obj/gun_lod0.obj"),
            std::string("\r\n# ") + build::kWebPage +
                "\r\n# Created by Tessary: Version 4.x\r\n"
                "# Created from: gun\r\n\r\n"
                "mtllib gun_lod0.mtl\r\n\r\n"
                "v 0.000000 0.000000 0.000000\r\n"
                "v 1.500000 -2.250000 1000.125000\r\n"
                "v 0.000000 1.000000 0.000000\r\n"
                "v -0.500000 0.000000 3.000000\r\n\r\n"
                "vt 0.000000 1.000000\r\n"
                "vt 0.250000 0.250000\r\n"
                "vt 1.000000 0.000000\r\n"
                "vt 0.500000 0.875000\r\n\r\n"
                "# 4 vertices\r\n\r\ns off\r\ng Group0\r\n\r\n"
                "usemtl wall\r\n"
                "f 1/1 2/2 3/3\r\n"
                "f 2/2 3/3 4/4\r\n"
                "v 1.000000 1.000000 1.000000\r\n"
                "v 2.000000 2.000000 2.000000\r\n"
                "v 3.000000 3.000000 3.000000\r\n\r\n"
                "vt 0.000000 0.000000\r\n"
                "vt 1.000000 1.000000\r\n"
                "vt 1.000000 0.000000\r\n\r\n"
                "# 3 vertices\r\n\r\ns off\r\ng Group1\r\n\r\n"
                "usemtl \r\n"
                "f 5/5 6/6 7/7\r\n"
                "\r\n\r\n# 0 vertices\r\n\r\ns off\r\ng Group2\r\n\r\n"
                "usemtl wall\r\n"
                "\r\n\r\n# 0 vertices\r\n\r\ns off\r\ng Group3\r\n\r\n");
}

}  // namespace
}  // namespace tessary
