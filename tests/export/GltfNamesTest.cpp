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
  const DecodedLevel level{.modelName = "m\xE9tal", .version = 20, .surfsName = "m\xE9tal0", .bones = {{"tag_\xF6rigin"}},
                           .surfaces = {{.vertices = {{}, {}, {}}, .triangles = {0, 1, 2}, .material = 0}},
                           .materials = {{"mtl_\xFF", ""}}};
  std::vector<std::string> notes;
  tinygltf::Model built = BuildGltf(level, {}, notes);
  const XAnim anim{.name = "r\xE4load", .version = 14, .frames = 1, .fps = 30,
                   .bones = {{.name = "tag_\xF6rigin", .rotations = {{0, Quat{}}}}}, .notes = {{"\xA7note", 0}}};
  AddGltfAnimation(built, {GltfBoneNode(0)}, AnimateSkeleton(anim, level.bones, true), anim, 1.0f);

  test::TempWorkdir wd;
  std::string error;
  const std::string path = wd.Str() + "/obj/names.glb";
  ASSERT_TRUE(SaveGlb(built, path, error)) << error;
  tinygltf::Model doc;
  tinygltf::TinyGLTF loader;
  std::string warn;
  ASSERT_TRUE(loader.LoadBinaryFromFile(&doc, &error, &warn, path)) << error;
  ASSERT_EQ(doc.animations.size(), 1u);
  EXPECT_EQ((std::vector<std::string>{doc.nodes.at(0).name, doc.nodes.at(1).name, doc.scenes.at(0).name,
                                      doc.meshes.at(0).name, doc.materials.at(0).name, doc.animations[0].name}),
            (std::vector<std::string>{"m\xC3\xA9tal", "tag_\xC3\xB6rigin", "m\xC3\xA9tal", "m\xC3\xA9tal0",
                                      "mtl_\xC3\xBF", "r\xC3\xA4load"}));
}

}  // namespace
}  // namespace tessary
