#include "export/ModelExport.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <system_error>
#include <unistd.h>

#include "export/ObjFormat.h"
#include "export/TagsListing.h"
#include "model/ModelV14.h"
#include "model/ShowModelTree.h"
#include "platform/OutputFile.h"
#include "platform/Path.h"
#include "platform/PlainName.h"

namespace fs = std::filesystem;

namespace tessary {

namespace {

std::string Shown(const std::string& joinedPath) { return ResolvePath(joinedPath).string(); }

// Names that a header gives the files of an export (the level, which also names the
// output files; the parts file; the level's materials and images) must be plain file
// names: one with a folder step, "..", an absolute form or a drive letter would reach
// outside the working folder. Empty when they are, else the message naming the model.
std::string CheckHeaderNames(const CModel& model, int level) {
  auto refuse = [&](const char* what, const std::string& name) -> std::string {
    // An empty name names no file (the readers find nothing under it): not a risk.
    std::string why = name.empty() ? std::string() : WhyNotPlainName(name);
    if (why.empty()) return {};
    return "the model header " + Shown(model.fullPath) + " names " + what + " \"" + name +
           "\", which is not a plain file name (" + why + "); nothing is written";
  };
  const auto& lods = model.lods;
  if (level < 0 || static_cast<size_t>(level) >= lods.size()) return {};
  if (auto e = refuse("the level", lods[static_cast<size_t>(level)].surfsName); !e.empty()) return e;
  if (auto e = refuse("the parts file", lods[0].surfsName); !e.empty()) return e;
  for (const auto& m : lods[static_cast<size_t>(level)].materials) {
    if (auto e = refuse("the material", m.name); !e.empty()) return e;
    if (m.imageName && !m.imageName->empty())
      if (auto e = refuse("the image", *m.imageName); !e.empty()) return e;
  }
  return {};
}

// A model of the header's version, opened, with its levels read.
struct OpenedModel {
  std::unique_ptr<CModel> model;
  uint8_t version = 0;
};

// On failure the model is null and `error` says why.
OpenedModel OpenModel(const std::string& workdir, const std::string& modelName, std::string& error) {
  OpenedModel opened;
  const std::string folder = workdir + "\\xmodel";
  const std::string header = folder + "\\" + modelName;
  if (std::string why = WhyNotPlainName(modelName); !why.empty()) {
    error = "the model name \"" + modelName + "\" is not a file name of " + Shown(folder) + " (" +
            why + ")";
    return opened;
  }
  auto version = ReadModelVersion(header);
  if (!version) {
    error = "cannot open the model header " + Shown(header);
    return opened;
  }
  opened.version = *version;
  opened.model = CreateModel(*version);
  if (!opened.model) {
    error = "the model header " + Shown(header) + " has version " +
                   std::to_string(*version) + ", which this program does not read";
    return opened;
  }
  if (!opened.model->Open(folder, modelName) || !opened.model->LoadLods()) {
    error = "cannot read the levels of detail of the model header " + Shown(header);
    opened.model.reset();
  }
  return opened;
}

std::optional<int> FirstPresentLevel(const CModel& model) {
  for (size_t i = 0; i < model.lods.size(); ++i)
    if (model.lods[i].present) return static_cast<int>(i);
  return std::nullopt;
}

}  // namespace

bool HasTagsListing(uint8_t version) { return version != 14; }

std::string CheckOutputFolder(const std::string& workdir) {
  const fs::path obj = ResolvePath(workdir + "\\obj");
  std::error_code ec;
  if (!fs::is_directory(obj, ec)) return "the output folder " + obj.string() + " does not exist";
  if (::access(obj.c_str(), W_OK | X_OK) != 0)
    return "cannot write into the output folder " + obj.string();
  return {};
}

namespace {

// The common start of the level exports: the model opened with its levels and parts, and
// the surfaces of the chosen level (by default the first whose name was read) loaded.
// Nullopt, with the reason in `outcome`, when there is nothing to write.
std::optional<int> LoadLevel(const std::string& workdir, CModel& model, uint8_t version,
                             std::optional<int> lodIndex, ExportOutcome& outcome) {
  std::optional<int> level = lodIndex ? lodIndex : FirstPresentLevel(model);
  if (!level) {
    outcome.error = "the model header " + Shown(model.fullPath) + " names no level of detail";
    return std::nullopt;
  }
  if (*level < 0 || static_cast<size_t>(*level) >= model.lods.size() ||
      !model.lods[static_cast<size_t>(*level)].present) {
    outcome.error = "the model header " + Shown(model.fullPath) + " has no level of detail " +
                    std::to_string(*level);
    return std::nullopt;
  }
  if (version == 14 && *level >= CModelV14::kLoadableLevels) {
    outcome.error = "level of detail " + std::to_string(*level) + " of the model header " +
                    Shown(model.fullPath) + " cannot be exported: version 14 models export " +
                    "only levels 0 to " + std::to_string(CModelV14::kLoadableLevels - 1);
    return std::nullopt;
  }
  const std::string& surfsName = model.lods[static_cast<size_t>(*level)].surfsName;
  if (outcome.error = CheckHeaderNames(model, *level); !outcome.error.empty()) return std::nullopt;
  model.LoadParts(*level);
  if (outcome.error = CheckOutputFolder(workdir); !outcome.error.empty()) return std::nullopt;

  if (!model.LoadSurfaces(*level, false)) {
    const std::string surfaces = workdir + "\\xmodelsurfs\\" + surfsName;
    outcome.error = FileExists(surfaces)
                        ? "cannot load the surfaces in " + Shown(surfaces)
                        : "the surfaces file " + Shown(surfaces) + " is missing";
    return std::nullopt;
  }
  return level;
}

// Notes a writer's result in `outcome`: the file written, or the first failure.
bool Wrote(ExportOutcome& outcome, bool ok, const std::string& joined) {
  if (ok) {
    outcome.written.push_back(Shown(joined));
  } else if (outcome.error.empty()) {
    // The output layer knows why (a read-only file, a full disk); else the file is named.
    outcome.error = LastOutputError().empty() ? "cannot write " + Shown(joined) : LastOutputError();
  }
  return ok;
}

}  // namespace

ExportOutcome ExportObjFiles(const std::string& workdir, const std::string& modelName,
                             std::optional<int> lodIndex) {
  ExportOutcome outcome;
  OpenedModel opened = OpenModel(workdir, modelName, outcome.error);
  if (!opened.model) return outcome;
  CModel& model = *opened.model;
  std::optional<int> level = LoadLevel(workdir, model, opened.version, lodIndex, outcome);
  if (!level) return outcome;
  const std::string& surfsName = model.lods[static_cast<size_t>(*level)].surfsName;
  const std::string objFolder = workdir + "\\obj\\";
  // The level's files appear together once all were written, or none of them does.
  OutputSet set;
  bool ok = Wrote(outcome, model.WriteMtl(*level), objFolder + surfsName + ".mtl") &&
            Wrote(outcome, model.WriteObj(*level), objFolder + surfsName + ".obj") &&
            (!HasTagsListing(opened.version) ||
             Wrote(outcome, model.WriteTagsListing(modelName), objFolder + modelName + "_tags.txt"));
  if (ok && !set.Commit()) outcome.error = set.Error(), ok = false;
  if (!ok) {
    outcome.written.clear();
    return outcome;
  }
  outcome.ok = true;
  return outcome;
}

bool HasXExport(uint8_t version) { return version == 25; }

ExportOutcome ExportXFile(const std::string& workdir, const std::string& modelName,
                          std::optional<int> lodIndex) {
  ExportOutcome outcome;
  OpenedModel opened = OpenModel(workdir, modelName, outcome.error);
  if (!opened.model) return outcome;
  CModel& model = *opened.model;
  if (!HasXExport(opened.version)) {
    outcome.error = "the model header " + Shown(model.fullPath) + " has version " +
                    std::to_string(opened.version) + "; only version 25 models export to .x";
    return outcome;
  }
  std::optional<int> level = LoadLevel(workdir, model, opened.version, lodIndex, outcome);
  if (!level) return outcome;
  const std::string& surfsName = model.lods[static_cast<size_t>(*level)].surfsName;
  if (!Wrote(outcome, model.WriteX(*level), workdir + "\\obj\\" + surfsName + ".x"))
    return outcome;
  outcome.ok = true;
  return outcome;
}

ExportOutcome ExportTagsFile(const std::string& workdir, const std::string& modelName) {
  ExportOutcome outcome;
  OpenedModel opened = OpenModel(workdir, modelName, outcome.error);
  if (!opened.model) return outcome;
  CModel& model = *opened.model;
  if (!HasTagsListing(opened.version)) {
    outcome.error = "the model header " + Shown(model.fullPath) + " has version " +
                    std::to_string(opened.version) + ", which has no tags listing";
    return outcome;
  }
  model.LoadParts(FirstPresentLevel(model).value_or(0));
  if (outcome.error = CheckOutputFolder(workdir); !outcome.error.empty()) return outcome;
  const std::string path = workdir + "\\obj\\" + modelName + "_tags.txt";
  if (!model.WriteTagsListing(modelName)) {
    outcome.error = "cannot write " + Shown(path);
    return outcome;
  }
  outcome.written.push_back(Shown(path));
  outcome.ok = true;
  return outcome;
}

std::optional<std::vector<std::string>> ListModelHeaders(const std::string& workdir) {
  const fs::path folder = ResolvePath(workdir + "\\xmodel");
  std::error_code ec;
  fs::directory_iterator it(folder, ec);
  if (ec) return std::nullopt;
  std::vector<std::string> names;
  for (fs::directory_iterator end; it != end; it.increment(ec)) {
    if (ec) return std::nullopt;
    std::error_code typeError;
    if (!it->is_directory(typeError)) names.push_back(it->path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace tessary
