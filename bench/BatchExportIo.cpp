// The helper of bench/batch-export.sh.
//
//   bench_batch_io make-workdir SAMPLES DEST HEADERS
//     Builds a working folder of at least HEADERS model headers from the version 20 and 25
//     sample models: copies under many names, each copy with levels of its own (the level
//     names in the header rewritten, their surfaces and parts files copied to match). In
//     every third copy the header spells its level names in capitals while the files on
//     disk are lower case. Prints the number of headers written.
//
//   bench_batch_io floor WORKDIR REFERENCE OUT
//     The floor an export of WORKDIR cannot beat: reads every input file of WORKDIR once
//     and writes files of the same names and sizes as those in REFERENCE (the output of an
//     earlier export) into OUT. Prints the seconds taken.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct SampleModel {
  const char* game;
  const char* header;
  std::vector<std::string> levels;  // as the header spells them
  int weight;                       // copies per round
};

// The samples that export (fx names no level long enough to read). Weights keep the
// output near the size of a real game's: the large vehicle is copied less often.
const std::vector<SampleModel> kSamples = {
    {"cod2", "cube", {"cube0"}, 4},
    {"cod2", "bx_zombie_throw", {"bx_zombie_throw0"}, 4},
    {"cod2", "weapon_g36c", {"weapon_g36c1", "weapon_g36c_LOD0", "weapon_g36c_LOD20"}, 2},
    {"cod2", "viewmodel_g3", {"viewmodel_g32"}, 2},
    {"cod2", "zk_vm_stormtrooper", {"zk_vm_stormtrooper4"}, 2},
    {"cod2", "droneXaii", {"dronNLxaii2"}, 2},
    {"cod2", "zom_rocketl1", {"zom_rocketl10"}, 4},
    {"cod2", "iwx_minecraft", {"iwx_minecraft3"}, 4},
    {"cod4", "vehicle_80s_hatch2_yel_destructible_mp",
     {"vehicle_80s_hatch2_destructible_mp_lod01", "vehicle_80s_hatch2_destructible_mp_lod11",
      "vehicle_80s_hatch2_destructible_mp_lod21"}, 1},
    {"cod4", "weapon_dragunov", {"weapon_dragunov_lod01", "weapon_dragunov_lod11", "weapon_dragunov_lod21"}, 2},
    {"cod4", "viewmodel_ussmokegrenade", {"viewmodel_smoke_grenade1"}, 4},
    {"cod4", "defaultactor", {"defaultactor1"}, 4},
    {"cod4", "com_two_light_fixture_on", {"twolightsfixture_lit_lod01", "twolightsfixture_lit_lod11"}, 4},
    {"cod4", "vehicle_pickup_truck_parklight_lfront_glow", {"pickup_truck_parklight_LFront_glow1"}, 6},
    {"cod4", "church_dome_intact", {"prop_churchdome_intact1"}, 4},
    {"cod4", "head_jason_turban",
     {"head_jason_turban_lod00", "head_jason_turban_lod10", "head_jason_turban_lod20", "head_jason_turban_lod30"}, 2},
};

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + file.string());
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const fs::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

// The entry of `folder` named `name` in any letter case.
fs::path FindNoCase(const fs::path& folder, const std::string& name) {
  for (const auto& entry : fs::directory_iterator(folder))
    if (Lower(entry.path().filename().string()) == Lower(name)) return entry.path();
  throw std::runtime_error("no " + name + " in " + folder.string());
}

// A name of the same length as `name` whose first five characters say which copy it is.
std::string Renamed(const std::string& name, int copy) {
  static const char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  std::string code = "q";
  for (int i = 0, n = copy; i < 4; ++i, n /= 36) code += kDigits[n % 36];
  return code + name.substr(std::min<size_t>(5, name.size()));
}

