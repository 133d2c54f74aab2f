// Animations added to a glTF model: samplers, channels, the key data in the buffer and the
// extras, checked against the values the keys must give.
#include <gtest/gtest.h>
#include <tiny_gltf.h>

#include <cstring>

#include "export/GltfAnimation.h"

namespace tessary {
namespace {

std::vector<float> FloatsOf(const tinygltf::Model& m, int accessorIndex) {
  const tinygltf::Accessor& a = m.accessors.at(size_t(accessorIndex));
  const tinygltf::BufferView& v = m.bufferViews.at(size_t(a.bufferView));
  const size_t components = a.type == TINYGLTF_TYPE_SCALAR ? 1 : a.type == TINYGLTF_TYPE_VEC3 ? 3 : 4;
  EXPECT_EQ(a.componentType, TINYGLTF_COMPONENT_TYPE_FLOAT);
  EXPECT_EQ((v.byteOffset + a.byteOffset) % 4, 0u);
  std::vector<float> out(a.count * components);
  EXPECT_LE(v.byteOffset + a.byteOffset + out.size() * 4, m.buffers.at(size_t(v.buffer)).data.size());
  std::memcpy(out.data(), m.buffers[size_t(v.buffer)].data.data() + v.byteOffset + a.byteOffset, out.size() * 4);
  return out;
}

TEST(GltfAnimation, ChannelsSamplersKeysAndExtras) {
  tinygltf::Model model;
  model.buffers.emplace_back();
  model.buffers[0].data = {1, 2, 3};  // what the writer put there stays, and keys start aligned
  XAnim source;
  source.name = "reload_\xE9";
  source.version = 17;
  source.assetType = 6;
  source.frames = 10;
  source.fps = 20;
  source.notes = {{"clip_out", 4}};
  SkeletonAnimation animation;
  animation.name = source.name;
  animation.rootMotionApplied = true;
  animation.missingBones = {"j_gun"};
  animation.rotations = {{1, {0, 0.5f}, {{0, 0, 0, 1}, {0, 0, 0.6f, 0.8f}}}};
  animation.translations = {{1, {0, 0.5f}, {{1, 2, 3}, {4, 5, 6}}}, {0, {0}, {{0, 0, 1}}}};

  AddGltfAnimation(model, {7, 9}, animation, source, 0.5f);
  ASSERT_EQ(model.animations.size(), 1u);
  const tinygltf::Animation& a = model.animations[0];
  EXPECT_EQ(a.name, "reload_\xC3\xA9");
  ASSERT_EQ(a.channels.size(), 3u);
  ASSERT_EQ(a.samplers.size(), 3u);
  EXPECT_EQ(a.channels[0].target_node, 9);
  EXPECT_EQ(a.channels[0].target_path, "rotation");
  EXPECT_EQ(a.channels[1].target_node, 9);
  EXPECT_EQ(a.channels[1].target_path, "translation");
  EXPECT_EQ(a.channels[2].target_node, 7);
  for (const auto& s : a.samplers) EXPECT_EQ(s.interpolation, "LINEAR");

  const auto& rotation = a.samplers[size_t(a.channels[0].sampler)];
  EXPECT_EQ(FloatsOf(model, rotation.input), (std::vector<float>{0, 0.5f}));
  EXPECT_EQ(model.accessors[size_t(rotation.input)].minValues, (std::vector<double>{0}));
  EXPECT_EQ(model.accessors[size_t(rotation.input)].maxValues, (std::vector<double>{0.5}));
  EXPECT_EQ(model.accessors[size_t(rotation.output)].type, TINYGLTF_TYPE_VEC4);
  EXPECT_EQ(FloatsOf(model, rotation.output), (std::vector<float>{0, 0, 0, 1, 0, 0, 0.6f, 0.8f}));
  const auto& translation = a.samplers[size_t(a.channels[1].sampler)];
  EXPECT_EQ(translation.input, rotation.input);  // the same times are stored once
  EXPECT_EQ(FloatsOf(model, translation.output), (std::vector<float>{0.5f, 1, 1.5f, 2, 2.5f, 3}));
  EXPECT_EQ(FloatsOf(model, a.samplers[size_t(a.channels[2].sampler)].input), (std::vector<float>{0}));
  EXPECT_EQ(model.buffers[0].data[0], 1);

  const tinygltf::Value& extras = a.extras;
  ASSERT_TRUE(extras.IsObject());
  EXPECT_EQ(extras.Get("assetType").Get<int>(), 6);
  EXPECT_EQ(extras.Get("fps").Get<int>(), 20);
  EXPECT_TRUE(extras.Get("rootMotion").Get<bool>());
  ASSERT_EQ(extras.Get("notetracks").ArrayLen(), 1u);
  EXPECT_EQ(extras.Get("notetracks").Get(0).Get("name").Get<std::string>(), "clip_out");
  EXPECT_EQ(extras.Get("notetracks").Get(0).Get("frame").Get<int>(), 4);
  EXPECT_DOUBLE_EQ(extras.Get("notetracks").Get(0).Get("time").Get<double>(), 0.2);
  ASSERT_EQ(extras.Get("missingBones").ArrayLen(), 1u);
  EXPECT_EQ(extras.Get("missingBones").Get(0).Get<std::string>(), "j_gun");

  // A version 14 animation has no asset type.
  source.version = 14;
  AddGltfAnimation(model, {7, 9}, animation, source);
  EXPECT_FALSE(model.animations[1].extras.Has("assetType"));
}

}  // namespace
}  // namespace tessary
