// Names are bytes and glTF's JSON is UTF-8: names with bytes above 0x7F reach the file as
// the characters of the same value, in every place a name is written.
#include <gtest/gtest.h>

#include "export/GltfAnimation.h"
#include "export/GltfWriter.h"
#include "fixtures/TempWorkdir.h"
#include "model/SkeletonAnimation.h"

namespace tessary {
namespace {

TEST(GltfNames, BytesAboveAsciiInEveryNameGiveValidUtf8) {
  DecodedLevel level;
  level.modelName = "m\xE9tal";
  level.surfsName = "m\xE9tal0";
  level.version = 20;
  Bone root;
  root.name = "tag_\xF6rigin";
  level.bones = {root};
  DecodedSurface s;
  s.vertices.resize(3);
  s.triangles = {0, 1, 2};
  s.material = 0;
  level.surfaces = {s};
  level.materials = {{"mtl_\xFF", ""}};

  std::vector<std::string> notes;
  tinygltf::Model built = BuildGltf(level, {}, notes);
  XAnim anim;
  anim.name = "r\xE4load";
  anim.version = 14;
  anim.frames = 1;
  anim.fps = 30;
  anim.notes = {{"\xA7note", 0}};
  XAnimBone moved;
  moved.name = root.name;
  moved.rotations = {{0, Quat{}}};
  anim.bones = {moved};
  AddGltfAnimation(built, {GltfBoneNode(0)}, AnimateSkeleton(anim, level.bones, true), anim, 1.0f);

  test::TempWorkdir wd;
  std::string error;
  const std::string path = wd.Str() + "/obj/names.glb";
  ASSERT_TRUE(SaveGlb(built, path, error)) << error;
  tinygltf::Model doc;
  tinygltf::TinyGLTF loader;
  std::string warn;
  ASSERT_TRUE(loader.LoadBinaryFromFile(&doc, &error, &warn, path)) << error;
  EXPECT_EQ(doc.nodes.at(0).name, "m\xC3\xA9tal");
  EXPECT_EQ(doc.nodes.at(1).name, "tag_\xC3\xB6rigin");
  EXPECT_EQ(doc.scenes.at(0).name, "m\xC3\xA9tal");
  EXPECT_EQ(doc.meshes.at(0).name, "m\xC3\xA9tal0");
  EXPECT_EQ(doc.materials.at(0).name, "mtl_\xC3\xBF");
  ASSERT_EQ(doc.animations.size(), 1u);
  EXPECT_EQ(doc.animations[0].name, "r\xC3\xA4load");
}

}  // namespace
}  // namespace tessary
