#pragma once
// The exporters: one row per output file format, read by both programs. Each row names its
// format, the extension of the file it writes, the model versions that have it, the level
// it writes from and its writer, a free function over that level. The export path
// (ModelExport.h) opens the model, reads the level the row asks for and hands it to the
// writer with the output file; the writer only writes.
#include <span>
#include <string>
#include <string_view>

#include "export/ExportLevel.h"
#include "platform/OutputFile.h"

namespace tessary {

// Which reader fills the level an exporter writes from.
enum class LevelReader {
  Compatible,  // the model classes: ExportLevel::compatible
  Structural,  // the structural reader: ExportLevel::decoded
};

// What a file is named after in the obj folder.
enum class OutputName {
  Level,  // <level name><extension>
  Model,  // <model header name><extension>
  Animation,  // <animation file name><extension>: the animation exports
};

// The SDK's source formats, by the extensions its tools expect.
inline constexpr std::string_view kXAnimExportExtension = ".XANIM_EXPORT";
inline constexpr std::string_view kXModelExportExtension = ".XMODEL_EXPORT";

struct Exporter {
  std::string_view name;       // "obj", "mtl", "x", "tags", "gltf", "xmodel", "xmodel-gdt"
  std::string_view extension;  // appended to the level's or the model's name
  // What the export path says after "the model header H has version V" when the model's
  // version lacks the format; "{versions}" stands for the versions that have it.
  std::string_view lacking;
  OutputName namedAfter = OutputName::Level;
  bool (*hasFormat)(const ModelVersion& version) = nullptr;  // the versions that have it
  LevelReader reader = LevelReader::Compatible;
  bool needsSurfaces = true;  // false: the level's parts and materials are enough
  // Writes the file's bytes; false when the level cannot be written in this format.
  bool (*write)(const ExportLevel& level, OutputFile& file) = nullptr;
};

// Every exporter, in the order the commands write them.
std::span<const Exporter> Exporters();
// The exporter called `name`; null when there is none.
const Exporter* FindExporter(std::string_view name);

// The writers of the rows, one file each.
bool WriteMtl(const ExportLevel& level, OutputFile& file);          // MtlWriter.cpp
bool WriteObj(const ExportLevel& level, OutputFile& file);          // ObjWriter.cpp
bool WriteX(const ExportLevel& level, OutputFile& file);            // XWriter.cpp
bool WriteTagsListing(const ExportLevel& level, OutputFile& file);  // TagsListing.cpp
bool WriteGltf(const ExportLevel& level, OutputFile& file);         // GltfWriter.cpp
// The animation exporters write ExportLevel::anim laid onto the decoded level's skeleton.
bool WriteXAnimExport(const ExportLevel& level, OutputFile& file);  // XAnimExportWriter.cpp
bool WriteXAnimGdt(const ExportLevel& level, OutputFile& file);     // XAnimGdtWriter.cpp
// The type the .gdt entry gives an animation: "delta" with root motion, else "relative".
std::string XAnimGdtType(const XAnim& anim);                        // XAnimGdtWriter.cpp
bool WriteXModelExport(const ExportLevel& level, OutputFile& file);  // XModelExportWriter.cpp
bool WriteXModelGdt(const ExportLevel& level, OutputFile& file);     // XModelExportWriter.cpp

}  // namespace tessary