int MakeWorkdir(const fs::path& samples, const fs::path& dest, int headers) {
  for (const char* sub : {"xmodel", "xmodelsurfs", "xmodelparts", "materials", "images"})
    fs::create_directories(dest / sub);
  for (const char* game : {"cod2", "cod4"})
    for (const char* sub : {"materials", "images"})
      if (fs::is_directory(samples / game / sub))
        for (const auto& entry : fs::directory_iterator(samples / game / sub))
          fs::copy_file(entry.path(), dest / sub / entry.path().filename(),
                        fs::copy_options::overwrite_existing);

  int written = 0;
  for (int copy = 0; written < headers; ) {
    for (const SampleModel& model : kSamples) {
      for (int w = 0; w < model.weight; ++w, ++copy, ++written) {
        const fs::path game = samples / model.game;
        const bool capitals = copy % 3 == 2;
        std::string header = ReadAll(game / "xmodel" / model.header);
        for (size_t level = 0; level < model.levels.size(); ++level) {
          const std::string& old = model.levels[level];
          std::string spelled = Renamed(old, copy);
          if (capitals) spelled = Upper(spelled);
          // Every occurrence of the name as a whole string (a header may name one
          // surfaces file for several levels).
          const std::string from = old + '\0', to = spelled + '\0';
          size_t hits = 0;
          for (size_t at = header.find(from); at != std::string::npos; at = header.find(from, at + 1), ++hits)
            header.replace(at, to.size(), to);
          if (hits == 0) throw std::runtime_error(old + " is not in " + model.header);
          // Files on disk keep the sample's spelling, or lower case for the capitals.
          for (const char* sub : {"xmodelsurfs", "xmodelparts"}) {
            if (std::string(sub) == "xmodelparts" && level != 0) continue;
            fs::path source = FindNoCase(game / sub, old);
            std::string onDisk = Renamed(source.filename().string(), copy);
            fs::path target = dest / sub / (capitals ? Lower(onDisk) : onDisk);
            if (!fs::exists(target)) fs::copy_file(source, target);
          }
        }
        WriteAll(dest / "xmodel" / Renamed(model.header, copy), header);
      }
    }
  }
  std::printf("%d\n", written);
  return 0;
}

std::vector<fs::path> FilesOf(const fs::path& folder) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(folder))
    if (entry.is_regular_file()) files.push_back(entry.path());
  return files;
}

std::vector<fs::path> InputsOf(const fs::path& workdir) {
  std::vector<fs::path> inputs;
  for (const char* sub : {"xmodel", "xmodelsurfs", "xmodelparts", "materials"}) {
    auto files = FilesOf(workdir / sub);
    inputs.insert(inputs.end(), files.begin(), files.end());
  }
  return inputs;
}

size_t ReadFiles(const std::vector<fs::path>& inputs, std::vector<char>& buffer) {
  size_t read = 0;
  for (const fs::path& file : inputs) {
    int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw std::runtime_error("cannot open " + file.string());
    for (ssize_t got; (got = ::read(fd, buffer.data(), buffer.size())) > 0;) read += static_cast<size_t>(got);
    ::close(fd);
  }
  return read;
}

// Reads every input once, so that a timed run does not start with inputs the system has
// dropped from its cache meanwhile.
int Warm(const fs::path& workdir) {
  std::vector<char> buffer(1 << 20);
  ReadFiles(InputsOf(workdir), buffer);
  return 0;
}

int Floor(const fs::path& workdir, const fs::path& reference, const fs::path& out) {
  const std::vector<fs::path> inputs = InputsOf(workdir);
  std::vector<std::pair<std::string, size_t>> outputs;
  size_t largest = 1 << 20;
  for (const fs::path& file : FilesOf(reference)) {
    outputs.emplace_back(file.filename().string(), fs::file_size(file));
    largest = std::max(largest, outputs.back().second);
  }
  std::string bytes(largest, 'x');
  std::vector<char> buffer(1 << 20);

  auto start = std::chrono::steady_clock::now();
  const size_t read = ReadFiles(inputs, buffer);
  for (const auto& [name, size] : outputs) {
    fs::path file = out / name;
    int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0 || ::write(fd, bytes.data(), size) != static_cast<ssize_t>(size))
      throw std::runtime_error("cannot write " + file.string());
    ::close(fd);
  }
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%.3f\n", seconds);
  std::fprintf(stderr, "floor: %zu inputs (%zu bytes) read, %zu outputs written\n", inputs.size(), read,
               outputs.size());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    std::string command = argc > 1 ? argv[1] : "";
    if (command == "make-workdir" && argc == 5) return MakeWorkdir(argv[2], argv[3], std::stoi(argv[4]));
    if (command == "floor" && argc == 5) return Floor(argv[2], argv[3], argv[4]);
    if (command == "warm" && argc == 3) return Warm(argv[2]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench_batch_io: %s\n", e.what());
    return 1;
  }
  std::fprintf(stderr,
               "usage: bench_batch_io make-workdir SAMPLES DEST HEADERS\n"
               "       bench_batch_io floor WORKDIR REFERENCE OUT\n"
               "       bench_batch_io warm WORKDIR\n");
  return 2;
}
