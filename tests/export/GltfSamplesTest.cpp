// Every sample model exported as glTF, and every sample animation read and exported with the
// model it drives, checked by the Khronos glTF validator (when node and the validator package are installed:
// scripts/install-deps.sh puts it in .tools/).
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <set>

#include "export/AnimatedGltfExport.h"
#include "export/GltfWriter.h"
#include "fixtures/TempWorkdir.h"
#include "model/StructuralReader.h"
#include "model/XAnimReader.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;

// Runs `command`, returning its exit status and standard output.
int RunCommand(const std::string& command, std::string& output) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) return -1;
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe.get())) > 0;) output.append(buffer, n);
  const int status = pclose(pipe.release());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(GltfSamples, EverySampleAndAnimationExportsWithoutValidatorErrors) {
  const auto samples = test::SamplesDir();
  if (samples.empty() || !fs::is_directory(samples / "cod2" / "xanim")) GTEST_SKIP() << "samples not present";
  test::TempWorkdir out;
  std::vector<std::string> files;
  for (const char* game : {"cod1", "cod2", "cod4", "cod1-animated"}) {
    for (const auto& entry : fs::directory_iterator(samples / game / "xmodel")) {
      std::string error;
      auto level = ReadStructuralLevel((samples / game).string(), entry.path().filename().string(), std::nullopt, error);
      ASSERT_TRUE(level) << error;
      std::vector<std::string> notes;
      const tinygltf::Model doc = BuildGltf(*level, {}, notes);
      EXPECT_TRUE(notes.empty()) << notes.front();  // every sample image decodes
      EXPECT_EQ(doc.skins.at(0).joints.size(), level->bones.size());
      EXPECT_EQ(doc.meshes.at(0).primitives.size(), level->surfaces.size());  // none left out for a bad index
      files.push_back((out.Path() / (std::string(game) + "_" + level->surfsName + ".glb")).string());
      ASSERT_TRUE(SaveGlb(doc, files.back(), error)) << error;
    }
  }
  // Every sample animation reads to its last byte with the header its notes give (version,
  // frames, flags, frame rate, bones, notes) and unit rotations.
  const std::map<std::string, std::array<size_t, 6>> anims = {
      {"cod1-animated/Cocktail_throw", {14, 6, 0, 30, 49, 0}}, {"cod2/hoek_cross_reload", {14, 34, 0, 30, 59, 0}},
      {"cod2/hoek_cross_idle", {14, 1, 0, 30, 59, 0}}, {"cod4/unarmed_walk_slow", {17, 35, 2, 30, 91, 2}}};
  size_t seen = 0;
  for (const char* game : {"cod1-animated", "cod2", "cod4"}) {
    for (const auto& entry : fs::directory_iterator(samples / game / "xanim")) {
      const std::string key = std::string(game) + "/" + entry.path().filename().string();
      SCOPED_TRACE(key);
      XAnimResult r = LoadXAnim(entry.path());
      ASSERT_TRUE(r.anim) << r.error;
      EXPECT_EQ(r.bytesRead, fs::file_size(entry.path()));
      const XAnim& a = *r.anim;
      EXPECT_EQ(anims.at(key), (std::array<size_t, 6>{a.version, a.frames, a.flags, a.fps, a.bones.size(), a.notes.size()}));
      for (const XAnimBone& bone : a.bones)
        for (const auto& k : bone.rotations)
          EXPECT_NEAR(k.rotation.x * k.rotation.x + k.rotation.y * k.rotation.y + k.rotation.z * k.rotation.z +
                          k.rotation.w * k.rotation.w, 1.0, 1e-3) << bone.name;
      ++seen;
      if (a.version != 17) continue;
      // The walk goes forward along x, about 56 units in its 34 frames, with root motion
      // and translations of both precisions.
      ASSERT_EQ(a.deltaTranslations.size(), 18u);
      EXPECT_NEAR(a.deltaTranslations.back().translation[0], 56.45, 0.01);
      EXPECT_EQ(a.deltaTranslations.back().frame, 34);
      std::set<int> precisions;
      for (const XAnimBone& bone : a.bones)
        if (bone.translations.size() > 1) precisions.insert(bone.translationPrecision);
      EXPECT_EQ(precisions, (std::set<int>{0, 1}));
    }
  }
  EXPECT_EQ(seen, anims.size());

  // Each animation with the model it drives (a viewmodel's arms with a weapon joined), and
  // how many of the (first) animation's bones the models lack.
  const struct { const char *game, *model, *with; std::vector<std::string> anims; size_t missing; } cases[] = {
      {"cod1-animated", "viewmodel_m1carbine_gfm", "", {"Cocktail_throw"}, 4},
      {"cod2", "zk_vm_stormtrooper", "viewmodel_g3", {"hoek_cross_reload", "hoek_cross_idle"}, 2},
      {"cod4", "defaultactor", "", {"unarmed_walk_slow"}, 25},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.model);
    // A copy of the sample folder, so that the export writes into a folder of its own.
    const fs::path work = out.Path() / c.game;
    fs::create_directories(work / "obj");
    fs::copy(samples / c.game, work, fs::copy_options::recursive | fs::copy_options::skip_existing);
    std::vector<std::string> notes, warnings;
    const ExportOutcome outcome = ExportAnimatedGltfFile(work.string(), c.model, std::nullopt, {},
                                                         {.animations = c.anims, .withModel = c.with}, notes, warnings);
    ASSERT_TRUE(outcome.ok) << outcome.error;
    ASSERT_FALSE(warnings.empty());
    EXPECT_NE(warnings[0].find(": " + std::to_string(c.missing) + " of its"), std::string::npos) << warnings[0];
    tinygltf::Model doc;
    tinygltf::TinyGLTF loader;
    std::string error, warn;
    ASSERT_TRUE(loader.LoadBinaryFromFile(&doc, &error, &warn, outcome.written.at(0))) << error;
    ASSERT_EQ(doc.animations.size(), c.anims.size());
    files.push_back(outcome.written[0]);
  }

  const fs::path package = TESSARY_GLTF_VALIDATOR_DIR;
  std::string report;
  if (!fs::exists(package / "package.json") || RunCommand("node --version", report) != 0)
    GTEST_SKIP() << "node or the gltf-validator package (" << package << ") is not installed";
  std::string command = "node '" TESSARY_SOURCE_DIR "/scripts/validate-gltf.js' '" + package.string() + "'";
  for (const std::string& f : files) command += " '" + f + "'";
  report.clear();
  EXPECT_EQ(RunCommand(command, report), 0) << report;
  for (size_t at = report.find(" errors"); at != std::string::npos; at = report.find(" errors", at + 1))
    EXPECT_EQ(report.substr(at - 3, 3), ": 0") << report;
}

}  // namespace
}  // namespace tessary
