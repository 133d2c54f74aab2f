// OBJ export speed: a generated level of 64 surfaces of 10,000 vertices written through
// the export's buffered writer, and the same text through snprintf as a baseline.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "export/ObjFormat.h"
#include "platform/OutputFile.h"

namespace {

using namespace tessary;

constexpr int kSurfaces = 64;
constexpr int kVertices = 10000;

struct Level {
  LodEntry lod;
  std::vector<Surface> surfaces;
};

const Level& BigLevel() {
  static const Level level = [] {
    Level l;
    l.lod.present = true;
    l.lod.surfsName = "bench_lod0";
    std::mt19937 rng(25);
    std::uniform_real_distribution<float> coordinate(-500.0f, 500.0f);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    std::uniform_real_distribution<float> uv(0.0f, 1.0f);
    std::uniform_int_distribution<int> corner(0, kVertices - 1);
    for (int s = 0; s < kSurfaces; ++s) {
      MaterialEntry m;
      m.name = "mtl_bench_" + std::to_string(s % 8);
      l.lod.materials.push_back(m);
      Surface surface;
      surface.vertexCount = kVertices;
      surface.facesLoaded = true;
      surface.triListCount = 1;
      surface.vertices.resize(kVertices);
      for (Vertex& v : surface.vertices) {
        for (float& c : v.position) c = coordinate(rng);
        for (float& c : v.normal) c = unit(rng);
        for (float& c : v.uv) c = uv(rng);
      }
      TriList list;
      list.triCount = 2 * kVertices;
      for (uint32_t i = 0; i < 3 * list.triCount; ++i)
        list.indices.push_back(static_cast<uint16_t>(corner(rng)));
      surface.triLists.push_back(std::move(list));
      l.surfaces.push_back(std::move(surface));
    }
    l.lod.materialCount = static_cast<int32_t>(l.lod.materials.size());
    return l;
  }();
  return level;
}

std::string OutputPath() {
  return (std::filesystem::temp_directory_path() / "tessary-bench.obj").string();
}

double PeakRssMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_ObjExport(benchmark::State& state) {
  const Level& level = BigLevel();
  int64_t bytes = 0;
  for (auto _ : state) {
    OutputFile file;
    if (!file.OpenExact(OutputPath())) state.SkipWithError("cannot create the output file");
    {
      TextBuffer out(file);
      WriteTriangleListObj(out, ObjStyle{}, "bench", level.lod, level.surfaces, level.surfaces.size());
    }
    file.Commit();
    bytes += static_cast<int64_t>(std::filesystem::file_size(OutputPath()));
  }
  state.SetBytesProcessed(bytes);
  state.counters["peak_rss_MiB"] = PeakRssMiB();
}

// The same bytes through snprintf, one call per line, into a buffer of the same size.
void BM_ObjExportSnprintf(benchmark::State& state) {
  const Level& level = BigLevel();
  int64_t bytes = 0;
  std::vector<char> buffer(1 << 20);
  for (auto _ : state) {
    OutputFile file;
    if (!file.OpenExact(OutputPath())) state.SkipWithError("cannot create the output file");
    size_t used = 0;
    auto print = [&](const char* format, auto... args) {
      if (buffer.size() - used < 512) {
        file.Write(buffer.data(), used);
        used = 0;
      }
      used += static_cast<size_t>(std::snprintf(buffer.data() + used, buffer.size() - used, format, args...));
    };
    print("\r\n# %s\r\n# Created by Tessary: Version 5.0\r\n# Created from: %s\r\n\r\nmtllib %s.mtl\r\n",
          "https://example", "bench", level.lod.surfsName.c_str());
    long base = 1;
    for (size_t g = 0; g < level.surfaces.size(); ++g) {
      const Surface& s = level.surfaces[g];
      for (const Vertex& v : s.vertices)
        print("v %f %f %f\r\n", v.position[0], v.position[1], v.position[2]);
      print("# %i vertices\r\n", s.vertexCount);
      for (const Vertex& v : s.vertices) print("vt %f %f\r\n", v.uv[0], 1.0 - v.uv[1]);
      print("# %i UVs\r\n", s.vertexCount);
      for (const Vertex& v : s.vertices) print("vn %f %f %f\r\n", v.normal[0], v.normal[1], v.normal[2]);
      print("# %i normals\r\n\r\ns off\r\ng Group%i\r\nusemtl %s\r\n", s.vertexCount, static_cast<int>(g),
            level.lod.materials[g].name.c_str());
      const TriList& list = s.triLists[0];
      int faces = 0;
      for (size_t i = 0; i + 3 <= list.indices.size(); i += 3) {
        long a = list.indices[i] + base, b = list.indices[i + 1] + base, c = list.indices[i + 2] + base;
        if (a == b || a == c || b == c) continue;
        print("f %li/%li/%li %li/%li/%li %li/%li/%li\r\n", a, a, a, c, c, c, b, b, b);
        ++faces;
      }
      print("# %i faces\r\n", faces);
      base += s.vertexCount;
    }
    file.Write(buffer.data(), used);
    file.Commit();
    bytes += static_cast<int64_t>(std::filesystem::file_size(OutputPath()));
  }
  state.SetBytesProcessed(bytes);
}

BENCHMARK(BM_ObjExport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ObjExportSnprintf)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove(OutputPath());
  return 0;
}
