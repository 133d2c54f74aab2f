#include "export/GltfAnimation.h"

#include <tiny_gltf.h>

#include <algorithm>
#include <cstring>
#include <map>

#include "platform/Latin1Text.h"

namespace tessary {

namespace {

class KeyWriter {
 public:
  explicit KeyWriter(tinygltf::Model& model) : model_(model) {
    if (model_.buffers.empty()) model_.buffers.emplace_back();
  }

  // An accessor of `count` elements of `components` floats each.
  int Floats(const float* values, size_t count, int components, bool withBounds) {
    std::vector<unsigned char>& data = model_.buffers[0].data;
    data.resize((data.size() + 3) & ~size_t(3), 0);  // floats start on a 4-byte boundary
    tinygltf::BufferView view;
    view.buffer = 0;
    view.byteOffset = data.size();
    view.byteLength = count * size_t(components) * sizeof(float);
    const size_t start = data.size();
    data.resize(start + view.byteLength);
    if (view.byteLength > 0) std::memcpy(data.data() + start, values, view.byteLength);
    model_.bufferViews.push_back(view);

    tinygltf::Accessor accessor;
    accessor.bufferView = int(model_.bufferViews.size() - 1);
    accessor.componentType = TINYGLTF_COMPONENT_TYPE_FLOAT;
    accessor.count = count;
    accessor.type = components == 1 ? TINYGLTF_TYPE_SCALAR : components == 3 ? TINYGLTF_TYPE_VEC3 : TINYGLTF_TYPE_VEC4;
    if (withBounds && count > 0) {
      accessor.minValues.assign(size_t(components), values[0]);
      accessor.maxValues.assign(size_t(components), values[0]);
      for (size_t i = 0; i < count; ++i)
        for (int c = 0; c < components; ++c) {
          const double v = values[i * size_t(components) + size_t(c)];
          accessor.minValues[size_t(c)] = std::min(accessor.minValues[size_t(c)], v);
          accessor.maxValues[size_t(c)] = std::max(accessor.maxValues[size_t(c)], v);
        }
    }
    model_.accessors.push_back(accessor);
    return int(model_.accessors.size() - 1);
  }

  // Channels with the same key times share one input accessor (glTF requires its bounds).
  int Times(const std::vector<float>& times) {
    auto it = times_.find(times);
    if (it != times_.end()) return it->second;
    const int accessor = Floats(times.data(), times.size(), 1, true);
    times_.emplace(times, accessor);
    return accessor;
  }

 private:
  tinygltf::Model& model_;
  std::map<std::vector<float>, int> times_;
};

void AddChannel(tinygltf::Animation& animation, int node, const char* path, int input, int output) {
  tinygltf::AnimationSampler sampler;
  sampler.input = input;
  sampler.output = output;
  sampler.interpolation = "LINEAR";
  animation.samplers.push_back(sampler);
  tinygltf::AnimationChannel channel;
  channel.sampler = int(animation.samplers.size() - 1);
  channel.target_node = node;
  channel.target_path = path;
  animation.channels.push_back(channel);
}

}  // namespace

bool AddGltfAnimation(tinygltf::Model& model, const std::vector<int>& boneNodes, const SkeletonAnimation& animation,
                      const XAnim& source, float translationScale) {
  // glTF has no animation without a channel.
  const auto laid = [&](const auto& channel) { return channel.bone < boneNodes.size() && !channel.times.empty(); };
  if (std::none_of(animation.rotations.begin(), animation.rotations.end(), laid) &&
      std::none_of(animation.translations.begin(), animation.translations.end(), laid))
    return false;
  KeyWriter keys(model);
  tinygltf::Animation out;
  out.name = Latin1ToUtf8(animation.name);

  for (const RotationChannel& channel : animation.rotations) {
    if (channel.bone >= boneNodes.size() || channel.times.empty()) continue;
    std::vector<float> values;
    values.reserve(channel.values.size() * 4);
    for (const Quat& q : channel.values) values.insert(values.end(), {q.x, q.y, q.z, q.w});
    AddChannel(out, boneNodes[channel.bone], "rotation", keys.Times(channel.times),
               keys.Floats(values.data(), channel.values.size(), 4, false));
  }
  for (const TranslationChannel& channel : animation.translations) {
    if (channel.bone >= boneNodes.size() || channel.times.empty()) continue;
    std::vector<float> values;
    values.reserve(channel.values.size() * 3);
    for (const auto& t : channel.values)
      values.insert(values.end(), {t[0] * translationScale, t[1] * translationScale, t[2] * translationScale});
    AddChannel(out, boneNodes[channel.bone], "translation", keys.Times(channel.times),
               keys.Floats(values.data(), channel.values.size(), 3, false));
  }

  tinygltf::Value::Object extras;
  tinygltf::Value::Array notes;
  for (const XAnimNote& note : source.notes) {
    tinygltf::Value::Object n;
    n["name"] = tinygltf::Value(Latin1ToUtf8(note.name));
    n["frame"] = tinygltf::Value(int(note.frame));
    n["time"] = tinygltf::Value(source.fps == 0 ? 0.0 : double(note.frame) / source.fps);
    notes.emplace_back(std::move(n));
  }
  extras["notetracks"] = tinygltf::Value(std::move(notes));
  if (source.Packed()) extras["assetType"] = tinygltf::Value(int(source.assetType));
  extras["frames"] = tinygltf::Value(int(source.frames));
  extras["fps"] = tinygltf::Value(int(source.fps));
  extras["looping"] = tinygltf::Value(source.Looping());
  extras["rootMotion"] = tinygltf::Value(animation.rootMotionApplied);
  tinygltf::Value::Array missing;
  for (const std::string& name : animation.missingBones) missing.emplace_back(Latin1ToUtf8(name));
  extras["missingBones"] = tinygltf::Value(std::move(missing));
  out.extras = tinygltf::Value(std::move(extras));
  model.animations.push_back(std::move(out));
  return true;
}

}  // namespace tessary
