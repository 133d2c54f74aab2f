// The asset entry that tells the games' converter how to compile an exported animation, in
// the layout of the SDK's .gdt files: the source file, the model it was made against (the
// XMODEL_EXPORT written beside it), whether it loops and its type.
#include "export/Exporters.h"
#include "export/TextBuffer.h"

namespace tessary {

namespace {

void Field(TextBuffer& out, std::string_view key, std::string_view value) {
  out.Raw("\t\t\"").Raw(key).Raw("\" \"").Raw(value).Raw('"').Line();
}

}  // namespace

std::string XAnimGdtType(const XAnim& anim) { return anim.HasDelta() ? "delta" : "relative"; }

bool WriteXAnimGdt(const ExportLevel& level, OutputFile& file) {
  if (!level.decoded || level.anims.empty()) return false;
  const XAnim& anim = level.anims.front();
  TextBuffer out(file);
  out.Line().Raw('{').Line();
  out.Raw("\t\"").Raw(anim.name).Raw("\" ( \"xanim.gdf\" )").Line().Raw("\t{").Line();
  Field(out, "filename", anim.name + std::string(kXAnimExportExtension));
  Field(out, "model", level.decoded->surfsName + std::string(kXModelExportExtension));
  Field(out, "looping", anim.Looping() ? "1" : "0");
  Field(out, "type", XAnimGdtType(anim));
  // Root motion is taken from the model's bones; a relative animation stands alone.
  Field(out, "useBones", anim.HasDelta() ? "1" : "0");
  Field(out, "node", "");
  // What the compiler may lose when it reduces keys, as the SDK's entries have it.
  Field(out, "angleError", "0.05");
  Field(out, "translationError", "0.025");
  Field(out, "boneStabilizers", "");
  out.Raw("\t}").Line().Raw('}').Line();
  return true;
}

}  // namespace tessary
