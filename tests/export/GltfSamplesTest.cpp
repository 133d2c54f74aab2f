// Every sample model exported as glTF, checked by the Khronos glTF validator (when node and
// the validator package are installed: scripts/install-deps.sh puts it in .tools/).
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "export/GltfWriter.h"
#include "fixtures/TempWorkdir.h"
#include "model/StructuralReader.h"

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

TEST(GltfSamples, EverySampleExportsWithoutValidatorErrors) {
  const auto samples = test::SamplesDir();
  if (samples.empty()) GTEST_SKIP() << "samples not present";
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
      const std::string path = (out.Path() / (std::string(game) + "_" + level->surfsName + ".glb")).string();
      ASSERT_TRUE(SaveGlb(doc, path, error)) << error;
      files.push_back(path);
    }
  }
  const fs::path package = TESSARY_GLTF_VALIDATOR_DIR;
  std::string ignored;
  if (!fs::exists(package / "package.json") || RunCommand("node --version", ignored) != 0)
    GTEST_SKIP() << "node or the gltf-validator package (" << package << ") is not installed";
  std::string command = "node '" TESSARY_SOURCE_DIR "/scripts/validate-gltf.js' '" + package.string() + "'";
  for (const std::string& f : files) command += " '" + f + "'";
  std::string report;
  EXPECT_EQ(RunCommand(command, report), 0) << report;
  EXPECT_NE(report.find("0 errors"), std::string::npos) << report;
}

}  // namespace
}  // namespace tessary
