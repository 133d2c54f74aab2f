// The animation file layout (little-endian):
//   u16 version (14 or 17), u16 frames, u16 bone count B, u8 flags, [u8 asset type: 17],
//   u16 fps; with the delta flag a rotation track about z and a translation track;
//   a flip mask and a simple mask of (B + 7) / 8 bytes each (bit i: bone i);
//   B zero-terminated names; per bone a rotation track and a translation track;
//   u8 note count and per note a zero-terminated name and a u16 frame.
// A track is a u16 key count c: 0 keys; 1 key on frame 0; one key per slot; otherwise c
// frame indices (bytes up to 256 slots, else words) before the values.
#include "model/XAnimReader.h"

#include <algorithm>
#include <cmath>

#include "platform/Disk.h"
#include "platform/Path.h"

namespace tessary {

namespace {

namespace fs = std::filesystem;

// Thrown inside the reader only; ReadXAnim turns it into the result's message.
struct Damaged {
  std::string what;
};

Quat FromStored(int16_t x, int16_t y, int16_t z) {
  Quat q;
  q.x = x / 32768.0f;
  q.y = y / 32768.0f;
  q.z = z / 32768.0f;
  q.w = std::sqrt(std::max(0.0f, 1.0f - q.x * q.x - q.y * q.y - q.z * q.z));
  return q;
}

class Parser {
 public:
  Parser(BinaryFile& in, XAnim& anim) : in_(in), anim_(anim) {}

  // `namesOnly`: stop after the bone names (the tracks and notetracks are left unread).
  void Run(bool namesOnly = false) {
    Need(9, "its header");
    anim_.version = U16();
    if (anim_.version != 14 && anim_.version != 17)
      throw Damaged{"its version is " + std::to_string(anim_.version) + ", not 14 or 17"};
    anim_.frames = U16();
    const uint16_t boneCount = U16();
    anim_.flags = U8();
    if (anim_.Packed()) {
      Need(1, "its header");
      anim_.assetType = U8();
    }
    Need(2, "its header");
    anim_.fps = U16();
    if (anim_.frames == 0) throw Damaged{"it has no frames"};
    slots_ = anim_.KeySlots();

    if (anim_.HasDelta()) {
      ReadRotations(anim_.deltaRotations, true, "the delta rotation track");
      uint8_t precision = 0;
      ReadTranslations(anim_.deltaTranslations, precision, "the delta translation track");
    }

    const size_t maskBytes = (size_t(boneCount) + 7) / 8;
    Need(2 * maskBytes, "the bone masks");
    std::vector<uint8_t> flip(maskBytes), simple(maskBytes);
    in_.Read(flip.data(), maskBytes);
    in_.Read(simple.data(), maskBytes);

    // Every name takes at least its zero: a count beyond the bytes left is damage.
    Need(boneCount, "the bone names");
    anim_.bones.resize(boneCount);
    for (size_t i = 0; i < boneCount; ++i) {
      XAnimBone& bone = anim_.bones[i];
      bone.name = Name("the name of " + BoneLabel(i));
      bone.flipped = (flip[i / 8] >> (i % 8)) & 1;
      bone.simple = (simple[i / 8] >> (i % 8)) & 1;
    }
    if (namesOnly) return;
    for (size_t i = 0; i < boneCount; ++i) {
      XAnimBone& bone = anim_.bones[i];
      ReadRotations(bone.rotations, bone.simple, "the rotation track of " + BoneLabel(i));
      ReadTranslations(bone.translations, bone.translationPrecision,
                       "the translation track of " + BoneLabel(i));
    }

    Need(1, "the notetracks");
    const uint8_t noteCount = U8();
    anim_.notes.resize(noteCount);
    for (size_t i = 0; i < noteCount; ++i) {
      const std::string where = "notetrack " + std::to_string(i + 1);
      anim_.notes[i].name = Name("the name of " + where);
      Need(2, where);
      anim_.notes[i].frame = U16();
    }
  }

  size_t Tell() const { return size_t(std::min(in_.Tell(), in_.Size())); }

 private:
  size_t Left() const { return in_.Tell() < in_.Size() ? size_t(in_.Size() - in_.Tell()) : 0; }

  // Every read is preceded by a check that the bytes are there.
  uint8_t U8() { return in_.ReadU8(); }
  uint16_t U16() { return in_.ReadU16(); }
  float F32() { return in_.ReadF32(); }

  // A zero-terminated name; the end of the file before its zero is damage.
  std::string Name(const std::string& where) {
    std::string name;
    for (uint8_t b; ;) {
      if (!in_.ReadByte(b)) throw Damaged{"it ends inside " + where};
      if (b == 0) return name;
      name.push_back(static_cast<char>(b));
    }
  }

  void Need(size_t bytes, const std::string& where) const {
    if (bytes > Left()) throw Damaged{"it ends inside " + where};
  }

  std::string BoneLabel(size_t i) const {
    std::string label = "bone " + std::to_string(i + 1);
    if (i < anim_.bones.size() && !anim_.bones[i].name.empty()) label += " (" + anim_.bones[i].name + ")";
    return label;
  }

