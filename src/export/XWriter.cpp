// The DirectX text file (.x, format 0303, 32-bit floats) of a version 25 model's loaded
// level: the standard templates, then one unnamed mesh per surface with its normals,
// texture coordinates and a one-material list naming the surface's colour image.
#include "export/StringTable.h"
#include "model/ModelV25.h"

namespace tessary {

namespace {

// The element separator of the format's lists: ',' between elements, ';' after the last.
char Separator(size_t i, size_t count) { return i + 1 < count ? ',' : ';'; }

// The texture of surface `s`: its material's image, else the material's own name, else
// nothing when the level lists no material for it.
std::string TextureName(const LodEntry& lod, size_t s) {
  if (s >= lod.materials.size()) return {};
  const MaterialEntry& m = lod.materials[s];
  return m.imageName.value_or(m.name);
}

// The triangles as stored, each written from its second corner so that it keeps its
// orientation.
void WriteFaces(OutputFile& out, const char* indent, const TriList* list) {
  uint32_t count = list ? list->triCount : 0;
  for (uint32_t t = 0; t < count; ++t) {
    auto corner = [&](uint32_t k) -> int {
      size_t at = static_cast<size_t>(t) * 3 + k;
      return at < list->indices.size() ? list->indices[at] : 0;
    };
    out.PrintText("%s3;%d,%d,%d;%c\n", indent, corner(1), corner(2), corner(0), Separator(t, count));
  }
}

void WriteMesh(OutputFile& out, const Surface& surface, const std::string& texture) {
  const auto& vertices = surface.vertices;
  const size_t v = vertices.size();
  const TriList* list = surface.triLists.empty() ? nullptr : &surface.triLists[0];
  const uint32_t faces = list ? list->triCount : 0;

  out.PrintText("Mesh\n{\n\t%d;\n\n", static_cast<int>(v));
  for (size_t i = 0; i < v; ++i) {
    const float* p = vertices[i].position;
    out.PrintText("\t%.5f;%.5f;%.5f;%c\n", p[2], p[1], p[0], Separator(i, v));
  }
  out.PrintText("\n");
  out.PrintText("\t%d;\n\n", static_cast<int>(faces));
  WriteFaces(out, "\t", list);
  out.PrintText("\n");

  out.PrintText("\tMeshNormals\n\t{\n\t\t%d;\n\n", static_cast<int>(v));
  for (size_t i = 0; i < v; ++i) {
    const float* n = vertices[i].normal;
    out.PrintText("\t\t%.5f;%.5f;%.5f;%c\n", n[2], n[1], n[0], Separator(i, v));
  }
  out.PrintText("\n");
  out.PrintText("\t\t%d;\n\n", static_cast<int>(faces));
  WriteFaces(out, "\t\t", list);
  out.PrintText("\t}\n\n");

  out.PrintText("\tMeshTextureCoords\n\t{\n\t\t%d;\n\n", static_cast<int>(v));
  for (size_t i = 0; i < v; ++i) {
    const float* uv = vertices[i].uv;
    out.PrintText("\t\t%.5f;%.5f;%c\n", uv[0], uv[1], Separator(i, v));
  }
  out.PrintText("\t}\n\n");

  // Every face uses the mesh's single material; a mesh without faces lists no index.
  out.PrintText("\tMeshMaterialList\n\t{\n\t\t%d;\n\n\t\t%d;\n\n", 1, static_cast<int>(faces));
  for (uint32_t f = 1; f < faces; ++f) out.PrintText("\t\t0,\n");
  if (faces > 0) out.PrintText("\t\t0;\n\n");
  out.PrintText("\t\tMaterial\n\t\t{\n");
  out.PrintText("\t\t\t1.000000;1.000000;1.000000;1.000000;;\n");
  out.PrintText("\t\t\t40.00000;\n");
  out.PrintText("\t\t\t1.000000;1.000000;1.000000;;\n");
  out.PrintText("\t\t\t0.000000;0.000000;0.000000;;\n\n");
  out.PrintText("\t\t\tTextureFilename\n\t\t\t{\n");
  out.PrintText("\t\t\t\t\"../images/%s\";\n", texture.c_str());
  out.PrintText("\t\t\t}\n");
  out.PrintText("\t\t}\n");
  out.PrintText("\t}\n");
  out.PrintText("}\n\n");
}

}  // namespace

size_t CModelV25::WriteResourceText(OutputFile& file, int id) {
  std::string_view text = LoadResourceString(id);
  file.WriteText(text);
  return text.size();
}

bool CModelV25::WriteX(int lodIndex) {
  if (lodIndex < 0 || lodIndex >= static_cast<int>(lods.size())) return false;
  const LodEntry& lod = lods[static_cast<size_t>(lodIndex)];
  OutputFile out;
  if (!out.Open(folder + "\\..\\obj\\" + lod.surfsName + ".x")) return false;
  WriteResourceText(out, kXFileHeader);
  for (int id = kXFirstTemplate; id <= kXLastTemplate; ++id) WriteResourceText(out, id);
  if (surfacesFile) {
    curSurfaces = surfacesFile->TakeSurfaces(curSurfaceCount);
    for (size_t s = 0; s < curSurfaceCount && s < curSurfaces->size(); ++s)
      WriteMesh(out, (*curSurfaces)[s], TextureName(lod, s));
  }
  return out.Commit();
}

}  // namespace tessary
