// The DirectX text file of a version 25 level, byte for byte.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "fixtures/TempWorkdir.h"
#include "model/ModelV25.h"

namespace tessary {
namespace {

using test::TempWorkdir;

// The file's text as written: every line feed as CR LF.
std::string Crlf(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

std::string ReadText(const TempWorkdir& wd, const std::string& relative) {
  auto bytes = wd.Read(relative);
  return std::string(bytes.begin(), bytes.end());
}

Vertex MakeVertex(std::array<float, 3> position, std::array<float, 3> normal, std::array<float, 2> uv) {
  Vertex v;
  for (int k = 0; k < 3; ++k) v.position[k] = position[k];
  for (int k = 0; k < 3; ++k) v.normal[k] = normal[k];
  v.uv[0] = uv[0];
  v.uv[1] = uv[1];
  return v;
}

Surface MakeSurface(std::vector<Vertex> vertices, std::vector<uint16_t> indices) {
  Surface s;
  s.vertexCount = static_cast<int32_t>(vertices.size());
  s.vertices = std::move(vertices);
  TriList list;
  list.triCount = static_cast<uint32_t>(indices.size() / 3);
  list.indices = std::move(indices);
  s.triLists.push_back(std::move(list));
  s.triListCount = 1;
  s.facesLoaded = true;
  return s;
}

// A model of one level "m_lod0" as LoadLods and LoadSurfaces would leave it.
void Prepare(CModelV25& model, const TempWorkdir& wd, std::vector<MaterialEntry> materials,
             std::vector<Surface> surfaces) {
  model.folder = wd.ModelFolder();
  model.fileName = "m";
  model.isOpen = true;
  model.version = 25;
  LodEntry lod;
  lod.present = true;
  lod.surfsName = "m_lod0";
  lod.materialCount = static_cast<int32_t>(materials.size());
  lod.materials = std::move(materials);
  model.lods = {lod};
  model.lodCount = 1;
  model.surfacesFile = std::make_unique<CSurfacesFile>();
  model.surfacesFile->surfaceCount = static_cast<uint16_t>(surfaces.size());
  model.surfacesFile->surfaces = std::move(surfaces);
}

MaterialEntry Material(std::string name, std::optional<std::string> image) {
  MaterialEntry m;
  m.name = std::move(name);
  m.imageName = std::move(image);
  return m;
}

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
  return "\t\tMaterial\n\t\t{\n"
         "\t\t\t1.000000;1.000000;1.000000;1.000000;;\n"
         "\t\t\t40.00000;\n"
         "\t\t\t1.000000;1.000000;1.000000;;\n"
         "\t\t\t0.000000;0.000000;0.000000;;\n\n"
         "\t\t\tTextureFilename\n\t\t\t{\n"
         "\t\t\t\t\"../images/" + texture + "\";\n"
         "\t\t\t}\n\t\t}\n\t}\n}\n\n";
}

TEST(XWriter, OneVertexMeshIsWrittenExactly) {
  TempWorkdir wd;
  CModelV25 model;
  Prepare(model, wd, {Material("mtl_wall", "wall_col.iwi")},
          {MakeSurface({MakeVertex({1, 2, 3}, {0, 0, 1}, {0.25f, 0.75f})}, {0, 0, 0})});
  ASSERT_TRUE(model.WriteX(0));
  std::string expected = std::string(kHeaderAndTemplates) +
                         "Mesh\n{\n\t1;\n\n"
                         "\t3.00000;2.00000;1.00000;;\n"
                         "\n"
                         "\t1;\n\n"
                         "\t3;0,0,0;;\n"
                         "\n"
                         "\tMeshNormals\n\t{\n\t\t1;\n\n"
                         "\t\t1.00000;0.00000;0.00000;;\n"
                         "\n"
                         "\t\t1;\n\n"
                         "\t\t3;0,0,0;;\n"
                         "\t}\n\n"
                         "\tMeshTextureCoords\n\t{\n\t\t1;\n\n"
                         "\t\t0.25000;0.75000;;\n"
                         "\t}\n\n"
                         "\tMeshMaterialList\n\t{\n\t\t1;\n\n\t\t1;\n\n"
                         "\t\t0;\n\n" +
                         MaterialTail("wall_col.iwi");
  EXPECT_EQ(ReadText(wd, "obj/m_lod0.x"), Crlf(expected));
}

TEST(XWriter, FacesStartAtTheSecondCornerAndEachSurfaceHasItsOwnMaterial) {
  TempWorkdir wd;
  CModelV25 model;
  std::vector<Vertex> two = {MakeVertex({-0.5f, 1e6f, 0.123456f}, {0, 1, 0}, {1, 0}),
                             MakeVertex({0, 0, 0}, {0, 0, 0}, {0, 0})};
  std::vector<Vertex> three = {two[1], two[1], two[1]};
  Prepare(model, wd, {Material("mtl_a", "a.iwi"), Material("mtl_b", "b.dds")},
          {MakeSurface(two, {4, 7, 9, 1, 2, 3, 0, 1, 2}), MakeSurface(three, {0, 1, 2})});
  ASSERT_TRUE(model.WriteX(0));
  std::string text = ReadText(wd, "obj/m_lod0.x");
  std::string first = "Mesh\n{\n\t2;\n\n"
                      "\t0.12346;1000000.00000;-0.50000;,\n"
                      "\t0.00000;0.00000;0.00000;;\n"
                      "\n"
                      "\t3;\n\n"
                      "\t3;7,9,4;,\n"
                      "\t3;2,3,1;,\n"
                      "\t3;1,2,0;;\n"
                      "\n"
                      "\tMeshNormals\n\t{\n\t\t2;\n\n"
                      "\t\t0.00000;1.00000;0.00000;,\n"
                      "\t\t0.00000;0.00000;0.00000;;\n"
                      "\n"
                      "\t\t3;\n\n"
                      "\t\t3;7,9,4;,\n"
                      "\t\t3;2,3,1;,\n"
                      "\t\t3;1,2,0;;\n"
                      "\t}\n\n"
                      "\tMeshTextureCoords\n\t{\n\t\t2;\n\n"
                      "\t\t1.00000;0.00000;,\n"
                      "\t\t0.00000;0.00000;;\n"
                      "\t}\n\n"
                      "\tMeshMaterialList\n\t{\n\t\t1;\n\n\t\t3;\n\n"
                      "\t\t0,\n"
                      "\t\t0,\n"
                      "\t\t0;\n\n" +
                      MaterialTail("a.iwi");
  // The second mesh's indices are its own, not offset by the first mesh's vertices.
  std::string second = "\t1;\n\n\t3;1,2,0;;\n\n";
  std::string expected = Crlf(kHeaderAndTemplates) + Crlf(first);
  ASSERT_EQ(text.substr(0, expected.size()), expected);
  std::string rest = text.substr(expected.size());
  EXPECT_EQ(rest.rfind(Crlf("Mesh\n{\n\t3;\n\n"), 0), 0u);
  EXPECT_NE(rest.find(Crlf(second)), std::string::npos);
  EXPECT_EQ(rest.substr(rest.size() - Crlf(MaterialTail("b.dds")).size()), Crlf(MaterialTail("b.dds")));
}

TEST(XWriter, FacelessSurfacesAndMissingMaterials) {
  TempWorkdir wd;
  CModelV25 model;
  Surface empty;  // a surface whose decoding stopped: no triangle list
  Surface none = MakeSurface({}, {});
  float nan = std::numeric_limits<float>::quiet_NaN();
  float inf = std::numeric_limits<float>::infinity();
  Surface odd = MakeSurface({MakeVertex({nan, -inf, inf}, {0, 0, 0}, {0, 0})}, {0, 0, 0});
  Prepare(model, wd, {Material("mtl_no_image", std::nullopt), Material("mtl_x", "x.iwi")},
          {empty, none, odd});
  ASSERT_TRUE(model.WriteX(0));
  std::string faceless = "Mesh\n{\n\t0;\n\n"
                         "\n"
                         "\t0;\n\n"
                         "\n"
                         "\tMeshNormals\n\t{\n\t\t0;\n\n"
                         "\n"
                         "\t\t0;\n\n"
                         "\t}\n\n"
                         "\tMeshTextureCoords\n\t{\n\t\t0;\n\n"
                         "\t}\n\n"
                         "\tMeshMaterialList\n\t{\n\t\t1;\n\n\t\t0;\n\n";
  // Material 0 has no image: its name stands in; surface 2 has no material at all.
  std::string expected = Crlf(kHeaderAndTemplates) + Crlf(faceless + MaterialTail("mtl_no_image")) +
                         Crlf(faceless + MaterialTail("x.iwi"));
  std::string text = ReadText(wd, "obj/m_lod0.x");
  ASSERT_EQ(text.substr(0, expected.size()), expected);
  std::string rest = text.substr(expected.size());
  EXPECT_NE(rest.find("\tinf;-inf;nan;;\r\n"), std::string::npos);
  EXPECT_EQ(rest.substr(rest.size() - Crlf(MaterialTail("")).size()), Crlf(MaterialTail("")));
}

TEST(XWriter, OutputFileFailures) {
  TempWorkdir wd;
  CModelV25 model;
  Prepare(model, wd, {}, {MakeSurface({MakeVertex({1, 2, 3}, {0, 0, 1}, {0, 0})}, {0, 0, 0})});
  EXPECT_FALSE(model.WriteX(1));
  std::filesystem::remove_all(wd.Path() / "obj");
  EXPECT_FALSE(model.WriteX(0));
  EXPECT_FALSE(std::filesystem::exists(wd.Path() / "obj"));
}

}  // namespace
}  // namespace tessary
