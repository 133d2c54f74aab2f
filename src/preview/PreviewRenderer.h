#pragma once
// The OpenGL side of the model preview. Every model object can hold one; it stays inert
// until a host lends it a context (`Attach`). It keeps the camera and the drawing flags,
// loads each surface's texture from the working folder's images folder (DDS, else an
// uncompressed TGA), owns the outline font of the two text overlays, and draws one frame
// per `Draw` call with the list drawer (versions 20 and 25) or the strip drawer
// (version 14).
#include <cstdint>
#include <string>
#include <vector>

#include "model/ModelRenderer.h"
#include "platform/Notifier.h"
#include "preview/GlHost.h"
#include "preview/KeyState.h"

namespace tessary {

class CPreviewRenderer final : public IModelRenderer {
 public:
  // A table changed behind the renderer's back is reported through `notifier` when the
  // renderer shuts down.
  explicit CPreviewRenderer(INotifier& notifier) : notifier_(notifier) {}
  ~CPreviewRenderer() override;
  CPreviewRenderer(const CPreviewRenderer&) = delete;
  CPreviewRenderer& operator=(const CPreviewRenderer&) = delete;

  // The model's AttachWindow: `window` is the IGlHost whose context the renderer uses.
  // Sets the context up and returns the projection update's result.
  bool Attach(void* window) override;
  void SetImageFolder(Disk& disk, const std::string& modelFolder) override;
  bool SetSurfaces(std::vector<Surface>* surfaceTable, uint16_t count,
                   std::vector<LodEntry>* lodTable) override;
  void SetRolling(uint8_t on) override { rolling = on; }
  void RotateX(float delta) override { rotationX += delta; }
  void RotateY(float delta) override { rotationY += delta; }
  void RotateZ(float delta) override { rotationZ += delta; }
  void MoveX(float delta) override { offsetX += delta; }
  void MoveY(float delta) override { offsetY += delta; }
  void MoveZ(float delta) override { offsetZ += delta; }
  bool Draw(DrawVariant variant) override { return Draw(static_cast<int>(variant)); }

  // Makes the host's context current, sets the fixed drawing state, looks up the
  // compressed-texture entry point and builds the font. Returns the font's list base.
  uint32_t CreateContext(IGlHost& host);
  // Follows the host's size: viewport and perspective. False only when the size cannot
  // be read; a zero width or height leaves the previous projection in place.
  bool UpdateProjection();

  static bool IsDdsName(const std::string& name);
  bool LoadDdsTexture(const std::string& name, Surface& surface);
  bool LoadTgaTexture(const std::string& name, Surface& surface);

  // 256 display lists of extruded outline glyphs; 0 when no font could be had.
  uint32_t CreateFontLists();
  void DrawCaption(const char* text);
  void DrawCentredText(const char* text);

  // Variants 0 and 1 draw strips, 2 and 3 lists; any other draws nothing (false).
  bool Draw(int variant);
  bool DrawTriangleLists();
  bool DrawTriangleStrips();

  // Reads the keys once per frame: keypad toggles on release, rolling, camera keys.
  void PollKeys();
  // Where PollKeys reads the keys; null (the default) reads every key as up.
  void SetKeySource(const IKeyStateSource* source) { keySource = source; }

  // A second geometry of the same level (the skinned one, with every bone transform
  // applied), owned here, that keypad key 7 swaps with the shown one. Its textures are
  // loaded now, in the current context, as SetSurfaces loads them.
  void SetAlternateSurfaces(std::vector<Surface> table, std::vector<LodEntry> lodTable);
  bool HasAlternateSurfaces() const { return otherSurfaces_ != nullptr; }
  // Shows the other geometry; nothing when there is none.
  void SwapSurfaces();
  uint8_t showingAlternate = 0;

  // Deletes the surfaces' textures and leaves the host's context.
  void Shutdown();
  // For a host whose context goes before the renderer (a window that closes while its
  // model lives on): deletes the font lists and the textures in that context now and
  // forgets the host, so the destructor has nothing left to touch.
  void Detach();

  // Each drawer's blink counter, kept for the life of the program across renderers: a
  // blinking surface is drawn every third time a drawer reaches one.
  static int listBlinkCounter;
  static int stripBlinkCounter;

  std::string imageFolder;
  Disk* disk_ = nullptr;  // where the images are read
  IGlHost* host = nullptr;
  int windowWidth = 0, windowHeight = 0;  // the size last read from the host
  int viewWidth = 0, viewHeight = 0;
  std::vector<Surface>* surfaces = nullptr;
  std::vector<LodEntry>* lods = nullptr;
  uint16_t surfaceCount = 0;
  float rotationX = 0, rotationY = 0, rotationZ = 0;
  float offsetX = 0, offsetY = 0, offsetZ = -400.0f;
  uint8_t skinsOff = 0;
  uint8_t rolling = 1;
  uint8_t showMaterials = 1;
  uint8_t showUv = 1;
  uint8_t wireframe = 0;
  uint8_t showFloor = 1;
  uint8_t notSupported = 0;
  uint32_t fontListBase = 0;
  float glyphAdvances[256] = {};
  // glCompressedTexImage2DARB of the current context, or null when it has none.
  void* compressedTexImage2D = nullptr;
  const IKeyStateSource* keySource = nullptr;

 private:
  enum class Shape { Lists, Strips };
  bool DrawFrame(Shape shape);
  void DrawText(const char* text, float y, float z);
  // Whether a surface's lists and vertices are all there and every index of its lists
  // names one of its vertices.
  static bool SurfaceDataFits(const Surface& surface, Shape shape);
  static void DeleteTextures(const std::vector<Surface>& table, size_t count);

  INotifier& notifier_;
  std::vector<Surface> alternateTable_;
  std::vector<LodEntry> alternateLods_;
  // The geometry not shown: the alternate one, or the model's while the alternate shows.
  std::vector<Surface>* otherSurfaces_ = nullptr;
  std::vector<LodEntry>* otherLods_ = nullptr;
  uint16_t otherCount_ = 0;
};

}  // namespace tessary
