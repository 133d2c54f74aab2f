#pragma once
// One animation file (xanim) of the games as read: plain data, owned by value. Keys lie on
// key slots 0 .. KeySlots() - 1; a slot's time is slot / fps seconds.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/DecodedLevel.h"

namespace tessary {

struct XAnimRotationKey {
  uint16_t frame = 0;
  Quat rotation;  // as stored (a key may be the negated quaternion of its neighbour's sign)
};

struct XAnimTranslationKey {
  uint16_t frame = 0;
  // As stored: the bone's whole local translation in a relative animation, else added to
  // its bind translation (XAnim::TranslationIsLocal).
  std::array<float, 3> translation{0, 0, 0};
};

struct XAnimBone {
  std::string name;
  bool simple = false;   // rotation stored about z only
  bool flipped = false;  // rotation stored negated
  std::vector<XAnimRotationKey> rotations;
  std::vector<XAnimTranslationKey> translations;
  // For version 17 tracks of several keys: 1 when the translation keys are bytes, 0 words.
  uint8_t translationPrecision = 0;
};

struct XAnimNote {
  std::string name;
  uint16_t frame = 0;
};

struct XAnim {
  static constexpr uint8_t kLooping = 1;
  static constexpr uint8_t kDelta = 2;   // root motion: the delta tracks are present
  // Asset types of the fourth game (the byte after the flags). A relative animation (all
  // viewmodel animations) stores each bone's whole local translation; a delta animation
  // (root motion) stores offsets from the bind translation. What the other types store the
  // files at hand do not show: they are read as offsets, as the delta type.
  static constexpr uint8_t kRelative = 1;
  static constexpr uint8_t kDeltaType = 2;
  static constexpr uint8_t kAdditive = 6;  // asset type of animations layered on another

  // The fourth game's version: it stores an asset type and packs several translation keys
  // into a box.
  static constexpr uint16_t kPackedVersion = 17;

  std::string name;  // the file's name
  uint16_t version = 0;  // 14 (first and second games) or kPackedVersion (fourth game)
  uint16_t frames = 0;   // stored frame count
  uint8_t flags = 0;
  uint8_t assetType = 0;  // version 17 only
  uint16_t fps = 0;
  std::vector<XAnimRotationKey> deltaRotations;  // about z only
  std::vector<XAnimTranslationKey> deltaTranslations;
  std::vector<XAnimBone> bones;
  std::vector<XAnimNote> notes;

  bool Looping() const { return (flags & kLooping) != 0; }
  // Whether the file stores an asset type and packed translation keys.
  bool Packed() const { return version == kPackedVersion; }
  bool HasDelta() const { return (flags & kDelta) != 0; }
  // Whether a bone's stored translation is its local translation (else an offset from its
  // bind translation).
  bool TranslationIsLocal() const { return Packed() && assetType == kRelative; }
  // Slots keys may lie on: one more than the frames for a looping animation, which repeats
  // its first key in the last slot.
  uint32_t KeySlots() const { return uint32_t(frames) + (Looping() ? 1 : 0); }
  // (slots - 1) / fps; 0 for a single slot or no frame rate.
  double Duration() const { return fps == 0 || KeySlots() < 2 ? 0.0 : double(KeySlots() - 1) / fps; }
};

}  // namespace tessary
