#pragma once
// The common shape of the three model generations (versions 14, 20 and 25): the level of
// detail table, the loaded surfaces file, the parts and the preview renderer, with the
// operations every generation offers in the same order.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/LoadOptions.h"
#include "model/ModelFile.h"
#include "model/ModelRenderer.h"

namespace tessary {

class CModel : public CModelFile {
 public:
  CModel() = default;
  ~CModel() override;

  // Reads the level-of-detail list and the material lists; null when the model is not
  // open, not of this class's version, or cannot be read.
  virtual std::vector<LodEntry>* LoadLods() { return nullptr; }
  virtual bool AttachWindow(void* window);
  virtual void LoadParts(int lodIndex) { (void)lodIndex; }
  // Decodes the surfaces file of level `lodIndex`; false when it cannot be loaded. A
  // surface that cannot be decoded ends the decoding with its message in `messages` (the
  // level still loads when the first surface was read).
  virtual bool LoadSurfaces(int lodIndex, bool forPreview, LoadOptions options = {}) {
    (void)lodIndex;
    (void)forPreview;
    (void)options;
    return false;
  }
  virtual void SetRolling(uint8_t flag);
  virtual void RotateX(float delta);
  virtual void RotateY(float delta);
  virtual void RotateZ(float delta);
  virtual void MoveX(float delta);
  virtual void MoveY(float delta);
  virtual void MoveZ(float delta);
  virtual bool Draw() { return false; }
  virtual int CountLodNames(BinaryFile& file, int64_t offset);

  // The preview renderer this model draws through; the preview library installs it.
  void SetRenderer(std::unique_ptr<IModelRenderer> r) { renderer = std::move(r); }

  std::vector<LodEntry> lods;
  int32_t presentLodCount = 0;
  std::unique_ptr<CSurfacesFile> surfacesFile;
  // The loaded surfaces as the files store them; `parts` likewise holds the parts as
  // stored. The preview is handed their described geometry (model/DescribedGeometry.h).
  std::vector<Surface>* curSurfaces = nullptr;
  uint16_t curSurfaceCount = 0;
  std::unique_ptr<IModelRenderer> renderer;

 protected:
  // True when the current surfaces are what a successful LoadSurfaces(lodIndex, ...)
  // left: taken, tagged with that level, and the first of them decodable.
  bool HoldsSurfacesOf(int lodIndex) const;
  // Drops the loaded surfaces file and the borrowed surfaces.
  void ReleaseSurfacesFile();
  // Takes the holder's surfaces as the current ones and tags them with `lodIndex`.
  void AdoptSurfaces(int lodIndex);
  // Drops the current surfaces and opens the surfaces file of level `lodIndex` (below
  // `levelLimit` as well); false when there is no such level or its file cannot be opened.
  bool OpenSurfacesFile(int lodIndex, int levelLimit);
  // After decoding: adopts the surfaces, and for a preview hands them to the renderer. False
  // when there are none, or (with `checkFirst`) when the first cannot be shown.
  bool FinishLoadingSurfaces(int lodIndex, bool forPreview, bool checkFirst, LoadOptions options = {});
  // Hands the described geometry of the current surfaces on the current parts to the
  // renderer, with the image folder beside `folder`.
  void HandSurfacesToRenderer(LoadOptions options);
  // The list of one unnamed root part at the origin.
  void UseRootPartOnly();
  // Reads the parts file named after level 0 (the tags with their stored positions);
  // a missing or unreadable file, or one of another version, gives the root part alone.
  // Each name is followed by `bytesAfterName` bytes; an empty name reads as "tag_origin"
  // when `emptyNameIsOrigin`.
  void ReadPartsFile(uint32_t partsVersion, int64_t bytesAfterName = 0, bool emptyNameIsOrigin = true);
  // Opens the parts file named after level 0 and reads its six head bytes; false (with the
  // root part alone in `parts`) when it is missing, short or of another version.
  bool OpenPartsFile(uint32_t partsVersion, BinaryFile& file, uint8_t (&head)[6]);
  // Reads one level's material list at the file's position: count byte, one skipped byte,
  // then the names (a name the forward measure gives up on reads empty), each with its
  // colour image looked up in the materials folder when `lookUpImages`.
  void ReadMaterialList(BinaryFile& file, LodEntry& lod, bool lookUpImages = true);
  // Reads the level-of-detail names from `firstName` on, `lodCount` entries.
  void ReadLodNames(BinaryFile& file, int64_t firstName);
  // Empties the level table; true when the header is open and of `expectedVersion`.
  bool ResetLods(uint32_t expectedVersion);
  // The level table of a header whose entries are counted from `countAt` and named from
  // `firstName` on; null when the header is not open, of another version or unreadable.
  std::vector<LodEntry>* ReadLodTable(uint32_t expectedVersion, int64_t countAt, int64_t firstName);

 private:
  std::vector<Surface> shownSurfaces;  // what the renderer draws, while it has them
};

// The colour image named by a material file, with ".dds" when a converted image lies in
// the images folder beside the materials folder, else ".iwi"; "" when the file cannot be
// opened.
std::string ImageForMaterial(Disk& disk, const std::string& materialPath);

// The level a command takes when none is named: the first whose name was read; nullopt
// when there is none.
std::optional<int> DefaultLevel(const std::vector<LodEntry>& lods);

}  // namespace tessary
