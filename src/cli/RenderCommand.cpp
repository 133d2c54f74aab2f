// tessary render: draws a model as the preview window shows it after a number of frames
// and writes the picture as a PNG file. Needs no display or graphics card: the frames are
// drawn by Mesa's software renderer into an off-screen framebuffer.
#include <CLI/CLI.hpp>

#include "platform/Disk.h"
#include "cli/CliSupport.h"

#ifdef TESSARY_HAVE_PREVIEW

#include <cstdio>
#include <memory>
#include <optional>
#include <string_view>

#include "cli/PngFile.h"
#include "export/ModelExport.h"
#include "model/ShowModelTree.h"
#include "model/SkinnedSurfaces.h"
#include "model/StructuralReader.h"
#include "platform/Path.h"
#include "preview/HeadlessContext.h"
#include "preview/PreviewRenderer.h"

namespace tessary::cli {

namespace {

struct RenderOptions {
  std::string workdir;
  std::optional<int> lod;
  std::string size = "800x600";
  int frames = 1;
  bool noRoll = false, wireframe = false, skinsOff = false, noFloor = false;
  bool noMaterials = false, noUv = false;
  bool skinned = false;
  std::string output;
  std::string model;
};

// One side of a size: digits only, 1 to 8192 (no sign, blank or wrap-around).
bool ParseSide(std::string_view text, int& side) {
  if (text.empty() || text.size() > 5) return false;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  if (value < 1 || value > 8192) return false;
  side = value;
  return true;
}

bool ParseSize(const std::string& text, int& width, int& height) {
  size_t x = text.find_first_of("xX");
  if (x == std::string::npos) return false;
  return ParseSide(std::string_view(text).substr(0, x), width) &&
         ParseSide(std::string_view(text).substr(x + 1), height);
}

void ApplyFlags(const RenderOptions& options, CPreviewRenderer& renderer) {
  renderer.rolling = options.noRoll ? 0 : 1;
  renderer.wireframe = options.wireframe ? 1 : 0;
  renderer.skinsOff = options.skinsOff ? 1 : 0;
  renderer.showFloor = options.noFloor ? 0 : 1;
  renderer.showMaterials = options.noMaterials ? 0 : 1;
  renderer.showUv = options.noUv ? 0 : 1;
}

// Draws the frames as the preview window's timer would. A frame that reports the model
// not supported stops the timer; the window then draws once more when it is painted.
void DrawFrames(CModel& model, int frames) {
  for (int i = 0; i < frames; ++i) {
    if (!model.Draw()) {
      model.Draw();
      return;
    }
  }
}

int WriteFrame(const RenderOptions& options, CHeadlessContext& context) {
  std::string error;
  if (!WritePng(options.output, context.ShownFrame(), context.Width(), context.Height(), error)) {
    PrintError(error);
    return kExitFailed;
  }
  return kExitOk;
}

int RunRender(const RenderOptions& options) {
  int width = 0, height = 0;
  if (!ParseSize(options.size, width, height)) {
    PrintError("--size wants WIDTHxHEIGHT, each from 1 to 8192, e.g. 800x600 (run 'tessary "
               "render --help' for usage)");
    return kExitUsage;
  }
  Settings settings;  // the stored working folder and paths
  std::string workdir = ResolveWorkdir(settings, options.workdir);
  std::string folder = ModelFolder(workdir);
  std::string header = folder + "\\" + options.model;
  // The disk outlives the model, whose renderer reads the images on it.
  Disk disk;
  auto version = ReadModelVersion(disk, header);
  if (!version) {
    PrintError("cannot open the model header " + ToNativeSeparators(header));
    return kExitFailed;
  }

  // The context outlives the model, whose renderer borrows it.
  CHeadlessContext context;
  std::string error;
  if (!context.Create(width, height, error)) {
    PrintError("cannot render: " + error);
    return kExitFailed;
  }

  {
    // With --skinned the surfaces come from the structural reader with every bone transform
    // applied; they outlive the model, whose renderer releases their textures.
    // The notifier outlives the model, whose renderer may report through it at its end.
    StderrNotifier notifier;
    std::vector<Surface> skinnedSurfaces;
    std::vector<LodEntry> skinnedLevels;
    std::unique_ptr<CModel> model = CreateModel(*version);
    auto rendererOwner = std::make_unique<CPreviewRenderer>(notifier);
    CPreviewRenderer* renderer = rendererOwner.get();
    ApplyFlags(options, *renderer);
    if (!model || !model->Open(disk, folder, options.model)) {
      // Nothing of this model can be drawn: the preview's not-supported frame.
      PrintError("version " + std::to_string(*version) + " models cannot be previewed: " +
                 options.model);
      renderer->Attach(&context);
      renderer->notSupported = 1;
      renderer->Draw(DrawVariant::ListsV20);
    } else {
      model->SetRenderer(std::move(rendererOwner));
      model->LoadLods();
      for (const std::string& message : model->TakeMessages()) PrintError(message);
      if (options.skinned) {
        auto level = ReadStructuralLevel(disk, workdir, options.model, options.lod, error);
        if (!level) {
          PrintError(error);
          return kExitFailed;
        }
        model->LoadParts(level->lodIndex);
        model->AttachWindow(&context);
        skinnedSurfaces = SkinnedSurfaceRecords(*level);
        model->curSurfaces = &skinnedSurfaces;
        model->curSurfaceCount = static_cast<uint16_t>(skinnedSurfaces.size());
        skinnedLevels = SkinnedLevelTable(*level);
        renderer->SetImageFolder(disk, folder);
        renderer->SetSurfaces(&skinnedSurfaces, model->curSurfaceCount, &skinnedLevels);
        // Stood up (the game's Z up on the screen's up) with its front (+X) turned towards
        // the viewer, a little to the side: how a character is recognised at a glance.
        model->RotateX(-90.0f);
        model->RotateZ(-60.0f);
        DrawFrames(*model, options.frames);
        return WriteFrame(options, context);
      }
      int lod = -1;
      if (!options.lod) {
        lod = DefaultLevel(model->lods).value_or(-1);
      } else if (*options.lod < 0 || *options.lod >= model->lodCount) {
        PrintError("the model has no level " + std::to_string(*options.lod) + ": " + options.model);
        return kExitFailed;
      } else {
        lod = *options.lod;
      }
      if (lod >= 0) model->LoadParts(lod);
      model->AttachWindow(&context);
      const bool loaded = lod < 0 || model->LoadSurfaces(lod, true);
      for (const std::string& message : model->TakeMessages()) PrintError(message);
      if (!loaded) {
        // A picture of the floor alone would pass for the model: as the exports, nothing.
        PrintError(SurfacesLoadError(disk, workdir, model->lods[static_cast<size_t>(lod)].surfsName));
        return kExitFailed;
      }
      DrawFrames(*model, options.frames);
    }
  }

  return WriteFrame(options, context);
}

}  // namespace

void RegisterRenderCommand(CLI::App& app) {
  auto options = std::make_shared<RenderOptions>();
  auto* cmd = app.add_subcommand(
      "render", "Render a model as the preview window shows it and write the picture as PNG.");
  AddWorkdirOption(*cmd, options->workdir);
  AddLodOption(*cmd, options->lod, "Level of detail to show; default: the first one named");
  cmd->add_option("--size", options->size, "Picture size WIDTHxHEIGHT (default 800x600)");
  cmd->add_option("--frames", options->frames,
                  "Frames to draw before the picture is taken (default 1); the model turns "
                  "1.5 degrees about X and Y per frame")
      ->check(CLI::Range(1, 100000));
  cmd->add_flag("--no-roll", options->noRoll, "Keep the model still");
  cmd->add_flag("--wireframe", options->wireframe, "Draw the triangles' edges");
  cmd->add_flag("--skins-off", options->skinsOff, "Draw every surface untextured");
  cmd->add_flag("--no-floor", options->noFloor, "Leave out the floor and grid");
  cmd->add_flag("--no-materials", options->noMaterials, "Leave out the texture thumbnails");
  cmd->add_flag("--no-uv", options->noUv, "Leave out the UV layouts over the thumbnails");
  cmd->add_flag("--skinned", options->skinned,
                "Draw the skinned geometry: every vertex moved by its bone's full transform, "
                "as the glTF export places it (read from the files' real layout), stood up "
                "with the game's Z axis up and its front towards the viewer");
  cmd->add_option("-o,--output", options->output, "PNG file to write")->required();
  cmd->add_option("MODEL", options->model, "Model header file name in WORKDIR/xmodel")->required();
  cmd->footer("Example: tessary render --workdir ~/cod2raw --frames 30 -o g36c.png weapon_g36c");
  cmd->callback([options] { SetCommandStatus(RunRender(*options)); });
}

}  // namespace tessary::cli

#endif  // TESSARY_HAVE_PREVIEW
