#include "TextureHarness.h"

#include <filesystem>
#include <string>

#include "platform/Disk.h"
#include "FuzzSupport.h"

#ifdef TESSARY_HAVE_PREVIEW
#include <GL/gl.h>

#include "model/ModelRecords.h"
#include "preview/HeadlessContext.h"
#include "preview/PreviewRenderer.h"
#endif

namespace tessary::fuzz {

#ifdef TESSARY_HAVE_PREVIEW
namespace {

struct Preview {
  Preview() {
    std::string error;
    // Without a context the loaders still parse each file up to the upload.
    if (context.Create(16, 16, error)) renderer.Attach(&context);
  }
  SilentNotifier quiet;
  CHeadlessContext context;
  CPreviewRenderer renderer{quiet};
};

}  // namespace

void RunTextureInput(TextureKind kind, const uint8_t* data, size_t size) {
  static Preview preview;
  const std::string work = FreshWorkdir();
  const char* name = kind == TextureKind::Dds ? "t.dds" : "t.tga";
  WriteFile(std::filesystem::path(work) / "images" / name,
            std::string_view(reinterpret_cast<const char*>(data), size));
  Disk disk;
  preview.renderer.SetImageFolder(disk, work + "\\xmodel");
  Surface surface;
  if (kind == TextureKind::Dds)
    preview.renderer.LoadDdsTexture(name, surface);
  else
    preview.renderer.LoadTgaTexture(name, surface);
  if (surface.textureId != 0) {
    GLuint id = surface.textureId;
    glDeleteTextures(1, &id);
  }
}
#else
void RunTextureInput(TextureKind, const uint8_t*, size_t) {}
#endif

}  // namespace tessary::fuzz
