#pragma once
// What a model object asks of its preview renderer. The renderer itself (OpenGL) lives in
// the preview library; the core only knows this interface, so that reading and exporting
// never need a graphics stack. A model without a renderer draws nothing.
#include <cstdint>
#include <string>
#include <vector>

#include "model/ModelRecords.h"

namespace tessary {

class Disk;

// Variant codes of `Draw`: which drawer and which kind of triangle lists.
enum class DrawVariant : int { Strips = 1, ListsV20 = 2, ListsV25 = 3 };

class IModelRenderer {
 public:
  virtual ~IModelRenderer() = default;
  // The model's AttachWindow: `window` is the drawing surface the preview library knows
  // (its GL host, whose context the renderer borrows); the renderer sets up its state and
  // returns the result of its projection update.
  virtual bool Attach(void* window) = 0;
  // The images of the surfaces are read on `disk`, which must outlive the renderer's use.
  virtual void SetImageFolder(Disk& disk, const std::string& modelFolder) = 0;
  virtual bool SetSurfaces(std::vector<Surface>* surfaces, uint16_t count,
                           std::vector<LodEntry>* lods) = 0;
  virtual void SetRolling(uint8_t on) = 0;
  virtual void RotateX(float delta) = 0;
  virtual void RotateY(float delta) = 0;
  virtual void RotateZ(float delta) = 0;
  virtual void MoveX(float delta) = 0;
  virtual void MoveY(float delta) = 0;
  virtual void MoveZ(float delta) = 0;
  virtual bool Draw(DrawVariant variant) = 0;
};

}  // namespace tessary
