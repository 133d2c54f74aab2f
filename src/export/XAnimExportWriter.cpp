// The SDK's animation source (XANIM_EXPORT, version 3): the parts, then per frame every
// part's place in world space (offset and axes, four decimals), then the notetracks. The
// games' compiler turns it back into an xanim file.
#include "export/Exporters.h"
#include "export/TextBuffer.h"
#include "export/XAnimParts.h"
#include "model/AnimationPose.h"
#include "model/SkinnedGeometry.h"

namespace tessary {

namespace {

constexpr int kDecimals = 4;

void Row(TextBuffer& out, const char* label, const Vec3& v) {
  out.Raw(label);
  for (float c : v) out.Raw(' ').Fixed(c, kDecimals);
  out.Line();
}

}  // namespace

bool WriteXAnimExport(const ExportLevel& level, OutputFile& file) {
  if (!level.decoded || level.anims.empty() || level.animations.empty()) return false;
  const XAnim& anim = level.anims.front();
  const SkeletonAnimation& animation = level.animations.front();
  const std::vector<Bone>& skeleton = level.decoded->bones;
  const std::vector<XAnimPart> parts = AnimatedParts(anim, animation, skeleton);

  TextBuffer out(file);
  out.Raw("ANIMATION").Line().Raw("VERSION 3").Line().Line();
  out.Raw("NUMPARTS ").Int(int64_t(parts.size())).Line();
  for (size_t p = 0; p < parts.size(); ++p)
    out.Raw("PART ").Int(int64_t(p)).Raw(" \"").Raw(parts[p].name).Raw('"').Line();
  out.Line();
  // A looping animation's file keeps its last frame, the wrap back to the first: the
  // compiler drops the last frame of a looping source.
  const uint32_t frames = anim.KeySlots();
  out.Raw("FRAMERATE ").Int(anim.fps).Line().Raw("NUMFRAMES ").Int(frames).Line();
  for (uint32_t f = 0; f < frames; ++f) {
    // Times as the channels have them: frame / fps.
    const float time = anim.fps == 0 ? 0.0f : float(f) / float(anim.fps);
    const std::vector<BonePose> world = WorldPoses(PoseSkeleton(animation, skeleton, time), level.scale);
    out.Line().Raw("FRAME ").Int(f).Line();
    for (size_t p = 0; p < parts.size(); ++p) {
      const BonePose& pose = world[parts[p].bone];
      out.Raw("PART ").Int(int64_t(p)).Line();
      Row(out, "OFFSET", pose.translation);
      out.Raw("SCALE 1 1 1").Line();
      Row(out, "X", Rotate(pose.rotation, {1, 0, 0}));
      Row(out, "Y", Rotate(pose.rotation, {0, 1, 0}));
      Row(out, "Z", Rotate(pose.rotation, {0, 0, 1}));
      out.Line();
    }
  }
  // The file's notetracks hang on the first part as one track; its frames are the stored
  // ones, counted from the first frame.
  out.Line().Raw("NOTETRACKS").Line().Line();
  for (size_t p = 0; p < parts.size(); ++p) {
    out.Raw("PART ").Int(int64_t(p)).Line();
    if (p == 0 && !anim.notes.empty()) {
      out.Raw("NUMTRACKS 1").Line().Raw("NOTETRACK 0").Line();
      out.Raw("NUMKEYS ").Int(int64_t(anim.notes.size())).Line();
      for (const XAnimNote& note : anim.notes) out.Raw("FRAME ").Int(note.frame).Raw(" \"").Raw(note.name).Raw('"').Line();
    } else {
      out.Raw("NUMTRACKS 0").Line();
    }
    out.Line();
  }
  return true;
}

}  // namespace tessary
