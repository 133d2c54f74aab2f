#include "model/AnimationPose.h"

#include <algorithm>
#include <cmath>

namespace tessary {

namespace {

// The keys around `time`: the index of the last key at or before it (0 when none is) and
// how far `time` lies towards the next key, 0 to 1.
std::pair<size_t, float> Bracket(const std::vector<float>& times, float time) {
  const auto after = std::upper_bound(times.begin(), times.end(), time);
  if (after == times.begin()) return {0, 0.0f};
  const size_t at = size_t(after - times.begin()) - 1;
  if (after == times.end()) return {at, 0.0f};
  const float span = times[at + 1] - times[at];
  return {at, span > 0 ? std::clamp((time - times[at]) / span, 0.0f, 1.0f) : 0.0f};
}

Quat Slerp(const Quat& a, const Quat& b, float t) {
  const double dot = double(a.x) * b.x + double(a.y) * b.y + double(a.z) * b.z + double(a.w) * b.w;
  double wa = 1 - t, wb = t;
  // Near-equal keys interpolate linearly (the arc is a line there), then normalise.
  if (dot < 0.9995) {
    const double angle = std::acos(std::clamp(dot, -1.0, 1.0));
    const double s = std::sin(angle);
    wa = std::sin((1 - t) * angle) / s;
    wb = std::sin(t * angle) / s;
  }
  const double x = wa * a.x + wb * b.x, y = wa * a.y + wb * b.y, z = wa * a.z + wb * b.z, w = wa * a.w + wb * b.w;
  const double length = std::sqrt(x * x + y * y + z * z + w * w);
  if (length == 0) return a;
  return Quat{float(x / length), float(y / length), float(z / length), float(w / length)};
}

}  // namespace

std::vector<Bone> PoseSkeleton(const SkeletonAnimation& animation, const std::vector<Bone>& skeleton, float time) {
  std::vector<Bone> posed = skeleton;
  for (const RotationChannel& channel : animation.rotations) {
    if (channel.bone >= posed.size() || channel.values.empty()) continue;
    const auto [at, t] = Bracket(channel.times, time);
    posed[channel.bone].rotation =
        t > 0 ? Slerp(channel.values[at], channel.values[at + 1], t) : channel.values[at];
  }
  for (const TranslationChannel& channel : animation.translations) {
    if (channel.bone >= posed.size() || channel.values.empty()) continue;
    const auto [at, t] = Bracket(channel.times, time);
    for (int a = 0; a < 3; ++a) {
      const float from = channel.values[at][size_t(a)];
      posed[channel.bone].translation[a] = t > 0 ? from + (channel.values[at + 1][size_t(a)] - from) * t : from;
    }
  }
  return posed;
}

}  // namespace tessary
