// The version 20 OBJ and MTL files of a level, byte for byte.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "fixtures/TempWorkdir.h"
#include "fixtures/V20Writer.h"
#include "model/ModelV20.h"
#include "platform/BuildInfo.h"

namespace tessary {
namespace {

using test::TempWorkdir;
namespace v20 = test::v20;

std::string ReadText(const TempWorkdir& wd, const std::string& relative) {
  auto bytes = wd.Read(relative);
  return std::string(bytes.begin(), bytes.end());
}

std::string Head(const std::string& model, const std::string& level) {
  return std::string("\r\n# ") + build::kWebPage + "\r\n# Created by Tessary: Version 5.0\r\n" +
         "# Created from: " + model + "\r\n\r\nmtllib " + level + ".mtl\r\n";
}

void Load(CModelV20& model, const TempWorkdir& wd, const std::string& name) {
  ASSERT_TRUE(model.Open(wd.ModelFolder(), name));
  ASSERT_NE(model.LoadLods(), nullptr);
  model.LoadParts(0);
}

v20::FixtureVertex MakeVertex(std::array<float, 3> position, std::array<float, 2> uv,
                              std::array<float, 3> normal) {
  v20::FixtureVertex v;
  v.position = position;
  v.uv = uv;
  v.normal = normal;
  return v;
}

TEST(ObjWriterV20, WorkedExampleThenIndicesCountingOnAcrossSurfaces) {
  TempWorkdir wd;
  // Surface 0 is the worked example (three vertices, triangle (0, 1, 2), material
  // mtl_m1). Surface 1 has no entry in the one-material list: no usemtl line.
  wd.Write("xmodel/m", v20::Header({{"m_lod0", 0, {"mtl_m1"}}}));
  v20::FixtureSurface second;
  second.vertices = {MakeVertex({1, 2, 3}, {0.25f, 0.75f}, {0, 0, 1}),
                     MakeVertex({-0.5f, 0, 0.125f}, {1, 0}, {0, 1, 0}),
                     MakeVertex({0, -2, 1000.5f}, {0, 1}, {-1, 0, 0}),
                     MakeVertex({0.0000004f, -0.0000004f, 0}, {0.5f, 0.1f}, {0, 0, -1})};
  second.triangles = {{0, 1, 2}, {2, 2, 3}, {7, 7, 9}, {1, 3, 2}};
  wd.Write("xmodelsurfs/m_lod0", v20::Surfaces({v20::Triangle(), second}));
  CModelV20 model;
  Load(model, wd, "m");
  ASSERT_TRUE(model.WriteObj(0));
  EXPECT_EQ(ReadText(wd, "obj/m_lod0.obj"),
            Head("m", "m_lod0") +
                "v 0.000000 0.000000 0.000000\r\n"
                "v 1.000000 0.000000 0.000000\r\n"
                "v 0.000000 1.000000 0.000000\r\n"
                "# 3 vertices\r\n"
                "vt 0.000000 1.000000\r\n"
                "vt 1.000000 1.000000\r\n"
                "vt 0.000000 0.000000\r\n"
                "# 3 UVs\r\n"
                "vn 0.000000 0.000000 1.000000\r\n"
                "vn 0.000000 0.000000 1.000000\r\n"
                "vn 0.000000 0.000000 1.000000\r\n"
                "# 3 normals\r\n"
                "\r\n"
                "s off\r\n"
                "g Group0\r\n"
                "usemtl mtl_m1\r\n"
                "f 1/1/1 3/3/3 2/2/2\r\n"
                "# 1 faces\r\n"
                "v 1.000000 2.000000 3.000000\r\n"
                "v -0.500000 0.000000 0.125000\r\n"
                "v 0.000000 -2.000000 1000.500000\r\n"
                "v 0.000000 -0.000000 0.000000\r\n"
                "# 4 vertices\r\n"
                "vt 0.250000 0.250000\r\n"
                "vt 1.000000 1.000000\r\n"
                "vt 0.000000 0.000000\r\n"
                "vt 0.500000 0.900000\r\n"  // 1 - 0.1f in double
                "# 4 UVs\r\n"
                "vn 0.000000 0.000000 1.000000\r\n"
                "vn 0.000000 1.000000 0.000000\r\n"
                "vn -1.000000 0.000000 0.000000\r\n"
                "vn 0.000000 0.000000 -1.000000\r\n"
                "# 4 normals\r\n"
                "\r\n"
                "s off\r\n"
                "g Group1\r\n"
                "f 4/4/4 6/6/6 5/5/5\r\n"
                "f 5/5/5 6/6/6 7/7/7\r\n"
                "# 2 faces\r\n");
  EXPECT_FALSE(wd.Exists("obj/m.obj"));  // named after the level, not the header
}

TEST(MtlWriterV20, OneBlockPerDistinctMaterialWithItsImage) {
  TempWorkdir wd;
  wd.Write("xmodel/m", v20::Header({{"m_lod0", 0, {"mtl_a", "mtl_b", "mtl_a", "Mtl_A"}}}));
  wd.Write("materials/mtl_a", v20::Material("a_col"));
  wd.Write("materials/Mtl_A", v20::Material("a_col"));
  wd.Write("images/a_col.dds", test::ByteWriter().Raw("DDS "));
  wd.Write("xmodelsurfs/m_lod0", v20::Surfaces({v20::Triangle()}));
  CModelV20 model;
  Load(model, wd, "m");
  ASSERT_TRUE(model.WriteMtl(0));
  const std::string fixedLines =
      "illum 4\r\nKd 0.00 0.00 0.00\r\nKa 0.00 0.00 0.00\r\nTf 1.00 1.00 1.00\r\n";
  // mtl_b has no material file, so no image: the map names the material itself.
  EXPECT_EQ(ReadText(wd, "obj/m_lod0.mtl"),
            "newmtl mtl_a\r\n" + fixedLines + "map_Kd ../images/a_col.dds\r\nNi 1.00\r\n" +
            "newmtl mtl_b\r\n" + fixedLines + "map_Kd ../images/mtl_b\r\nNi 1.00\r\n" +
            "newmtl Mtl_A\r\n" + fixedLines + "map_Kd ../images/a_col.dds\r\nNi 1.00\r\n");
}

TEST(WritersV20, FailWithoutWritingWhenSurfacesOrTheObjFolderAreMissing) {
  TempWorkdir wd;
  wd.Write("xmodel/m", v20::Header({{"m_lod0", 0, {"mtl_a"}}}));
  CModelV20 model;
  Load(model, wd, "m");
  // No surfaces file (an undecodable one is tried from the command line).
  EXPECT_FALSE(model.WriteMtl(0));
  EXPECT_FALSE(model.WriteObj(0));
  EXPECT_FALSE(model.WriteObj(1));  // no such level
  EXPECT_TRUE(std::filesystem::is_empty(wd.Path() / "obj"));

  // Surfaces load, but the obj folder is gone: no file and no temporary left.
  wd.Write("xmodelsurfs/m_lod0", v20::Surfaces({v20::Triangle()}));
  std::filesystem::remove_all(wd.Path() / "obj");
  EXPECT_FALSE(model.WriteMtl(0));
  EXPECT_FALSE(model.WriteObj(0));
  EXPECT_FALSE(wd.Exists("obj"));
  std::filesystem::create_directory(wd.Path() / "obj");
  EXPECT_TRUE(model.WriteMtl(0));
  EXPECT_TRUE(model.WriteObj(0));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(wd.Path() / "obj"),
                          std::filesystem::directory_iterator()),
            2);
}

}  // namespace
}  // namespace tessary
