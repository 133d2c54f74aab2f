#include "export/StringTable.h"

#include <array>
#include <utility>

namespace tessary {

namespace {

constexpr std::array<std::pair<int, std::string_view>, 12> kStrings = {{
    {61212,
     "template Vector \n{\n\t<3d82ab5e-62da-11cf-ab39-0020af71e433>\n\tFLOAT x;\n\tFLOAT y;\n"
     "\tFLOAT z;\n}\n\n"},
    {61213,
     "template MeshFace \n{\n\t<3d82ab5f-62da-11cf-ab39-0020af71e433>\n"
     "\tDWORD nFaceVertexIndices;\n\tarray DWORD faceVertexIndices[nFaceVertexIndices];\n}\n\n"},
    {61214,
     "template Mesh \n{\n\t<3d82ab44-62da-11cf-ab39-0020af71e433>\n\tDWORD nVertices;\n"
     "\tarray Vector vertices[nVertices];\n\tDWORD nFaces;\n\tarray MeshFace faces[nFaces];\n"
     "\t[...]\n}\n\n"},
    {61215,
     "template MeshNormals \n{\n\t<f6f23f43-7686-11cf-8f52-0040333594a3>\n\tDWORD nNormals;\n"
     "\tarray Vector normals[nNormals];\n\tDWORD nFaceNormals;\n"
     "\tarray MeshFace faceNormals[nFaceNormals];\n}\n\n"},
    {61216,
     "template Coords2d \n{\n\t<f6f23f44-7686-11cf-8f52-0040333594a3>\n\tFLOAT u;\n"
     "\tFLOAT v;\n}\n\n"},
    {61217,
     "template MeshTextureCoords \n{\n\t<f6f23f40-7686-11cf-8f52-0040333594a3>\n"
     "\tDWORD nTextureCoords;\n\tarray Coords2d textureCoords[nTextureCoords];\n}\n\n"},
    {61218,
     "template MeshMaterialList \n{\n\t<f6f23f42-7686-11cf-8f52-0040333594a3>\n"
     "\tDWORD nMaterials;\n\tDWORD nFaceIndexes;\n\tarray DWORD faceIndexes[nFaceIndexes];\n"
     "\t[Material <3d82ab4d-62da-11cf-ab39-0020af71e433>]\n}\n\n"},
    {61219,
     "template ColorRGBA \n{\n\t<35ff44e0-6c7c-11cf-8f52-0040333594a3>\n\tFLOAT red;\n"
     "\tFLOAT green;\n\tFLOAT blue;\n\tFLOAT alpha;\n}\n\n"},
    {61220,
     "template ColorRGB \n{\n\t<d3e16e81-7835-11cf-8f52-0040333594a3>\n\tFLOAT red;\n"
     "\tFLOAT green;\n\tFLOAT blue;\n}\n\n"},
    {61221,
     "template Material \n{\n\t<3d82ab4d-62da-11cf-ab39-0020af71e433>\n\tColorRGBA faceColor;\n"
     "\tFLOAT power;\n\tColorRGB specularColor;\n\tColorRGB emissiveColor;\n\t[...]\n}\n\n"},
    {61222,
     "template TextureFilename \n{\n\t<a42790e1-7810-11cf-8f52-0040333594a3>\n"
     "\tSTRING filename;\n}\n\n"},
    {61223, "xof 0303txt 0032\n\n"},
}};

}  // namespace

std::string_view LoadResourceString(int id) {
  for (const auto& [key, text] : kStrings)
    if (key == id) return text;
  return {};
}

}  // namespace tessary
