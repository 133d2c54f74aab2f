#include "export/MtlFormat.h"

#include <string>
#include <unordered_set>

namespace tessary {

void WriteMtlBlock(TextBuffer& out, std::string_view name, std::string_view mapFolder,
                   std::string_view mapName) {
  out.Raw("newmtl ").Text(name).Line();
  out.Text("illum 4\nKd 0.00 0.00 0.00\nKa 0.00 0.00 0.00\nTf 1.00 1.00 1.00\n");
  out.Raw("map_Kd ").Text(mapFolder).Text(mapName).Line();
  out.Raw("Ni 1.00").Line();
}

std::string_view TrimEnd(std::string_view name, size_t count) {
  return name.substr(0, name.size() > count ? name.size() - count : 0);
}

void WriteMtlBlocks(TextBuffer& out, const MtlStyle& style, const LodEntry& lod) {
  if (!lod.present || lod.materialCount < 1) return;
  std::unordered_set<std::string_view> written;
  for (const MaterialEntry& m : lod.materials) {
    if (!written.insert(m.name).second) continue;
    std::string_view map = m.name;
    if (style.mapToImage && m.imageName) map = *m.imageName;
    WriteMtlBlock(out, TrimEnd(m.name, style.trimFromName), style.mapFolder, map);
  }
}

}  // namespace tessary
