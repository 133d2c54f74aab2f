#include "FuzzSupport.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace tessary::fuzz {

namespace {

struct Scratch {
  Scratch() {
    const char* base = std::getenv("TMPDIR");
    std::error_code ec;
    fs::path parent = base && *base ? fs::path(base) : fs::path("/dev/shm");
    if (!fs::is_directory(parent, ec)) parent = fs::temp_directory_path(ec);
    std::string pattern = (parent / "tessary-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
      std::perror("tessary fuzz: scratch folder");
      std::abort();
    }
    // The working folder lies one level down, so that a file written beside it (outside
    // the working folder) can be seen.
    root = fs::path(pattern) / "outer";
    fs::create_directories(root, ec);
  }
  ~Scratch() {
    std::error_code ec;
    fs::remove_all(root.parent_path(), ec);
  }
  fs::path root;
};

Scratch& TheScratch() {
  static Scratch scratch;
  return scratch;
}

}  // namespace

std::vector<std::string_view> SplitInput(const uint8_t* data, size_t size, size_t count) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  std::vector<std::string_view> pieces;
  while (pieces.size() + 1 < count) {
    size_t at = rest.find(kFileSeparator);
    if (at == std::string_view::npos) break;
    pieces.push_back(rest.substr(0, at));
    rest.remove_prefix(at + kFileSeparator.size());
  }
  pieces.push_back(rest);
  pieces.resize(count);
  return pieces;
}

const fs::path& ScratchFolder() { return TheScratch().root; }

std::string FreshWorkdir() {
  const fs::path work = ScratchFolder() / "work";
  std::error_code ec;
  fs::remove_all(work, ec);
  for (const char* sub : {"obj", "xmodel", "xmodelsurfs", "xmodelparts", "images", "materials"})
    fs::create_directories(work / sub, ec);
  return work.string();
}

bool WriteFile(const fs::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

bool IsPlainName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

void CheckNothingEscaped() {
  std::error_code ec;
  for (fs::directory_iterator it(ScratchFolder(), ec), end; !ec && it != end; it.increment(ec)) {
    if (it->path().filename() != "work") {
      std::fprintf(stderr, "tessary fuzz: %s was written outside the working folder\n",
                   it->path().c_str());
      std::abort();
    }
  }
  for (fs::directory_iterator it(ScratchFolder().parent_path(), ec), end; !ec && it != end;
       it.increment(ec)) {
    if (it->path().filename() != "outer") {
      std::fprintf(stderr, "tessary fuzz: %s was written outside the working folder\n",
                   it->path().c_str());
      std::abort();
    }
  }
}

}  // namespace tessary::fuzz

// Qt's reading of a stored list (a profile value "@Variant(...)") reserves the count the
// value declares before it reads one element. On a machine that refuses an allocation far
// beyond its memory the reserve fails, Qt goes on and the value reads as an empty list;
// where the kernel grants any size, the untouched reservation costs nothing. Allocations by
// malloc above 2 GiB fail here the same way on every machine, instead of counting as a
// finding on some. `new` (every container of ours) still stops the run with a report.
extern "C" const char* __asan_default_options() {
  return "allocator_may_return_null=1:max_allocation_size_mb=2048";
}
