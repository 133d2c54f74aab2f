// The DirectX text file (.x, format 0303, 32-bit floats) of a loaded level: the standard
// templates, then one unnamed mesh per surface with its normals, texture coordinates and a one-material list naming the surface's colour image.
#include "export/Exporters.h"
#include "export/StringTable.h"
#include "export/TextBuffer.h"
#include "model/DescribedGeometry.h"

namespace tessary {

namespace {

constexpr int kDecimals = 5;  // "%.5f"

// The element separator of the format's lists: ',' between elements, ';' after the last.
char Separator(size_t i, size_t count) { return i + 1 < count ? ',' : ';'; }

// The texture of surface `s`: its material's image, else the material's own name, else
// nothing when the level lists no material for it.
std::string_view TextureName(const LodEntry& lod, size_t s) {
  if (s >= lod.materials.size()) return {};
  const MaterialEntry& m = lod.materials[s];
  return m.imageName ? std::string_view(*m.imageName) : std::string_view(m.name);
}

// "x;y;z;" of a vector, components in reverse order.
void Reversed(TextBuffer& out, const float* v) {
  out.Fixed(v[2], kDecimals).Raw(';').Fixed(v[1], kDecimals).Raw(';');
  out.Fixed(v[0], kDecimals).Raw(';');
}

// The triangles as stored, each written from its second corner on, which keeps its
// orientation.
void WriteFaces(TextBuffer& out, std::string_view indent, const TriList* list) {
  const uint32_t count = list ? list->triCount : 0;
  for (uint32_t t = 0; t < count; ++t) {
    auto corner = [&](uint32_t k) -> int64_t {
      size_t at = static_cast<size_t>(t) * 3 + k;
      return at < list->indices.size() ? list->indices[at] : 0;
    };
    out.Raw(indent).Raw("3;").Int(corner(1)).Raw(',').Int(corner(2)).Raw(',').Int(corner(0));
    out.Raw(';').Raw(Separator(t, count)).Line();
  }
}

void WriteMesh(TextBuffer& out, const Surface& surface, std::string_view texture) {
  const auto& vertices = surface.vertices;
  const size_t v = vertices.size();
  const TriList* list = surface.triLists.empty() ? nullptr : &surface.triLists[0];
  const int64_t faces = list ? list->triCount : 0;

  out.Text("Mesh\n{\n\t").Int(static_cast<int64_t>(v)).Text(";\n\n");
  for (size_t i = 0; i < v; ++i) {
    out.Raw('\t');
    Reversed(out, vertices[i].position);
    out.Raw(Separator(i, v)).Line();
  }
  out.Line();
  out.Raw('\t').Int(faces).Text(";\n\n");
  WriteFaces(out, "\t", list);
  out.Line();

  out.Text("\tMeshNormals\n\t{\n\t\t").Int(static_cast<int64_t>(v)).Text(";\n\n");
  for (size_t i = 0; i < v; ++i) {
    out.Raw("\t\t");
    Reversed(out, vertices[i].normal);
    out.Raw(Separator(i, v)).Line();
  }
  out.Line();
  out.Raw("\t\t").Int(faces).Text(";\n\n");
  WriteFaces(out, "\t\t", list);
  out.Text("\t}\n\n");

  out.Text("\tMeshTextureCoords\n\t{\n\t\t").Int(static_cast<int64_t>(v)).Text(";\n\n");
  for (size_t i = 0; i < v; ++i) {
    const float* uv = vertices[i].uv;
    out.Raw("\t\t").Fixed(uv[0], kDecimals).Raw(';').Fixed(uv[1], kDecimals).Raw(';');
    out.Raw(Separator(i, v)).Line();
  }
  out.Text("\t}\n\n");

  // Every face uses the mesh's one material; a mesh without faces lists no face index.
  out.Text("\tMeshMaterialList\n\t{\n\t\t1;\n\n\t\t").Int(faces).Text(";\n\n");
  for (int64_t f = 1; f < faces; ++f) out.Text("\t\t0,\n");
  if (faces > 0) out.Text("\t\t0;\n\n");
  out.Text("\t\tMaterial\n\t\t{\n"
           "\t\t\t1.000000;1.000000;1.000000;1.000000;;\n"
           "\t\t\t40.00000;\n"
           "\t\t\t1.000000;1.000000;1.000000;;\n"
           "\t\t\t0.000000;0.000000;0.000000;;\n\n"
           "\t\t\tTextureFilename\n\t\t\t{\n"
           "\t\t\t\t\"../images/");
  out.Text(texture).Text("\";\n\t\t\t}\n\t\t}\n\t}\n}\n\n");
}

}  // namespace

bool WriteX(const ExportLevel& level, OutputFile& file) {
  if (!level.compatible) return false;
  const CompatibleLevel& c = *level.compatible;
  file.WriteText(LoadResourceString(kXFileHeader));
  for (int id = kXFirstTemplate; id <= kXLastTemplate; ++id) file.WriteText(LoadResourceString(id));
  const std::vector<Surface> surfaces = DescribedSurfaces(c.surfaces, c.parts, c.options);
  TextBuffer out(file);
  for (size_t s = 0; s < surfaces.size(); ++s) WriteMesh(out, surfaces[s], TextureName(c.lod, s));
  return true;
}

}  // namespace tessary
