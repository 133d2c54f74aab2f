// The version 25 OBJ, MTL and tags listing files of a level, byte for byte.
#include <gtest/gtest.h>

#include <string>

#include "fixtures/RecordingNotifier.h"
#include "fixtures/TempWorkdir.h"
#include "fixtures/V20Writer.h"
#include "fixtures/V25Writer.h"
#include "model/ModelV25.h"
#include "platform/BuildInfo.h"

namespace tessary {
namespace {

using test::ByteWriter;
using test::TempWorkdir;
namespace v20 = test::v20;
namespace v25 = test::v25;

std::string ReadText(const TempWorkdir& wd, const std::string& relative) {
  auto bytes = wd.Read(relative);
  return std::string(bytes.begin(), bytes.end());
}

// The head with the empty line after "mtllib" that version 25 writes.
std::string Head(const std::string& model, const std::string& level) {
  return std::string("\r\n# ") + build::kWebPage + "\r\n# Created by Tessary: Version 5.0\r\n" +
         "# Created from: " + model + "\r\n\r\nmtllib " + level + ".mtl\r\n\r\n";
}

void Load(CModelV25& model, const TempWorkdir& wd) {
  ASSERT_TRUE(model.Open(wd.ModelFolder(), "m"));
  ASSERT_NE(model.LoadLods(), nullptr);
  model.LoadParts(0);
}

v25::FixtureVertex At(float x, float y, float z, float u = 0, float v = 0) {
  v25::FixtureVertex vertex;
  vertex.position = {x, y, z};
  vertex.uv = {u, v};
  return vertex;
}

TEST(ObjWriterV25, BlankLinesAfterCountsAndIndicesAcrossSurfaces) {
  test::RecordingNotifier notifier;
  TempWorkdir wd;
  wd.Write("xmodel/m", v25::Header("", {{"m_lod0", 0}}, {{"mtl_a", "mtl_b"}}));
  v25::FixtureSurface first;
  first.vertices = {At(1, 2, 3, 0.25f, 0.75f), At(-0.5f, 0, 0), At(0, 1, 0)};
  first.triangles = {{0, 1, 2}, {0, 1, 1}};
  v25::FixtureSurface second;
  second.form = v25::Form::Direct;
  second.vertices = {At(0, 0, 0), At(1, 0, 0), At(1, 1, 0), At(0, 1, 0)};
  second.triangles = {{0, 1, 2}, {3, 3, 1}, {2, 3, 0}};
  wd.Write("xmodelsurfs/m_lod0", v25::Surfaces({first, second}));
  CModelV25 model;
  Load(model, wd);
  ASSERT_TRUE(model.LoadSurfaces(0, false));
  ASSERT_TRUE(model.WriteObj(0));
  const std::string normals3 = "vn 0.000000 0.000000 1.000000\r\n";
  EXPECT_EQ(ReadText(wd, "obj/m_lod0.obj"),
            Head("m", "m_lod0") +
                "v 1.000000 2.000000 3.000000\r\n"
                "v -0.500000 0.000000 0.000000\r\n"
                "v 0.000000 1.000000 0.000000\r\n"
                "# 3 vertices\r\n\r\n"
                "vt 0.250000 0.250000\r\n"
                "vt 0.000000 1.000000\r\n"
                "vt 0.000000 1.000000\r\n"
                "# 3 UVs\r\n\r\n" +
                normals3 + normals3 + normals3 +
                "# 3 normals\r\n"
                "\r\n"
                "s off\r\n"
                "g Group0\r\n"
                "usemtl mtl_a\r\n"
                "f 1/1/1 3/3/3 2/2/2\r\n"
                "# 1 faces\r\n\r\n"
                "v 0.000000 0.000000 0.000000\r\n"
                "v 1.000000 0.000000 0.000000\r\n"
                "v 1.000000 1.000000 0.000000\r\n"
                "v 0.000000 1.000000 0.000000\r\n"
                "# 4 vertices\r\n\r\n"
                "vt 0.000000 1.000000\r\n"
                "vt 0.000000 1.000000\r\n"
                "vt 0.000000 1.000000\r\n"
                "vt 0.000000 1.000000\r\n"
                "# 4 UVs\r\n\r\n" +
                normals3 + normals3 + normals3 + normals3 +
                "# 4 normals\r\n"
                "\r\n"
                "s off\r\n"
                "g Group1\r\n"
                "usemtl mtl_b\r\n"
                "f 4/4/4 6/6/6 5/5/5\r\n"
                "f 6/6/6 4/4/4 7/7/7\r\n"
                "# 2 faces\r\n\r\n");
}

TEST(ObjWriterV25, MtlBlocksOncePerNameWithTheImageOrTheName) {
  test::RecordingNotifier notifier;
  TempWorkdir wd;
  wd.Write("xmodel/m", v25::Header("", {{"m_lod0", 1}, {"m_lod1", 0}}, {{"mtl_a", "mtl_b", "mtl_a"}, {}}));
  wd.Write("materials/mtl_a", v20::Material("a_col"));
  wd.Write("images/a_col.dds", ByteWriter().Raw("DDS "));
  CModelV25 model;
  Load(model, wd);
  ASSERT_TRUE(model.WriteMtl(0));
  EXPECT_EQ(ReadText(wd, "obj/m_lod0.mtl"),
            "newmtl mtl_a\r\nillum 4\r\nKd 0.00 0.00 0.00\r\nKa 0.00 0.00 0.00\r\n"
            "Tf 1.00 1.00 1.00\r\nmap_Kd ../images/a_col.dds\r\nNi 1.00\r\n"
            "newmtl mtl_b\r\nillum 4\r\nKd 0.00 0.00 0.00\r\nKa 0.00 0.00 0.00\r\n"
            "Tf 1.00 1.00 1.00\r\nmap_Kd ../images/mtl_b\r\nNi 1.00\r\n");
  // A level without materials gives an empty file.
  ASSERT_TRUE(model.WriteMtl(1));
  EXPECT_TRUE(wd.Exists("obj/m_lod1.mtl"));
  EXPECT_EQ(ReadText(wd, "obj/m_lod1.mtl"), "");
}

TEST(ObjWriterV25, WritersUseOnlySurfacesAlreadyLoaded) {
  test::RecordingNotifier notifier;
  TempWorkdir wd;
  wd.Write("xmodel/m", v25::Header("", {{"m_lod0", 0}}, {{"mtl_a"}}));
  wd.Write("xmodelsurfs/m_lod0", v25::Surfaces({v25::Triangle()}));
  wd.Write("xmodelparts/m_lod0", v20::Parts({{0, {0, 0, 0}, ""}, {0, {1, 2, 3}, "j"}}, 25));
  CModelV25 model;
  Load(model, wd);
  // Nothing loaded: the OBJ holds the head alone.
  ASSERT_TRUE(model.WriteObj(0));
  EXPECT_EQ(ReadText(wd, "obj/m_lod0.obj"), Head("m", "m_lod0"));
  EXPECT_FALSE(model.WriteObj(1));

  // The tags listing is the version 20 one, with this model's parts.
  ASSERT_TRUE(model.WriteTagsListing("m"));
  auto bytes = wd.Read("obj/m_tags.txt");
  std::string narrow;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) narrow += static_cast<char>(bytes[i]);
  EXPECT_EQ(narrow.rfind("\r\nFor best results", 0), 0u);
  EXPECT_NE(narrow.find("# 1 = j                   , (1.00, 2.00, 3.00), parent = #0\r\n"),
            std::string::npos) << narrow;
  EXPECT_NE(narrow.find("# 0 = tag_origin          , (0.00, 0.00, 0.00)\r\n"), std::string::npos);
}

}  // namespace
}  // namespace tessary