  // The key count and the frames of a track's keys; `valueBytes` is the least a key's value
  // takes, so that a count the file cannot hold is found before anything is kept.
  std::vector<uint16_t> ReadFrames(size_t valueBytes, const std::string& where) {
    Need(2, where);
    const uint16_t count = U16();
    if (count > slots_)
      throw Damaged{where + " has " + std::to_string(count) + " keys for " + std::to_string(slots_) +
                    " frames"};
    std::vector<uint16_t> frames(count);
    if (count == 1) {
      frames[0] = 0;
    } else if (count == slots_) {
      for (uint16_t i = 0; i < count; ++i) frames[i] = i;
    } else if (count > 1) {
      const size_t indexBytes = slots_ > 256 ? 2 : 1;
      Need(count * (indexBytes + valueBytes), where);
      for (uint16_t& f : frames) {
        f = indexBytes == 2 ? U16() : U8();
        if (f >= slots_)
          throw Damaged{where + " has a key on frame " + std::to_string(f) + " of " +
                        std::to_string(slots_)};
      }
    }
    Need(count * valueBytes, where);
    return frames;
  }

  void ReadRotations(std::vector<XAnimRotationKey>& keys, bool zOnly, const std::string& where) {
    const std::vector<uint16_t> frames = ReadFrames(zOnly ? 2 : 6, where);
    keys.resize(frames.size());
    for (size_t k = 0; k < frames.size(); ++k) {
      keys[k].frame = frames[k];
      int16_t x = 0, y = 0, z = 0;
      if (!zOnly) {
        x = static_cast<int16_t>(U16());
        y = static_cast<int16_t>(U16());
      }
      z = static_cast<int16_t>(U16());
      keys[k].rotation = FromStored(x, y, z);
    }
  }

  void ReadTranslations(std::vector<XAnimTranslationKey>& keys, uint8_t& precision,
                        const std::string& where) {
    // Version 17 packs several keys into a box: a precision byte, the box's corner and
    // size (3 floats each), then 3 bytes (precision 1) or 3 words (precision 0) per key.
    const bool packed = anim_.Packed();
    const std::vector<uint16_t> frames = ReadFrames(packed ? 3 : 12, where);
    keys.resize(frames.size());
    for (size_t k = 0; k < frames.size(); ++k) keys[k].frame = frames[k];
    if (!packed || frames.size() == 1) {
      Need(keys.size() * 12, where);
      for (auto& key : keys)
        for (float& v : key.translation) v = F32();
      return;
    }
    if (frames.empty()) return;
    Need(25, where);
    precision = U8();
    if (precision > 1) throw Damaged{where + " has the unknown precision " + std::to_string(precision)};
    float minimum[3], size[3];
    for (float& v : minimum) v = F32();
    for (float& v : size) v = F32();
    Need(keys.size() * (precision == 1 ? 3 : 6), where);
    const float steps = precision == 1 ? 255.0f : 65535.0f;
    for (auto& key : keys)
      for (int a = 0; a < 3; ++a) {
        const float q = precision == 1 ? U8() : U16();
        key.translation[a] = minimum[a] + size[a] * (q / steps);
      }
  }

  BinaryFile& in_;
  XAnim& anim_;
  uint32_t slots_ = 0;
};

XAnimResult Parse(BinaryFile& file, const std::string& name, bool namesOnly = false) {
  XAnimResult result;
  result.fileSize = size_t(file.Size());
  XAnim anim;
  anim.name = name;
  Parser parser(file, anim);
  try {
    parser.Run(namesOnly);
  } catch (const Damaged& damaged) {
    result.error = "The animation file " + name + " is damaged: " + damaged.what + ".";
    result.bytesRead = parser.Tell();
    return result;
  }
  result.bytesRead = parser.Tell();
  result.anim = std::move(anim);
  return result;
}

}  // namespace

XAnimResult ReadXAnim(const std::vector<uint8_t>& bytes, const std::string& name) {
  BinaryFile file = BinaryFile::FromBytes(bytes);
  return Parse(file, name);
}

XAnimResult ReadXAnimHeader(const std::vector<uint8_t>& bytes, const std::string& name) {
  BinaryFile file = BinaryFile::FromBytes(bytes);
  return Parse(file, name, true);
}

XAnimResult LoadXAnim(Disk& disk, const fs::path& path) {
  BinaryFile file = disk.Open(path.string());
  if (!file.IsOpen()) {
    XAnimResult result;
    result.error = "Cannot open the animation file " + path.string() + ".";
    return result;
  }
  XAnimResult result = Parse(file, path.string());
  if (result.anim) result.anim->name = disk.Resolve(path.string()).filename().string();
  return result;
}

fs::path FindXAnim(Disk& disk, const std::string& workdir, const std::string& nameOrPath) {
  std::error_code ec;
  if (nameOrPath.find_first_of("/\\") == std::string::npos) {
    const fs::path inFolder = disk.Resolve(workdir + "\\xanim\\" + nameOrPath);
    if (fs::is_regular_file(inFolder, ec)) return inFolder;
  }
  const fs::path asPath = disk.Resolve(nameOrPath);
  if (fs::is_regular_file(asPath, ec)) return asPath;
  return {};
}

}  // namespace tessary
