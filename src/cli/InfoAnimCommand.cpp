// tessary info-anim: prints what an animation file holds.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <nlohmann/json.hpp>

#include "cli/CliSupport.h"
#include "cli/TreePrinter.h"
#include "model/XAnimReader.h"
#include "platform/Disk.h"
#include "platform/Latin1Text.h"

namespace tessary::cli {

namespace {

struct InfoAnimOptions {
  std::string workdir;
  bool json = false;
  std::string anim;
};

std::string FlagsText(uint8_t flags) {
  std::string text = std::to_string(flags);
  std::string meaning;
  if (flags & XAnim::kLooping) meaning = "looping";
  if (flags & XAnim::kDelta) meaning += std::string(meaning.empty() ? "" : ", ") + "root motion";
  return meaning.empty() ? text : text + " (" + meaning + ")";
}

std::string Seconds(double s) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.3f", s);
  return buffer;
}

std::string AnimToText(const XAnim& a) {
  std::string out = ReadableName(a.name) + "\n";
  out += "  version " + std::to_string(a.version) + ", " + std::to_string(a.frames) + " frames at " +
         std::to_string(a.fps) + " fps, " + Seconds(a.Duration()) + " s\n";
  out += "  flags " + FlagsText(a.flags) + "\n";
  if (a.Packed()) {
    out += "  asset type " + std::to_string(a.assetType) +
           (a.assetType == XAnim::kAdditive ? " (layered on another animation)" : "") + "\n";
  }
  if (a.HasDelta()) {
    out += "  root motion: " + std::to_string(a.deltaRotations.size()) + " rotation keys, " +
           std::to_string(a.deltaTranslations.size()) + " translation keys\n";
  }
  out += "  bones: " + std::to_string(a.bones.size()) + "\n";
  for (const XAnimBone& bone : a.bones) {
    out += "    " + ReadableName(bone.name) + ": " + std::to_string(bone.rotations.size()) + " rotation keys";
    if (bone.simple || bone.flipped)
      out += std::string(" (") + (bone.simple ? "about z" : "") + (bone.simple && bone.flipped ? ", " : "") +
             (bone.flipped ? "flipped" : "") + ")";
    out += ", " + std::to_string(bone.translations.size()) + " translation keys";
    if (a.Packed() && bone.translations.size() > 1)
      out += bone.translationPrecision == 1 ? " (8-bit)" : " (16-bit)";
    out += "\n";
  }
  out += "  notetracks: " + std::to_string(a.notes.size()) + "\n";
  for (const XAnimNote& note : a.notes)
    out += "    " + std::to_string(note.frame) + ": " + ReadableName(note.name) + "\n";
  return out;
}

std::string AnimToJson(const XAnim& a) {
  nlohmann::ordered_json j;
  j["name"] = Latin1ToUtf8(a.name);
  j["version"] = a.version;
  j["frames"] = a.frames;
  j["fps"] = a.fps;
  j["duration"] = a.Duration();
  j["flags"] = a.flags;
  j["looping"] = a.Looping();
  j["rootMotion"] = a.HasDelta();
  j["assetType"] = a.Packed() ? nlohmann::ordered_json(a.assetType) : nlohmann::ordered_json(nullptr);
  if (a.HasDelta()) {
    j["rootMotionKeys"] = {{"rotation", a.deltaRotations.size()}, {"translation", a.deltaTranslations.size()}};
  }
  j["bones"] = nlohmann::ordered_json::array();
  for (const XAnimBone& bone : a.bones) {
    nlohmann::ordered_json b;
    b["name"] = Latin1ToUtf8(bone.name);
    b["simple"] = bone.simple;
    b["flipped"] = bone.flipped;
    b["rotationKeys"] = bone.rotations.size();
    b["translationKeys"] = bone.translations.size();
    j["bones"].push_back(b);
  }
  j["notetracks"] = nlohmann::ordered_json::array();
  for (const XAnimNote& note : a.notes)
    j["notetracks"].push_back({{"name", Latin1ToUtf8(note.name)}, {"frame", note.frame}});
  return j.dump(2) + "\n";
}

int RunInfoAnim(const InfoAnimOptions& options) {
  Settings settings;  // the stored working folder and paths
  const std::string workdir = ResolveWorkdir(settings, options.workdir);
  Disk disk;
  const auto path = FindXAnim(disk, workdir, options.anim);
  if (path.empty()) {
    PrintError("cannot find the animation " + options.anim + " in " + workdir + "/xanim");
    return kExitFailed;
  }
  XAnimResult result = LoadXAnim(disk, path);
  if (!result.anim) {
    PrintError(result.error);
    return kExitFailed;
  }
  const std::string out = options.json ? AnimToJson(*result.anim) : AnimToText(*result.anim);
  std::fwrite(out.data(), 1, out.size(), stdout);
  if (result.bytesRead < result.fileSize) {
    PrintError("the animation file " + path.string() + " has " + std::to_string(result.fileSize - result.bytesRead) +
               " bytes after its notetracks, which were not read");
  }
  return kExitOk;
}

}  // namespace

void RegisterInfoAnimCommand(CLI::App& app) {
  auto options = std::make_shared<InfoAnimOptions>();
  auto* cmd = app.add_subcommand("info-anim", "Print what an animation (xanim) file holds: version, frames, "
                                              "frame rate, flags, the bones with their key counts and the notetracks.");
  cmd->add_option("--workdir", options->workdir,
                  "Working folder (holds xanim, xmodel, ...); default: the stored one, else the current directory");
  cmd->add_flag("--json", options->json, "Print as JSON");
  cmd->add_option("XANIM", options->anim, "Animation file name in WORKDIR/xanim (any case), or a path")->required();
  cmd->footer("Example: tessary info-anim --workdir ~/cod2raw hoek_cross_reload");
  cmd->callback([options] { SetCommandStatus(RunInfoAnim(*options)); });
}

}  // namespace tessary::cli
