// Listing the animation files that drive a model: a folder of 1,000 generated files of a
// viewmodel's size (60 bones, 40 frames, every key stored), listed by reading each file's
// header and names, against reading every file whole as the export does. The ratio of the
// two times is what the listing saves; both run on files the system already caches.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "fixtures/XAnimWriter.h"
#include "model/XAnimListing.h"
#include "model/XAnimReader.h"
#include "platform/Disk.h"

namespace {

namespace fs = std::filesystem;
namespace xa = tessary::test::xanim;

constexpr int kFiles = 1000;
constexpr int kBones = 60;

std::vector<std::string> BoneNames() {
  std::vector<std::string> names;
  for (int b = 0; b < kBones; ++b) names.push_back("j_bone_" + std::to_string(b));
  return names;
}

// The generated folder, removed when the program ends.
struct Folder {
  fs::path root;
  ~Folder() {
    std::error_code ec;
    fs::remove_all(root, ec);
  }
};

const fs::path& Workdir() {
  static const Folder dir = [] {
    const fs::path root = fs::temp_directory_path() / "tessary-bench-xanim";
    fs::remove_all(root);
    fs::create_directories(root / "xanim");
    xa::Anim anim;
    anim.frames = 40;
    for (const std::string& name : BoneNames()) {
      xa::Bone bone{name, false, false, {}, {}};
      for (uint16_t f = 0; f < anim.frames; ++f) {
        bone.rotations.push_back({f, 100, 200, 300});
        bone.translations.frames.push_back(f);
        bone.translations.floats.push_back({1, 2, 3});
      }
      anim.bones.push_back(bone);
    }
    const std::vector<uint8_t> bytes = xa::Write(anim).Data();
    for (int i = 0; i < kFiles; ++i) {
      std::ofstream out(root / "xanim" / ("anim_" + std::to_string(i)), std::ios::binary);
      out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    return Folder{root};
  }();
  return dir.root;
}

void ListByNames(benchmark::State& state) {
  const std::string workdir = Workdir().string();
  const std::vector<std::string> model = BoneNames();
  for (auto _ : state) {
    tessary::Disk disk;
    benchmark::DoNotOptimize(tessary::ListMatchingXAnims(disk, workdir, model));
  }
}

void ReadWholeFiles(benchmark::State& state) {
  const fs::path folder = Workdir() / "xanim";
  for (auto _ : state) {
    tessary::Disk disk;
    for (const std::string& entry : disk.Entries(folder)) benchmark::DoNotOptimize(tessary::LoadXAnim(disk, folder / entry));
  }
}

BENCHMARK(ListByNames)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadWholeFiles)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
