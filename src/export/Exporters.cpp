#include "export/Exporters.h"

#include <array>

namespace tessary {

namespace {

bool Always(const ModelVersion&) { return true; }
bool TagsListed(const ModelVersion& v) { return v.hasTagsListing; }
bool XWritten(const ModelVersion& v) { return v.hasXExport; }

const std::array<Exporter, 9> kExporters{{
    {"mtl", ".mtl", ", which has no material library", OutputName::Level, &Always, LevelReader::Compatible, true, &WriteMtl},
    {"obj", ".obj", ", which has no OBJ export", OutputName::Level, &Always, LevelReader::Compatible, true, &WriteObj},
    {"tags", "_tags.txt", ", which has no tags listing", OutputName::Model, &TagsListed, LevelReader::Compatible, false,
     &WriteTagsListing},
    {"x", ".x", "; only version {versions} models export to .x", OutputName::Level, &XWritten, LevelReader::Compatible, true, &WriteX},
    {"gltf", ".glb", ", which has no glTF export", OutputName::Level, &Always, LevelReader::Structural, true,
     &WriteGltf},
    {"xmodel", ".XMODEL_EXPORT", ", which has no XMODEL_EXPORT export", OutputName::Level, &Always,
     LevelReader::Structural, true, &WriteXModelExport},
    {"xmodel-gdt", ".gdt", ", which has no XMODEL_EXPORT export", OutputName::Model, &Always, LevelReader::Structural,
     true, &WriteXModelGdt},
    {"xanim", kXAnimExportExtension, ", which has no XANIM_EXPORT export", OutputName::Animation, &Always,
     LevelReader::Structural, true, &WriteXAnimExport},
    {"xanim-gdt", ".gdt", ", which has no XANIM_EXPORT export", OutputName::Animation, &Always,
     LevelReader::Structural, true, &WriteXAnimGdt},
}};

}  // namespace

std::span<const Exporter> Exporters() { return kExporters; }

const Exporter* FindExporter(std::string_view name) {
  for (const Exporter& e : kExporters)
    if (e.name == name) return &e;
  return nullptr;
}

}  // namespace tessary
