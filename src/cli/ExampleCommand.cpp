// tessary example: writes a small version 20 model (a crate) into a working folder, so
// that the program can be tried without any game files.
#include <CLI/CLI.hpp>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "cli/CliSupport.h"

namespace tessary::cli {

namespace {

class Bytes {
 public:
  Bytes& U8(uint8_t v) { b.push_back(v); return *this; }
  Bytes& U16(uint16_t v) { return U8(v & 0xFF).U8(static_cast<uint8_t>(v >> 8)); }
  Bytes& U32(uint32_t v) { return U16(v & 0xFFFF).U16(static_cast<uint16_t>(v >> 16)); }
  Bytes& F32(float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, 4);
    return U32(bits);
  }
  Bytes& Z(const std::string& s) {
    for (char c : s) U8(static_cast<uint8_t>(c));
    return U8(0);
  }
  Bytes& Fill(size_t n, uint8_t v = 0) { b.insert(b.end(), n, v); return *this; }
  std::vector<uint8_t> b;
};

bool WriteFile(const std::filesystem::path& p, const Bytes& bytes) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.b.data()), static_cast<std::streamsize>(bytes.b.size()));
  return static_cast<bool>(out);
}

// A unit cube: six faces of two triangles, each face with its own four corners.
Bytes CrateSurfaces() {
  static const float kFaces[6][3] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
  Bytes w;
  w.U16(20).U16(1).U8(0);
  w.U16(24).U16(12).U16(1);  // 24 vertices, 12 triangles, rigid on part 1
  for (const auto& n : kFaces) {
    // Two axes spanning the face.
    float u[3] = {1, 0, 0};
    float v[3] = {0, 0, 1};
    if (n[0] != 0) { u[0] = 0; u[1] = 1; }
    if (n[2] != 0) { v[1] = 1; v[2] = 0; }
    for (int corner = 0; corner < 4; ++corner) {
      float su = (corner == 1 || corner == 2) ? 1.0f : -1.0f;
      float sv = (corner >= 2) ? 1.0f : -1.0f;
      for (int k = 0; k < 3; ++k) w.F32(n[k]);
      w.Fill(4);
      w.F32(su > 0 ? 1.0f : 0.0f).F32(sv > 0 ? 1.0f : 0.0f);
      w.Fill(24);
      for (int k = 0; k < 3; ++k) w.F32(16.0f * (n[k] + su * u[k] + sv * v[k]));
    }
  }
  for (uint16_t f = 0; f < 6; ++f) {
    uint16_t b = static_cast<uint16_t>(f * 4);
    w.U16(b).U16(static_cast<uint16_t>(b + 1)).U16(static_cast<uint16_t>(b + 2));
    w.U16(b).U16(static_cast<uint16_t>(b + 2)).U16(static_cast<uint16_t>(b + 3));
  }
  return w;
}

int RunExample(const std::string& dirOption) {
  namespace fs = std::filesystem;
  fs::path dir = dirOption;
  std::error_code ec;
  for (const char* sub : {"obj", "xmodel", "xmodelsurfs", "xmodelparts", "images", "materials"}) {
    fs::create_directories(dir / sub, ec);
    if (ec) {
      PrintError("cannot create " + (dir / sub).string() + ": " + ec.message());
      return kExitFailed;
    }
  }
  Bytes header;
  // The header as the games store it: four level slots (distance, name), the level table
  // (none), then each level's material list.
  header.U16(20).Fill(25).F32(0).Z("example_crate0");
  for (int slot = 1; slot < 4; ++slot) header.F32(0).Z("");
  header.U32(0xFFFFFFFF).U32(0);
  header.U16(1).Z("mtl_example_crate");
  Bytes parts;
  parts.U16(20).U16(1).U16(0);
  parts.U8(0).F32(0).F32(0).F32(16).U16(0).U16(0).U16(0);
  parts.Z("tag_origin").Z("tag_lid");
  Bytes material;
  material.U16(4).U16(0).Z("wc/l_sm_r0c0").Z("example_crate_col");
  bool ok = WriteFile(dir / "xmodel" / "example_crate", header) &&
            WriteFile(dir / "xmodelsurfs" / "example_crate0", CrateSurfaces()) &&
            WriteFile(dir / "xmodelparts" / "example_crate0", parts) &&
            WriteFile(dir / "materials" / "mtl_example_crate", material);
  if (!ok) {
    PrintError("cannot write the example into " + dir.string());
    return kExitFailed;
  }
  std::printf("%s\n", dir.string().c_str());
  return kExitOk;
}

}  // namespace

void RegisterExampleCommand(CLI::App& app) {
  auto dir = std::make_shared<std::string>();
  auto* cmd = app.add_subcommand("example", "Write a small example model (example_crate, version 20) "
                                            "into a working folder.");
  cmd->add_option("DIR", *dir, "Working folder to create or fill")->required();
  cmd->footer("Example: tessary example /tmp/work && tessary info --workdir /tmp/work example_crate");
  cmd->callback([dir] { SetCommandStatus(RunExample(*dir)); });
}

}  // namespace tessary::cli
