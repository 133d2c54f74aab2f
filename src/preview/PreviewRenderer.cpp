#include "preview/PreviewRenderer.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include <GL/gl.h>
#include <GL/glu.h>

namespace tessary {

int CPreviewRenderer::listBlinkCounter = 0;
int CPreviewRenderer::stripBlinkCounter = 0;

CPreviewRenderer::~CPreviewRenderer() {
  if (fontListBase != 0 && host && host->MakeCurrent()) glDeleteLists(fontListBase, 256);
  Shutdown();
}

bool CPreviewRenderer::Attach(void* window) {
  if (!window) return false;
  CreateContext(*static_cast<IGlHost*>(window));
  return UpdateProjection();
}

uint32_t CPreviewRenderer::CreateContext(IGlHost& glHost) {
  host = &glHost;
  if (!host->MakeCurrent()) return 0;
  glClearColor(0.2f, 0.2f, 0.2f, 0.0f);
  glEnable(GL_NORMALIZE);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
  glShadeModel(GL_SMOOTH);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  // Texture rows are packed as the files store them, whatever their width.
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  compressedTexImage2D = host->ProcAddress("glCompressedTexImage2DARB");
  fontListBase = CreateFontLists();
  return fontListBase;
}

bool CPreviewRenderer::UpdateProjection() {
  int width = 0, height = 0;
  if (!host || !host->WindowSize(width, height)) return false;
  if (width == viewWidth && height == viewHeight) return true;
  windowWidth = width;
  windowHeight = height;
  viewWidth = width;
  viewHeight = height;
  if (viewWidth == 0 || viewHeight == 0) return true;
  glViewport(0, 0, viewWidth, viewHeight);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(45.0, static_cast<double>(viewWidth) / static_cast<double>(viewHeight), 1.0, 4000.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  return true;
}

void CPreviewRenderer::SetImageFolder(Disk& disk, const std::string& modelFolder) {
  disk_ = &disk;
  imageFolder = modelFolder + "\\..\\images";
}

bool CPreviewRenderer::SetSurfaces(std::vector<Surface>* surfaceTable, uint16_t count,
                                   std::vector<LodEntry>* lodTable) {
  surfaces = surfaceTable;
  surfaceCount = count;
  lods = lodTable;
  if (count == 0 || !surfaces) return true;
  for (size_t i = 0; i < count && i < surfaces->size(); ++i) {
    Surface& surface = (*surfaces)[i];
    surface.textureLoaded = false;
    // Material i of the surface's level belongs to the level's surface i.
    if (!lods || surface.lodIndex < 0 || static_cast<size_t>(surface.lodIndex) >= lods->size())
      continue;
    const LodEntry& lod = (*lods)[static_cast<size_t>(surface.lodIndex)];
    if (static_cast<int64_t>(i) >= lod.materialCount || i >= lod.materials.size()) continue;
    const MaterialEntry& material = lod.materials[i];
    const std::string& image = material.imageName ? *material.imageName : material.name;
    surface.textureLoaded = IsDdsName(image) ? LoadDdsTexture(image, surface)
                                             : LoadTgaTexture(image, surface);
  }
  return true;
}

bool CPreviewRenderer::IsDdsName(const std::string& name) {
  return name.find(".dds") != std::string::npos;
}

bool CPreviewRenderer::Draw(int variant) {
  switch (variant) {
    case 0:
    case 1:
      return DrawTriangleStrips();
    case 2:
    case 3:
      return DrawTriangleLists();
    default:
      return false;
  }
}

void CPreviewRenderer::DrawCaption(const char* text) { DrawText(text, -20.5f, -50.0f); }

void CPreviewRenderer::DrawCentredText(const char* text) { DrawText(text, 0.0f, -25.0f); }

void CPreviewRenderer::DrawText(const char* text, float y, float z) {
  if (fontListBase == 0 || !text) return;
  float width = 0;
  size_t length = 0;
  for (const char* c = text; *c; ++c, ++length) width += glyphAdvances[static_cast<unsigned char>(*c)];
  glLoadIdentity();
  glTranslatef(-width / 2, y, z);
  glBindTexture(GL_TEXTURE_2D, 0);
  glPushAttrib(GL_LIST_BIT);
  glListBase(fontListBase);
  glCallLists(static_cast<GLsizei>(length), GL_UNSIGNED_BYTE, text);
  glPopAttrib();
}

void CPreviewRenderer::Detach() {
  if (!host) return;
  if (fontListBase != 0 && host->MakeCurrent()) glDeleteLists(fontListBase, 256);
  fontListBase = 0;
  Shutdown();
}

void CPreviewRenderer::Shutdown() {
  if (!host) return;
  if (host->MakeCurrent() && surfaces && surfaceCount > 0) {
    // The model releases its renderer before its surfaces, so the table is still there;
    // a table shorter than the count it was handed with has been changed behind our back.
    if (surfaces->size() < surfaceCount) {
      notifier_.ShowMessage(
          "An OpenGL shutdown error detected.\r\nPlease advise Ravenmoor (see the About box)");
    } else {
      DeleteTextures(*surfaces, surfaceCount);
    }
  }
  if (otherSurfaces_ && otherSurfaces_->size() >= otherCount_ && host->MakeCurrent())
    DeleteTextures(*otherSurfaces_, otherCount_);
  otherSurfaces_ = nullptr;
  host->DoneCurrent();
  host = nullptr;
}

void CPreviewRenderer::DeleteTextures(const std::vector<Surface>& table, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    const Surface& surface = table[i];
    if (surface.triListCount > 0 && surface.textureLoaded) {
      GLuint id = surface.textureId;
      glDeleteTextures(1, &id);
    }
  }
}

void CPreviewRenderer::SetAlternateSurfaces(std::vector<Surface> table, std::vector<LodEntry> lodTable) {
  if (showingAlternate) SwapSurfaces();  // back to the model's own before replacing
  if (otherSurfaces_ && host && host->MakeCurrent()) DeleteTextures(*otherSurfaces_, otherCount_);
  alternateTable_ = std::move(table);
  alternateLods_ = std::move(lodTable);
  std::vector<Surface>* shown = surfaces;
  std::vector<LodEntry>* shownLods = lods;
  const uint16_t shownCount = surfaceCount;
  const auto count = static_cast<uint16_t>(std::min<size_t>(alternateTable_.size(), UINT16_MAX));
  SetSurfaces(&alternateTable_, count, &alternateLods_);  // loads its textures
  otherSurfaces_ = &alternateTable_;
  otherLods_ = &alternateLods_;
  otherCount_ = count;
  surfaces = shown;
  lods = shownLods;
  surfaceCount = shownCount;
}

void CPreviewRenderer::SwapSurfaces() {
  if (!otherSurfaces_) return;
  std::swap(surfaces, otherSurfaces_);
  std::swap(lods, otherLods_);
  std::swap(surfaceCount, otherCount_);
  showingAlternate = showingAlternate ? 0 : 1;
}

}  // namespace tessary
