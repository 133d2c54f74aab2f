// What the exports of a level write, byte for byte, and models shared by strangers.
#include <gtest/gtest.h>

#include <limits>
#include <filesystem>
#include <regex>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "platform/Disk.h"
#include "export/Exporters.h"
#include "export/ModelExport.h"
#include "export/TagsListing.h"
#include "fixtures/StructuralWriter.h"
#include "fixtures/TempWorkdir.h"
#include "fixtures/V14Writer.h"
#include "fixtures/V20Writer.h"
#include "fixtures/V25Writer.h"
#include "model/ShowModelTree.h"
#include "platform/BuildInfo.h"
#include "platform/TestFiles.h"

namespace tessary {
namespace {

using test::TempWorkdir;
namespace fs = std::filesystem;
namespace v14 = test::v14;
namespace v20 = test::v20;
namespace v25 = test::v25;

std::string ReadText(const TempWorkdir& wd, const std::string& relative) { return test::Text(wd.Path() / relative); }

std::string Head(const std::string& version, const std::string& level) {
  return std::string("\r\n# ") + build::kWebPage + "\r\n# Created by Tessary: Version " + version +
         "\r\n# Created from: m\r\n\r\nmtllib " + level + ".mtl\r\n";
}

std::string MtlBlock(const std::string& name, const std::string& map) {
  return "newmtl " + name + "\r\nillum 4\r\nKd 0.00 0.00 0.00\r\nKa 0.00 0.00 0.00\r\nTf 1.00 1.00 1.00\r\nmap_Kd " +
         map + "\r\nNi 1.00\r\n";
}

// The lines of the fixtures' one-triangle surface; `gap` follows each count.
std::string TriangleLines(const std::string& gap) {
  const std::string vn = "vn 0.000000 0.000000 1.000000\r\n";
  return "v 0.000000 0.000000 0.000000\r\nv 1.000000 0.000000 0.000000\r\nv 0.000000 1.000000 0.000000\r\n# 3 vertices\r\n" +
         gap + "vt 0.000000 1.000000\r\nvt 1.000000 1.000000\r\nvt 0.000000 0.000000\r\n# 3 UVs\r\n" + gap + vn + vn + vn +
         "# 3 normals\r\n\r\ns off\r\n";
}

// Export .OBJ of model "m" at `level`, through the path both programs take.
bool Export(const TempWorkdir& wd, int level) { return ExportObjFiles(wd.Str(), "m", level).ok; }

TEST(ObjMtlWriterV14, StripsMaterialsAndEmptySurfaces) {
  TempWorkdir wd;
  // "tile" has 4 characters: its cut name is empty. Surface 2 cannot be read, which
  // leaves it and surface 3 empty; surface 3 has no material.
  wd.Write("xmodel/m", v14::Header({"m_lod0", "m_lod1"}, v14::Lists({{"wall.dds", "tile", "wall.dds"}, {"x.dds"}})));
  v14::FixtureSurface first{0, {{0, 1, 2, 3}},
                            {{9, 9, 9, 0, 0, 0, 0, 0}, {9, 9, 9, 0.25f, 0.75f, 1.5f, -2.25f, 1000.125f},
                             {9, 9, 9, 1, 1, 0, 1, 0}, {9, 9, 9, 0.5f, 0.125f, -0.5f, 0, 3}}};
  v14::FixtureSurface second{0, {{0, 0, 1}, {1, 2}, {0, 1, 2, 2, 1}},
                             {{0, 0, 0, 0, 1, 1, 1, 1}, {0, 0, 0, 1, 0, 2, 2, 2}, {0, 0, 0, 1, 1, 3, 3, 3}}};
  wd.Write("xmodelsurfs/m_lod0", v14::Surfaces({first, second, v14::FixtureSurface{0xFFFF, {}, {}}, first}));
  ASSERT_TRUE(Export(wd, 0));
  EXPECT_EQ(ReadText(wd, "obj/m_lod0.mtl"), MtlBlock("wall", "../materials/wall.dds") + MtlBlock("", "../materials/tile"));
  const std::string empty = "\r\n\r\n# 0 vertices\r\n\r\ns off\r\n";
  EXPECT_EQ(ReadText(wd, "obj/m_lod0.obj"),
            Head("4.x", "m_lod0") +
                "\r\nv 0.000000 0.000000 0.000000\r\nv 1.500000 -2.250000 1000.125000\r\n"
                "v 0.000000 1.000000 0.000000\r\nv -0.500000 0.000000 3.000000\r\n\r\n"
                "vt 0.000000 1.000000\r\nvt 0.250000 0.250000\r\nvt 1.000000 0.000000\r\nvt 0.500000 0.875000\r\n\r\n"
                "# 4 vertices\r\n\r\ns off\r\ng Group0\r\n\r\nusemtl wall\r\nf 1/1 2/2 3/3\r\nf 2/2 3/3 4/4\r\n"
                "v 1.000000 1.000000 1.000000\r\nv 2.000000 2.000000 2.000000\r\nv 3.000000 3.000000 3.000000\r\n\r\n"
                "vt 0.000000 0.000000\r\nvt 1.000000 1.000000\r\nvt 1.000000 0.000000\r\n\r\n"
                "# 3 vertices\r\n\r\ns off\r\ng Group1\r\n\r\nusemtl \r\nf 5/5 6/6 7/7\r\n" +
                empty + "g Group2\r\n\r\nusemtl wall\r\n" + empty + "g Group3\r\n\r\n");
}

TEST(ObjMtlWriterV20, IndicesCountOnAcrossSurfacesAndDegenerateFacesAreLeftOut) {
  TempWorkdir wd;
  // Surface 1 has no entry in the one-material list: no usemtl line.
  wd.Write("xmodel/m", v20::Header({{"m_lod0", 0, {"mtl_m1"}}}));
  v20::FixtureSurface second;
  second.vertices = {{{0, 0, 1}, {0.25f, 0.75f}, {1, 2, 3}},
                     {{0, 1, 0}, {1, 0}, {-0.5f, 0, 0.125f}},
                     {{-1, 0, 0}, {0, 1}, {0, -2, 1000.5f}},
                     {{0, 0, -1}, {0.5f, 0.1f}, {0.0000004f, -0.0000004f, 0}}};
  second.triangles = {{0, 1, 2}, {2, 2, 3}, {7, 7, 9}, {1, 3, 2}};
  wd.Write("xmodelsurfs/m_lod0", v20::Surfaces({v20::Triangle(), second}));
  ASSERT_TRUE(Export(wd, 0));
  EXPECT_EQ(ReadText(wd, "obj/m_lod0.obj"),
            Head("5.0", "m_lod0") + TriangleLines("") + "g Group0\r\nusemtl mtl_m1\r\nf 1/1/1 3/3/3 2/2/2\r\n# 1 faces\r\n"
                "v 1.000000 2.000000 3.000000\r\nv -0.500000 0.000000 0.125000\r\n"
                "v 0.000000 -2.000000 1000.500000\r\nv 0.000000 -0.000000 0.000000\r\n# 4 vertices\r\n"
                "vt 0.250000 0.250000\r\nvt 1.000000 1.000000\r\nvt 0.000000 0.000000\r\n"
                "vt 0.500000 0.900000\r\n# 4 UVs\r\n"  // 1 - 0.1f in double
                "vn 0.000000 0.000000 1.000000\r\nvn 0.000000 1.000000 0.000000\r\n"
                "vn -1.000000 0.000000 0.000000\r\nvn 0.000000 0.000000 -1.000000\r\n# 4 normals\r\n\r\n"
                "s off\r\ng Group1\r\nf 4/4/4 6/6/6 5/5/5\r\nf 5/5/5 6/6/6 7/7/7\r\n# 2 faces\r\n");
}

TEST(ObjMtlWriterV20, SkinnedGeometryLeavesOutTrianglesPastTheVertices) {
  TempWorkdir wd;
  const test::structural::Vertex v{};
  wd.Write("xmodel/m", test::structural::Header(20, {{"m_lod0", {"mtl_m1"}}}));
  wd.Write("xmodelsurfs/m_lod0", test::structural::Surfaces20({{.vertices = {v, v, v}, .triangles = {{0, 1, 2}, {0, 1, 3}}}}));
  ASSERT_TRUE(ExportObjFiles({.workdir = wd.Str(), .modelName = "m", .skinned = true}).ok);
  const std::string obj = ReadText(wd, "obj/m_lod0.obj");
  EXPECT_NE(obj.find("f 1/1/1 3/3/3 2/2/2\r\n# 1 faces\r\n"), std::string::npos) << obj;
}

TEST(ObjMtlWriterV20, OneMtlBlockPerDistinctMaterialWithItsImageOrItsName) {
  TempWorkdir wd;
  wd.Write("xmodel/m", v20::Header({{"m_lod0", 0, {"mtl_a", "mtl_b", "mtl_a", "Mtl_A"}}}));
  wd.Write("materials/mtl_a", v20::Material("a_col"));
  wd.Write("materials/Mtl_A", v20::Material("a_col"));
  wd.Write("images/a_col.dds", test::ByteWriter().Raw("DDS "));
  wd.Write("xmodelsurfs/m_lod0", v20::Surfaces({v20::Triangle()}));
  ASSERT_TRUE(Export(wd, 0));
  EXPECT_EQ(ReadText(wd, "obj/m_lod0.mtl"), MtlBlock("mtl_a", "../images/a_col.dds") + MtlBlock("mtl_b", "../images/mtl_b") +
                                                MtlBlock("Mtl_A", "../images/a_col.dds"));
}

TEST(ObjWriterV25, BlankLinesAfterCounts) {
  TempWorkdir wd;
  wd.Write("xmodel/m", v25::Header("", {{"m_lod0", 0}}, {{"mtl_a", "mtl_b"}}));
  wd.Write("xmodelsurfs/m_lod0", v25::Surfaces({v25::Triangle(), v25::Triangle(v25::Form::Direct)}));
  ASSERT_TRUE(Export(wd, 0));
  const std::string body = TriangleLines("\r\n");
  EXPECT_EQ(ReadText(wd, "obj/m_lod0.obj"),
            Head("5.0", "m_lod0") + "\r\n" + body + "g Group0\r\nusemtl mtl_a\r\nf 1/1/1 3/3/3 2/2/2\r\n# 1 faces\r\n\r\n" +
                body + "g Group1\r\nusemtl mtl_b\r\nf 4/4/4 6/6/6 5/5/5\r\n# 1 faces\r\n\r\n");
}

std::vector<uint8_t> LittleEndian(const std::u16string& text) {
  std::vector<uint8_t> bytes;
  for (char16_t c : text) bytes.insert(bytes.end(), {static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8)});
  return bytes;
}

const std::u16string kHead =
    u"\r\nFor best results, view this with the font \"Courier New\" \r\n\r\n"
    u"tag#   name (X, Y, Z), parent\r\n\r\n";

TEST(TagsListing, TableAndTreeOfAnAwkwardSkeleton) {
  PartList parts{{
      {0, {0, 0, 0}, {}, "tag_origin"},
      {0, {1, 0, 0}, {}, "j_a"},
      {3, {0.005f, -0.125f, 2}, {}, "j_b"},  // parent listed after it
      {0, {0, 0, 0}, {}, "a_very_long_tag_name_25ch"},
      {5, {0, 0, 0}, {}, "c1"},  // c1 and c2 are each other's parent: not in the tree
      {4, {0, 0, 0}, {}, "c2"},
      {200, {0, 0, 0}, {}, "bad"},  // parent out of range: the root
      {1, {0, 0, 0}, {}, "x7"},
      {1, {-1234.5f, 0.994f, 0.995f}, {}, "x8"},  // 0.995f lies above 0.995
      {8, {0, 0, 0}, {}, "x9"},
      {0, {0, 0, 0}, {}, "x10"},
  }};
  EXPECT_EQ(TagsListingBytes(parts), LittleEndian(kHead +
      u"# 0 = tag_origin          , (0.00, 0.00, 0.00)\r\n"
      u"# 1 = j_a                 , (1.00, 0.00, 0.00), parent = #0\r\n"
      u"# 2 = j_b                 , (0.00, -0.12, 2.00), parent = #3\r\n"
      u"# 3 = a_very_long_tag_name_25ch, (0.00, 0.00, 0.00), parent = #0\r\n"
      u"# 4 = c1                  , (0.00, 0.00, 0.00), parent = #5\r\n"
      u"# 5 = c2                  , (0.00, 0.00, 0.00), parent = #4\r\n"
      u"# 6 = bad                 , (0.00, 0.00, 0.00), parent = #0\r\n"
      u"# 7 = x7                  , (0.00, 0.00, 0.00), parent = #1\r\n"
      u"# 8 = x8                  , (-1234.50, 0.99, 1.00), parent = #1\r\n"
      u"# 9 = x9                  , (0.00, 0.00, 0.00), parent = #8\r\n"
      u"#10 = x10                 , (0.00, 0.00, 0.00), parent = #0\r\n"
      u"\r\n\r\n\r\n"
      u"\u2558 tag_origin\r\n"
      u"    \u255E j_a\r\n"
      u"    |    \u255E x7\r\n"
      u"    |    \u2558 x8\r\n"
      u"    |        \u2558 x9\r\n"
      u"    \u255E a_very_long_tag_name_25ch\r\n"
      u"    |    \u2558 j_b\r\n"
      u"    \u255E bad\r\n"
      u"    \u2558 x10\r\n"));
}

TEST(TagsListing, LongNamesAreCut) {
  // Names (and tree prefixes) pass through a 260-byte buffer of 16-bit units: 129
  // characters survive. Bytes above 127 become the code unit of the same value.
  PartList parts{{Part{0, {0, 0, 0}, {}, "\xE9" + std::string(140, 'n')}}};
  std::u16string name129 = u"\u00E9" + std::u16string(128, u'n');
  EXPECT_EQ(TagsListingBytes(parts), LittleEndian(kHead + u"# 0 = " + name129 +
                                                  u", (0.00, 0.00, 0.00)\r\n\r\n\r\n\r\n\u2558 " + name129 + u"\r\n"));
}

// The file's text as written: every line feed as CR LF.
std::string Crlf(const std::string& text) { return std::regex_replace(text, std::regex("\n"), "\r\n"); }

const char* const kHeaderAndTemplates =
    "xof 0303txt 0032\n\n"
    "template Vector \n{\n\t<3d82ab5e-62da-11cf-ab39-0020af71e433>\n\tFLOAT x;\n\tFLOAT y;\n\tFLOAT z;\n}\n\n"
    "template MeshFace \n{\n\t<3d82ab5f-62da-11cf-ab39-0020af71e433>\n\tDWORD nFaceVertexIndices;\n"
    "\tarray DWORD faceVertexIndices[nFaceVertexIndices];\n}\n\n"
    "template Mesh \n{\n\t<3d82ab44-62da-11cf-ab39-0020af71e433>\n\tDWORD nVertices;\n"
    "\tarray Vector vertices[nVertices];\n\tDWORD nFaces;\n\tarray MeshFace faces[nFaces];\n\t[...]\n}\n\n"
    "template MeshNormals \n{\n\t<f6f23f43-7686-11cf-8f52-0040333594a3>\n\tDWORD nNormals;\n"
    "\tarray Vector normals[nNormals];\n\tDWORD nFaceNormals;\n\tarray MeshFace faceNormals[nFaceNormals];\n}\n\n"
    "template Coords2d \n{\n\t<f6f23f44-7686-11cf-8f52-0040333594a3>\n\tFLOAT u;\n\tFLOAT v;\n}\n\n"
    "template MeshTextureCoords \n{\n\t<f6f23f40-7686-11cf-8f52-0040333594a3>\n\tDWORD nTextureCoords;\n"
    "\tarray Coords2d textureCoords[nTextureCoords];\n}\n\n"
    "template MeshMaterialList \n{\n\t<f6f23f42-7686-11cf-8f52-0040333594a3>\n\tDWORD nMaterials;\n"
    "\tDWORD nFaceIndexes;\n\tarray DWORD faceIndexes[nFaceIndexes];\n"
    "\t[Material <3d82ab4d-62da-11cf-ab39-0020af71e433>]\n}\n\n"
    "template ColorRGBA \n{\n\t<35ff44e0-6c7c-11cf-8f52-0040333594a3>\n\tFLOAT red;\n\tFLOAT green;\n"
    "\tFLOAT blue;\n\tFLOAT alpha;\n}\n\n"
    "template ColorRGB \n{\n\t<d3e16e81-7835-11cf-8f52-0040333594a3>\n\tFLOAT red;\n\tFLOAT green;\n"
    "\tFLOAT blue;\n}\n\n"
    "template Material \n{\n\t<3d82ab4d-62da-11cf-ab39-0020af71e433>\n\tColorRGBA faceColor;\n"
    "\tFLOAT power;\n\tColorRGB specularColor;\n\tColorRGB emissiveColor;\n\t[...]\n}\n\n"
    "template TextureFilename \n{\n\t<a42790e1-7810-11cf-8f52-0040333594a3>\n\tSTRING filename;\n}\n\n";

// Everything of a mesh after its face-index count in the material list.
std::string MaterialTail(const std::string& texture) {
  return "\t\tMaterial\n\t\t{\n\t\t\t1.000000;1.000000;1.000000;1.000000;;\n\t\t\t40.00000;\n"
         "\t\t\t1.000000;1.000000;1.000000;;\n\t\t\t0.000000;0.000000;0.000000;;\n\n"
         "\t\t\tTextureFilename\n\t\t\t{\n\t\t\t\t\"../images/" + texture + "\";\n\t\t\t}\n\t\t}\n\t}\n}\n\n";
}

TEST(XWriter, MeshesWithTheirOwnIndicesAndMaterials) {
  TempWorkdir wd;
  const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
  // One level set up by hand. Vertices as {normal, uv, position}. Surface 1 stopped
  // decoding: no triangle list. Material 1 has no image, so its name stands in; surface 2
  // has no material at all.
  ExportLevel level;
  level.version = FindModelVersion(25);
  level.modelName = "m";
  CompatibleLevel& c = level.compatible.emplace();
  c.lod = LodEntry{2, true, "m_lod0", {{0, 2, "mtl_a", "a.iwi"}, {1, 2, "mtl_no_image", std::nullopt}}};
  auto& surfaces = c.surfaces;
  surfaces.resize(3);
  surfaces[0].vertices = {{{0, 1, 0}, {1, 0}, {-0.5f, 1e6f, 0.123456f}}, {}};
  surfaces[0].triLists = {{3, {4, 7, 9, 1, 2, 3, 0, 1, 2}}};
  surfaces[2].vertices = {{{0, 0, 1}, {0.25f, 0.75f}, {nan, -inf, inf}}};
  surfaces[2].triLists = {{1, {0, 0, 0}}};
  {
    OutputFile file;
    ASSERT_TRUE(file.OpenExact(wd.Path() / "obj" / "m_lod0.x"));
    ASSERT_TRUE(WriteX(level, file));
    ASSERT_TRUE(file.Commit());
  }
  // Coordinates are written z first, and each face starts at its second corner.
  std::string expected = std::string(kHeaderAndTemplates) +
                         "Mesh\n{\n\t2;\n\n\t0.12346;1000000.00000;-0.50000;,\n\t0.00000;0.00000;0.00000;;\n\n"
                         "\t3;\n\n\t3;7,9,4;,\n\t3;2,3,1;,\n\t3;1,2,0;;\n\n"
                         "\tMeshNormals\n\t{\n\t\t2;\n\n\t\t0.00000;1.00000;0.00000;,\n\t\t0.00000;0.00000;0.00000;;\n\n"
                         "\t\t3;\n\n\t\t3;7,9,4;,\n\t\t3;2,3,1;,\n\t\t3;1,2,0;;\n\t}\n\n"
                         "\tMeshTextureCoords\n\t{\n\t\t2;\n\n\t\t1.00000;0.00000;,\n\t\t0.00000;0.00000;;\n\t}\n\n"
                         "\tMeshMaterialList\n\t{\n\t\t1;\n\n\t\t3;\n\n\t\t0,\n\t\t0,\n\t\t0;\n\n" +
                         MaterialTail("a.iwi") +
                         "Mesh\n{\n\t0;\n\n\n\t0;\n\n\n\tMeshNormals\n\t{\n\t\t0;\n\n\n\t\t0;\n\n\t}\n\n"
                         "\tMeshTextureCoords\n\t{\n\t\t0;\n\n\t}\n\n\tMeshMaterialList\n\t{\n\t\t1;\n\n\t\t0;\n\n" +
                         MaterialTail("mtl_no_image") +
                         // Indices are not offset by the vertices of the meshes before.
                         "Mesh\n{\n\t1;\n\n\tinf;-inf;nan;;\n\n\t1;\n\n\t3;0,0,0;;\n\n"
                         "\tMeshNormals\n\t{\n\t\t1;\n\n\t\t1.00000;0.00000;0.00000;;\n\n\t\t1;\n\n\t\t3;0,0,0;;\n\t}\n\n"
                         "\tMeshTextureCoords\n\t{\n\t\t1;\n\n\t\t0.25000;0.75000;;\n\t}\n\n"
                         "\tMeshMaterialList\n\t{\n\t\t1;\n\n\t\t1;\n\n\t\t0;\n\n" +
                         MaterialTail("");
  EXPECT_EQ(ReadText(wd, "obj/m_lod0.x"), Crlf(expected));
}

using test::CountEntries;

// A working folder "work" inside `root`, so that what lies beside it can be watched.
fs::path WorkBeside(const TempWorkdir& root) {
  for (const char* sub : {"obj", "xmodel", "xmodelsurfs", "xmodelparts", "materials", "images"})
    fs::create_directories(root.Path() / "work" / sub);
  return root.Path() / "work";
}

TEST(HostileModels, ANameWithAFolderStepReachesNothingOutsideTheWorkingFolder) {
  for (const std::string evil : {"../../out/evil", "..\\..\\out\\evil"}) {
    for (int version : {14, 20, 25}) {
      SCOPED_TRACE(evil + " version " + std::to_string(version));
      test::TempWorkdir root;
      const fs::path work = WorkBeside(root);
      // The surfaces file the name leads to exists, beside the working folder.
      root.Write("work/xmodel/m", version == 14   ? v14::Header({evil}, v14::Lists({{"a.dds"}}))
                                  : version == 20 ? v20::Header({{evil, 0, {"mtl_a"}}})
                                                  : v25::Header("", {{evil, 0}}, {{"mtl_a"}}));
      root.Write("out/evil", version == 14   ? v14::Surfaces({{0, {{0, 1, 2}}, {{}, {}, {}}}})
                             : version == 20 ? v20::Surfaces({v20::Triangle()})
                                             : v25::Surfaces({v25::Triangle()}));
      for (bool x : {false, true}) {
        ExportOutcome outcome = x ? ExportXFile(work.string(), "m", std::nullopt)
                                  : ExportObjFiles(work.string(), "m", std::nullopt);
        EXPECT_FALSE(outcome.ok);
        if (version != 25 && x) continue;  // refused for its version
        EXPECT_NE(outcome.error.find((work / "xmodel" / "m").string()), std::string::npos) << outcome.error;
        EXPECT_NE(outcome.error.find("not a plain file name (it holds a folder step)"), std::string::npos)
            << outcome.error;
      }
      EXPECT_EQ(CountEntries(root.Path() / "out"), 1u);  // evil alone: no .obj, .mtl or .x beside it
      EXPECT_EQ(CountEntries(work / "obj"), 0u);
      // The tree does not look outside either: the level shows as missing.
      ModelTree tree;
      Disk disk;
      std::vector<std::string> messages;
      ShowModelTree(disk, tree, work.string(), "m", static_cast<uint8_t>(version), messages);
      ASSERT_FALSE(tree.Root()->children[0]->children.empty());
      EXPECT_EQ(tree.Root()->children[0]->children[0]->image, kImageMissing);
    }
  }
  test::TempWorkdir wd;
  EXPECT_FALSE(ExportObjFiles(wd.Str(), "../xmodel/m", std::nullopt).ok);
}

TEST(HostileModels, BothReadersRefuseALevelInTheSameWords) {
  // The OBJ export reads through the model classes, the glTF export through the structural
  // reader: a level the header lacks, or one named with a folder step, is refused alike.
  TempWorkdir wd;
  const test::structural::Vertex v{};
  wd.Write("xmodelsurfs/m_lod0", test::structural::Surfaces20({{.vertices = {v, v, v}, .triangles = {{0, 1, 2}}}}));
  wd.Write("xmodel/m", test::structural::Header(20, {{"m_lod0", {"mtl_a"}}}));
  wd.Write("xmodel/up", test::structural::Header(20, {{"m_lod0", {"mtl_a"}}, {"../xmodelsurfs/m_lod0", {"mtl_a"}}}));
  const struct { const char* model; int lod; const char* says; } cases[] = {
      {"m", 1, " has no level of detail 1"},
      {"up", 1, " names the level \"../xmodelsurfs/m_lod0\", which is not a plain file name (it holds a folder step); nothing is written"}};
  for (const auto& c : cases) {
    const ExportOutcome obj = ExportObjFiles({.workdir = wd.Str(), .modelName = c.model, .lod = c.lod});
    const ExportOutcome gltf = ExportGltfFile({.workdir = wd.Str(), .modelName = c.model, .lod = c.lod});
    EXPECT_FALSE(obj.ok || gltf.ok);
    EXPECT_EQ(obj.error, "the model header " + (wd.Path() / "xmodel" / c.model).string() + c.says);
    EXPECT_EQ(gltf.error, obj.error);
  }
  EXPECT_EQ(CountEntries(wd.Path() / "obj"), 0u);
}

TEST(HostileModels, MaterialNamesWithFolderStepsAreWrittenAsTheyAreAndNotLookedUp) {
  // A version 20 material list as the reading finds it in binary junk: names with "../"
  // and "/" in them. Where they would lead lie material files that, if read, would name
  // other images.
  test::TempWorkdir root;
  const fs::path work = WorkBeside(root);
  root.Write("work/xmodel/m", v20::Header({{"m_lod0", 0, {"mtl_a", "../../secret", "\\x/../y"}}}));
  root.Write("work/xmodelsurfs/m_lod0", v20::Surfaces({v20::Triangle()}));
  root.Write("work/materials/mtl_a", v20::Material("a_col"));
  root.Write("secret", v20::Material("stolen"));
  fs::create_directories(work / "materials" / "x");
  root.Write("work/materials/y", v20::Material("stolen"));
  ExportOutcome outcome = ExportObjFiles(work.string(), "m", std::nullopt);
  ASSERT_TRUE(outcome.ok) << outcome.error;
  EXPECT_EQ(outcome.written.size(), 3u);
  auto text = [&](const char* name) { return test::Text(work / "obj" / name); };
  EXPECT_EQ(text("m_lod0.mtl"), MtlBlock("mtl_a", "../images/a_col.iwi") +
                                    MtlBlock("../../secret", "../images/../../secret") +
                                    MtlBlock("\\x/../y", "../images/\\x/../y"));
  EXPECT_EQ(text("m_lod0.obj"), Head("5.0", "m_lod0") + TriangleLines("") +
                                    "g Group0\r\nusemtl mtl_a\r\nf 1/1/1 3/3/3 2/2/2\r\n# 1 faces\r\n");
  const auto tags = root.Read("work/obj/m_tags.txt");
  EXPECT_EQ(tags, LittleEndian(kHead + u"# 0 =                     , (0.00, 0.00, 0.00)\r\n\r\n\r\n\r\n\u2558 \r\n"));
  EXPECT_EQ(CountEntries(work / "obj"), 3u);
}

TEST(HostileModels, ALevelsFilesAppearTogetherOrNotAtAll) {
  test::TempWorkdir wd;
  wd.Write("xmodel/m", v20::Header({{"m_lod0", 0, {"mtl_a"}}}));
  wd.Write("xmodelsurfs/m_lod0", v20::Surfaces({v20::Triangle()}));
  // The OBJ cannot be written (read-only here; a full disk does the same): no MTL and no
  // tags listing appear without it.
  const fs::path obj = wd.Path() / "obj" / "m_lod0.obj";
  wd.Write("obj/m_lod0.obj", test::ByteWriter().Raw("old"));
  ::chmod(obj.c_str(), 0444);
  ExportOutcome outcome = ExportObjFiles(wd.Str(), "m", std::nullopt);
  EXPECT_FALSE(outcome.ok);
  EXPECT_EQ(outcome.error, obj.string() + " is read-only");
  EXPECT_TRUE(outcome.written.empty());
  EXPECT_EQ(CountEntries(wd.Path() / "obj"), 1u);
}

}  // namespace
}  // namespace tessary
