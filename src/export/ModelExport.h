#pragma once
// The export path that both programs run: open a model header of a working folder with
// the reader of its version, read the level the exporters ask for and hand it to their
// writers, which write into the working folder's obj folder. The form and the command
// line differ only in how they present the outcome.
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/LoadOptions.h"
#include "platform/FileSet.h"

namespace tessary {

class Disk;

struct ExportOutcome {
  bool ok = false;
  std::string error;                 // why not, one line naming the file concerned
  std::vector<std::string> written;  // the files written, as paths of this system
  std::vector<std::string> notes;    // what was left out of a file written (an image that
                                     // cannot be decoded), one line each
  std::vector<std::string> warnings;  // an animation's bones that the model lacks, one line
                                      // per animation
  // The messages the model's readers brought up (a surface that cannot be decoded), in
  // order, whether or not the export went on; the front end presents them before the
  // outcome.
  std::vector<std::string> messages;
};

struct ExportRequest {
  std::string workdir;    // the working folder, without a trailing separator
  std::string modelName;  // a file of workdir/xmodel
  std::optional<int> lod;  // the level; by default the first level whose name was read
  LoadOptions options;    // applied only where the level allows (see OptionsForLevel)
  // The exporters that write the compatible level's surfaces take the skinned geometry of
  // the structural reader instead (every bone transform applied).
  bool skinned = false;
  float scale = 1.0f;  // lengths of the glTF and XMODEL_EXPORT exports: 1 keeps game units
  // The levels the model's asset entry (.gdt) names, in order; empty: the level exported.
  std::vector<int> gdtLevels{};
  // When given, the files written are left in this set, finished but not in place, for
  // the caller to commit (a batch commits them in the models' order).
  FileSet* held = nullptr;
  // The disk the command reads on; null: the export reads on a disk of its own. A batch
  // hands each model a Fresh() disk of its own, so the folders are listed once.
  Disk* disk = nullptr;
  // The animation files (names in workdir/xanim, any case, or paths) laid onto the level's
  // skeleton, and a second model whose skeleton and surfaces join the level's (a viewmodel's
  // weapon with its arms; "" for none). The glTF export adds one glTF animation per file and
  // keeps the first level's name; the animation exports take the first file and name the
  // joined level after both levels, "<level>_<level2>".
  std::vector<std::string> animations{};
  std::string withModel{};
  bool rootMotion = true;  // the delta tracks drive tag_origin
};

// Writes the files of the exporters named in `formats` (Exporters.h), in that order. The
// model's version must have the first; the others are left out where it lacks them. When
// an exporter needs the level's surfaces and they cannot be loaded, nothing is written.
// Reentrant: it keeps nothing between calls and may run on several threads at once.
ExportOutcome RunExport(const ExportRequest& request, std::initializer_list<std::string_view> formats);

// The commands of both programs.
// Export .OBJ: the MTL, the OBJ and, where the version has one, the tags listing.
ExportOutcome ExportObjFiles(const ExportRequest& request);
// Export .X: <level>.x, for the versions that have it.
ExportOutcome ExportXFile(const ExportRequest& request);
// The file part of View tags: only the tags listing (no level is loaded).
ExportOutcome ExportTagsFile(const ExportRequest& request);
// Export .glTF: <level>.glb from the structural reader (skeleton, skin weights, textures),
// with the request's animations and second model. Nothing is written when a model or an
// animation cannot be read. Each animation that names bones the skeleton lacks adds one
// line to the warnings (the first names, then how many more), as does one whose root motion
// finds no tag_origin; one that moves nothing of the model is left out of the file with one
// warning line.
ExportOutcome ExportGltfFile(const ExportRequest& request);
// Export .XANIM_EXPORT: the first of `request.animations` as the SDK's source,
// <anim>.XANIM_EXPORT, its entry <anim>.gdt, and with `withModelFile` the model it was
// made against, <level>.XMODEL_EXPORT.
ExportOutcome ExportXAnimFiles(const ExportRequest& request, bool withModelFile = true);
// Export .XMODEL_EXPORT: <level>.XMODEL_EXPORT from the structural reader, the SDK's model
// source text.
ExportOutcome ExportXModelFile(const ExportRequest& request);
// The same with <model>.gdt, the asset entry naming the request's gdtLevels (by default the
// level exported), written together.
ExportOutcome ExportXModelFiles(const ExportRequest& request);
// The same for every level the header names (the request's level is not used): each level's
// file in turn, then the asset entry naming them all in order (XModelExportLevels.cpp). A
// level that fails ends the export with its reason; the levels before it stay written.
ExportOutcome ExportXModelAllLevels(const ExportRequest& request);

// The forms the tests and scripts use.
ExportOutcome ExportObjFiles(const std::string& workdir, const std::string& modelName,
                             std::optional<int> lodIndex, LoadOptions options = {});
ExportOutcome ExportXFile(const std::string& workdir, const std::string& modelName,
                          std::optional<int> lodIndex, LoadOptions options = {});
ExportOutcome ExportTagsFile(const std::string& workdir, const std::string& modelName);

// The model header files of `workdir`/xmodel (not folders), in byte order; nullopt when
// that folder cannot be listed.
std::optional<std::vector<std::string>> ListModelHeaders(Disk& disk, const std::string& workdir);

// Why the surfaces file `surfsName` of `workdir` could not be loaded, in one line naming
// it: "cannot load the surfaces in ..." when it is there, else that it is missing.
std::string SurfacesLoadError(Disk& disk, const std::string& workdir, const std::string& surfsName);

// An empty string when `workdir`/obj is a folder this process can write into, else why
// not.
std::string CheckOutputFolder(Disk& disk, const std::string& workdir);

}  // namespace tessary
