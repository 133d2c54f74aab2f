// The keyboard half of the preview: read once per frame, so a held key repeats its effect
// every frame. The keypad toggles fire once per press, when the key is let go.
#include "preview/PreviewRenderer.h"

namespace tessary {

namespace {

// A toggle key seen down arms its toggle; kept for the life of the program.
struct ToggleArms {
  bool pad1 = false, pad3 = false, pad4 = false, pad5 = false, pad6 = false, pad7 = false;
};
ToggleArms arms;

void Toggle(bool down, bool& armed, uint8_t& flag) {
  if (down) {
    armed = true;
  } else if (armed) {
    flag = flag ? 0 : 1;
    armed = false;
  }
}

}  // namespace

void CPreviewRenderer::PollKeys() {
  auto down = [this](PreviewKey key) { return keySource && keySource->IsDown(key); };
  const bool up = down(PreviewKey::Up), dn = down(PreviewKey::Down);
  const bool left = down(PreviewKey::Left), right = down(PreviewKey::Right);
  const bool shift = down(PreviewKey::Shift), ctrl = down(PreviewKey::Ctrl);

  Toggle(down(PreviewKey::Pad3), arms.pad3, showMaterials);
  Toggle(down(PreviewKey::Pad4), arms.pad4, showUv);
  Toggle(down(PreviewKey::Pad5), arms.pad5, wireframe);
  Toggle(down(PreviewKey::Pad6), arms.pad6, showFloor);
  Toggle(down(PreviewKey::Pad1), arms.pad1, skinsOff);
  uint8_t alternate = showingAlternate;
  Toggle(down(PreviewKey::Pad7), arms.pad7, alternate);
  if (alternate != showingAlternate) SwapSurfaces();

  if (rolling) {
    rotationX += 1.5f;
    rotationY += 1.5f;
  }
  if (down(PreviewKey::Pad2)) rolling = 1;

  if (shift && ctrl) {
    rolling = 0;
    if (left) rotationZ -= 2;
    if (right) rotationZ += 2;
  } else if (shift) {
    rolling = 0;
    if (up) offsetY += 3;
    if (dn) offsetY -= 3;
    if (left) offsetX += 3;
    if (right) offsetX -= 3;
  } else if (ctrl) {
    rolling = 0;
    if (up) rotationX += 2;
    if (dn) rotationX -= 2;
    if (left) rotationY -= 2;
    if (right) rotationY += 2;
  } else {
    if (up) offsetZ += 1;
    if (dn) offsetZ -= 1;
    if (left) offsetZ -= 20;
    if (right) offsetZ += 20;
  }
}

}  // namespace tessary
