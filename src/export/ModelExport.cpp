#include "export/ModelExport.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <system_error>

#include "export/Exporters.h"
#include "platform/FileSet.h"
#include "platform/OutputFile.h"
#include "model/JoinedLevel.h"
#include "model/LevelChoice.h"
#include "model/ModelVersions.h"
#include "model/ShowModelTree.h"
#include "model/SkeletonAnimation.h"
#include "model/SkinnedSurfaces.h"
#include "model/StructuralReader.h"
#include "model/XAnimReader.h"
#include "platform/Disk.h"
#include "platform/FolderAccess.h"
#include "platform/Path.h"
#include "platform/PlainName.h"

namespace fs = std::filesystem;

namespace tessary {

namespace {

// A joined path as messages show it: where it was found on the disk.
std::string Shown(Disk& disk, const std::string& joinedPath) { return disk.Resolve(joinedPath).string(); }

std::string VersionText(uint32_t version) { return std::to_string(version); }

// Why a version lacking the exporter's format gets nothing, with the versions that have it.
std::string Lacking(const Exporter& e) {
  std::string versions;
  for (const ModelVersion& row : ModelVersions()) {
    if (!e.hasFormat(row)) continue;
    if (!versions.empty()) versions += ", ";
    versions += VersionText(row.number);
  }
  std::string text(e.lacking);
  if (auto at = text.find("{versions}"); at != std::string::npos) text.replace(at, 10, versions);
  return text;
}

// The loaded surfaces, copied out of the model as plain data.
std::vector<Surface> TakeSurfaces(const CModel& model) {
  if (!model.curSurfaces) return {};
  const size_t count = std::min<size_t>(model.curSurfaceCount, model.curSurfaces->size());
  return std::vector<Surface>(model.curSurfaces->begin(),
                              model.curSurfaces->begin() + static_cast<std::ptrdiff_t>(count));
}

// Joins the second model of an animation export to `level`, named after both levels when
// `namedAfterBoth`.
bool JoinSecondModel(Disk& disk, const ExportRequest& request, bool namedAfterBoth, DecodedLevel& level, std::string& error) {
  auto second = ReadStructuralLevel(disk, request.workdir, request.withModel, std::nullopt, error);
  if (!second) return false;
  JoinResult joined = JoinLevels(level, *second);
  if (!joined.error.empty()) {
    error = joined.error;
    return false;
  }
  if (namedAfterBoth) joined.level.surfsName = level.surfsName + "_" + second->surfsName;
  level = std::move(joined.level);
  return true;
}

// Reads the animation file `name` and lays it onto the level's skeleton.
bool ReadAnimation(Disk& disk, const ExportRequest& request, const std::string& name, ExportLevel& level, std::string& error) {
  const fs::path path = FindXAnim(disk, request.workdir, name);
  if (path.empty()) {
    error = "cannot find the animation " + name + " in " + Shown(disk, request.workdir + "\\xanim");
    return false;
  }
  XAnimResult read = LoadXAnim(disk, path);
  if (!read.anim) {
    error = read.error;
    return false;
  }
  if (read.bytesRead < read.fileSize && level.notes)
    level.notes->push_back("the animation file " + path.string() + " has " +
                           std::to_string(read.fileSize - read.bytesRead) +
                           " bytes after its notetracks, which were left out");
  level.animations.push_back(AnimateSkeleton(*read.anim, level.decoded->bones, request.rootMotion));
  level.anims.push_back(std::move(*read.anim));
  return true;
}

// Reads what the exporters need into `level`; false, with the reason in `error`, when
// there is nothing to write. `model` is null when no exporter takes the compatible level.
bool ReadLevel(Disk& disk, const ExportRequest& request, CModel* model, const std::vector<const Exporter*>& exporters,
               ExportLevel& level, std::string& error) {
  bool needsSurfaces = false, needsStructural = request.skinned;
  for (const Exporter* e : exporters) {
    const bool structural = e->reader == LevelReader::Structural;
    needsSurfaces = needsSurfaces || (e->needsSurfaces && !structural);
    needsStructural = needsStructural || structural;
  }
  if (needsStructural) {
    level.decoded = ReadStructuralLevel(disk, request.workdir, request.modelName, request.lod, error);
    if (!level.decoded) return false;
    const bool animationExport = std::any_of(exporters.begin(), exporters.end(), [](const Exporter* e) {
      return e->namedAfter == OutputName::Animation;
    });
    if (!request.withModel.empty() && !JoinSecondModel(disk, request, animationExport, *level.decoded, error)) return false;
    // Every animation is read before anything is written.
    for (const std::string& name : request.animations)
      if (!ReadAnimation(disk, request, name, level, error)) return false;
  }
  if (model == nullptr) {
    error = CheckOutputFolder(disk, request.workdir);
    return error.empty();
  }
  CompatibleLevel& c = level.compatible.emplace();
  if (!needsSurfaces) {
    // The listing of the model's parts: no level is loaded.
    c.lodIndex = DefaultLevel(model->lods).value_or(0);
    model->LoadParts(c.lodIndex);
    if (error = CheckOutputFolder(disk, request.workdir); !error.empty()) return false;
  } else if (request.skinned) {
    // The structural reader's level and geometry, through the same writers.
    c.lodIndex = level.decoded->lodIndex;
    c.lod = SkinnedLevelTable(*level.decoded).back();
    model->LoadParts(c.lodIndex);
    if (error = CheckOutputFolder(disk, request.workdir); !error.empty()) return false;
    c.surfaces = SkinnedSurfaceRecords(*level.decoded);
  } else {
    std::vector<bool> named;
    for (const LodEntry& lod : model->lods) named.push_back(lod.present);
    std::optional<int> chosen = ChooseLevel(named, request.lod, *level.version, Shown(disk, model->fullPath), error);
    if (!chosen) return false;
    c.lodIndex = *chosen;
    c.lod = model->lods[static_cast<size_t>(*chosen)];
    // The parts file is named after level 0.
    error = CheckHeaderNames(Shown(disk, model->fullPath), model->lods[0].surfsName, c.lod.surfsName);
    if (!error.empty()) return false;
    model->LoadParts(*chosen);
    if (error = CheckOutputFolder(disk, request.workdir); !error.empty()) return false;
    c.options = OptionsForLevel(request.options, c.lod.surfsName);
    if (!model->LoadSurfaces(*chosen, false, c.options)) {
      error = SurfacesLoadError(disk, request.workdir, c.lod.surfsName);
      return false;
    }
    c.surfaces = TakeSurfaces(*model);
  }
  c.parts = model->parts;
  return true;
}

// The output folder of `workdir` as found on `disk`.
fs::path OutputFolder(Disk& disk, const std::string& workdir) { return disk.Resolve(workdir + "\\obj"); }

}  // namespace

std::string SurfacesLoadError(Disk& disk, const std::string& workdir, const std::string& surfsName) {
  const std::string surfaces = workdir + "\\xmodelsurfs\\" + surfsName;
  return disk.Exists(surfaces) ? "cannot load the surfaces in " + Shown(disk, surfaces)
                               : "the surfaces file " + Shown(disk, surfaces) + " is missing";
}

std::string CheckOutputFolder(Disk& disk, const std::string& workdir) {
  const fs::path obj = OutputFolder(disk, workdir);
  std::error_code ec;
  if (!fs::is_directory(obj, ec)) return "the output folder " + obj.string() + " does not exist";
  if (!CanWriteInto(obj))
    return "cannot write into the output folder " + obj.string();
  return {};
}

ExportOutcome RunExport(const ExportRequest& request, std::initializer_list<std::string_view> formats) {
  // Every input file of the model is read from the disk once, however often the readers
  // open it or test that it exists.
  Disk own;
  Disk& disk = request.disk ? *request.disk : own;
  ExportOutcome outcome;
  const std::string header = request.workdir + "\\xmodel\\" + request.modelName;
  if (std::string why = WhyNotPlainName(request.modelName); !why.empty()) {
    outcome.error = "the model name \"" + request.modelName + "\" is not a file name of " +
                    Shown(disk, request.workdir + "\\xmodel") + " (" + why + ")";
    return outcome;
  }
  std::optional<uint8_t> number = ReadModelVersion(disk, header);
  if (!number) {
    outcome.error = "cannot open the model header " + Shown(disk, header);
    return outcome;
  }
  const ModelVersion* row = FindModelVersion(*number);
  if (!row) {
    outcome.error = "the model header " + Shown(disk, header) + " has version " + VersionText(*number) +
                    ", which this program does not read";
    return outcome;
  }
  std::vector<const Exporter*> exporters;
  for (std::string_view name : formats) {
    const Exporter* e = FindExporter(name);
    if (e != nullptr && e->hasFormat(*row)) {
      exporters.push_back(e);
    } else if (exporters.empty()) {
      outcome.error = "the model header " + Shown(disk, header) + " has version " + VersionText(*number) +
                      (e ? Lacking(*e) : ", which has no " + std::string(name) + " export");
      return outcome;
    }
  }

  // The model classes are opened only for exporters that write their level.
  std::unique_ptr<CModel> model;
  if (std::any_of(exporters.begin(), exporters.end(),
                  [](const Exporter* e) { return e->reader == LevelReader::Compatible; })) {
    model = row->create();
    if (!model->Open(disk, request.workdir + "\\xmodel", request.modelName) || !model->LoadLods()) {
      outcome.error = "cannot read the levels of detail of the model header " + Shown(disk, header);
      return outcome;
    }
  }
  ExportLevel level;
  level.version = row;
  level.modelName = request.modelName;
  level.scale = request.scale;
  level.gdtLevels = request.gdtLevels;
  level.notes = &outcome.notes;
  level.warnings = &outcome.warnings;
  level.animatedModels = request.withModel.empty() ? request.modelName : request.modelName + " and " + request.withModel;
  const bool read = ReadLevel(disk, request, model.get(), exporters, level, outcome.error);
  if (model) outcome.messages = model->TakeMessages();
  if (!read) return outcome;
  model.reset();
  if (std::any_of(exporters.begin(), exporters.end(),
                  [](const Exporter* e) { return e->namedAfter == OutputName::Animation; })) {
    // The animation exports write their one animation whatever it moves.
    if (level.anims.empty()) {
      outcome.error = "no animation was given for the export of " + Shown(disk, header);
      return outcome;
    }
    outcome.warnings = AnimationWarnings(level.animations.front(), level.anims.front().bones.size(),
                                         level.anims.front().name, level.animatedModels);
  }

  // The level's files appear together once all were written, or none of them does.
  FileSet set;
  const fs::path objFolder = OutputFolder(disk, request.workdir);
  for (const Exporter* e : exporters) {
    const std::string& stem = e->namedAfter == OutputName::Model       ? request.modelName
                               : e->namedAfter == OutputName::Animation ? level.anims.front().name
                               : level.compatible                       ? level.compatible->lod.surfsName
                                                                        : level.decoded->surfsName;
    const std::string path = request.workdir + "\\obj\\" + stem + std::string(e->extension);
    // A plain name in the output folder lies inside it unless it is a link, which is
    // followed to where it leads; the temporary is made only once that is known.
    bool found = false;
    const fs::path target = disk.ResolveForWriting(path, found);
    const bool plain = target.parent_path() == objFolder && IsPlainName(target.filename().string());
    auto outside = [&] {
      outcome.error = "the model header " + Shown(disk, header) + " would have " + target.string() +
                      " written outside the output folder " + objFolder.string();
      outcome.written.clear();
      return outcome;
    };
    if (!plain && !LiesInside(objFolder, target)) return outside();
    OutputFile file;
    const bool opened = file.Open(disk, path, target, !found);
    if (plain && file.TargetIsLink() && !LiesInside(objFolder, target)) return outside();
    if (!opened || !e->write(level, file) || !set.Add(file)) {
      // The output layer knows why (a read-only file, a full disk); else the file is named.
      outcome.error = file.Error().empty() ? "cannot write " + target.string() : file.Error();
      outcome.written.clear();
      return outcome;
    }
    outcome.written.push_back(target.string());
  }
  if (request.held) {
    *request.held = std::move(set);
  } else if (!set.Commit(disk)) {
    outcome.error = set.Error();
    outcome.written.clear();
    return outcome;
  }
  outcome.ok = true;
  return outcome;
}

ExportOutcome ExportObjFiles(const ExportRequest& request) {
  return RunExport(request, {"mtl", "obj", "tags"});
}

ExportOutcome ExportXFile(const ExportRequest& request) { return RunExport(request, {"x"}); }

ExportOutcome ExportGltfFile(const ExportRequest& request) { return RunExport(request, {"gltf"}); }

ExportOutcome ExportXModelFile(const ExportRequest& request) { return RunExport(request, {"xmodel"}); }

ExportOutcome ExportXModelFiles(const ExportRequest& request) { return RunExport(request, {"xmodel", "xmodel-gdt"}); }

ExportOutcome ExportTagsFile(const ExportRequest& request) { return RunExport(request, {"tags"}); }

ExportOutcome ExportXAnimFiles(const ExportRequest& request, bool withModelFile) {
  if (withModelFile) return RunExport(request, {"xanim", "xanim-gdt", "xmodel"});
  return RunExport(request, {"xanim", "xanim-gdt"});
}

ExportOutcome ExportObjFiles(const std::string& workdir, const std::string& modelName,
                             std::optional<int> lodIndex, LoadOptions options) {
  return ExportObjFiles(ExportRequest{workdir, modelName, lodIndex, options});
}

ExportOutcome ExportXFile(const std::string& workdir, const std::string& modelName,
                          std::optional<int> lodIndex, LoadOptions options) {
  return ExportXFile(ExportRequest{workdir, modelName, lodIndex, options});
}

ExportOutcome ExportTagsFile(const std::string& workdir, const std::string& modelName) {
  return ExportTagsFile(ExportRequest{workdir, modelName, std::nullopt, {}});
}

std::optional<std::vector<std::string>> ListModelHeaders(Disk& disk, const std::string& workdir) {
  const fs::path folder = disk.Resolve(workdir + "\\xmodel");
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
