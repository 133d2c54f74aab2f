// The DirectX text file of a version 25 level, byte for byte.
#include <gtest/gtest.h>

#include <limits>
#include <regex>

#include "fixtures/TempWorkdir.h"
#include "export/Exporters.h"

namespace tessary {
namespace {

using test::TempWorkdir;

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
    ASSERT_TRUE(file.Open(wd.Str() + "\\obj\\m_lod0.x"));
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
  auto bytes = wd.Read("obj/m_lod0.x");
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), Crlf(expected));
}

}  // namespace
}  // namespace tessary
