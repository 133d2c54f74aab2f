// DDS textures: the DXT1, DXT3 and DXT5 block formats through the compressed-texture entry
// point, and 24-bit BGR data (format number 20 in the four-character-code field).
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <array>
#include <cstring>

#include "platform/Disk.h"
#include "platform/Path.h"
#include "platform/PlainName.h"
#include "preview/PreviewRenderer.h"

namespace tessary {

namespace {

constexpr size_t kHeaderSize = 124;
constexpr uint32_t kBgrFormatNumber = 20;

uint32_t U32At(const std::array<uint8_t, kHeaderSize>& header, size_t offset) {
  return static_cast<uint32_t>(header[offset]) | static_cast<uint32_t>(header[offset + 1]) << 8 |
         static_cast<uint32_t>(header[offset + 2]) << 16 | static_cast<uint32_t>(header[offset + 3]) << 24;
}

constexpr uint32_t FourCc(const char (&code)[5]) {
  return static_cast<uint32_t>(static_cast<uint8_t>(code[0])) |
         static_cast<uint32_t>(static_cast<uint8_t>(code[1])) << 8 |
         static_cast<uint32_t>(static_cast<uint8_t>(code[2])) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(code[3])) << 24;
}

struct PixelFormat {
  GLenum glFormat = 0;  // 0: uncompressed BGR
  uint64_t blockBytes = 0;
  uint64_t boundMultiplier = 0;
};

bool MapFormat(uint32_t code, PixelFormat& out) {
  if (code == FourCc("DXT1")) out = {GL_COMPRESSED_RGBA_S3TC_DXT1_EXT, 8, 2};
  else if (code == FourCc("DXT3")) out = {GL_COMPRESSED_RGBA_S3TC_DXT3_EXT, 16, 4};
  else if (code == FourCc("DXT5")) out = {GL_COMPRESSED_RGBA_S3TC_DXT5_EXT, 16, 4};
  else if (code == kBgrFormatNumber) out = {0, 0, 0};
  else return false;
  return true;
}

bool Blinks(const std::string& name) {
  for (const char* marker : {"propeller", "_prop.dds", "blade", "_wing", "130_p"})
    if (name.find(marker) != std::string::npos) return true;
  return false;
}

}  // namespace

bool CPreviewRenderer::LoadDdsTexture(const std::string& name, Surface& surface) {
  // Propellers and rotor blades flicker as if turning, whether or not their image loads.
  surface.blink = Blinks(name) ? 1 : 0;

  std::string path = imageFolder + "\\" + name;
  if (!disk_ || !IsPlainName(name) || !disk_->Exists(path)) return false;
  BinaryFile file = disk_->Open(path);
  if (!file.IsOpen()) return false;
  char magic[4] = {};
  if (file.Read(magic, 4) != 4 || std::memcmp(magic, "DDS ", 4) != 0) return false;
  std::array<uint8_t, kHeaderSize> header{};
  file.Read(header.data(), header.size());
  const uint64_t height = U32At(header, 8);
  const uint64_t width = U32At(header, 12);
  // A header that counts no levels still holds its base level.
  const uint32_t mipCount = std::max<uint32_t>(1, U32At(header, 24));
  PixelFormat format;
  if (!MapFormat(U32At(header, 80), format)) return false;
  const bool compressed = format.glFormat != 0;
  if (compressed && !compressedTexImage2D) return false;  // this context cannot take them
  if (!host) return false;

  // The rest of the file, up to the bound the format allows.
  uint64_t bound = compressed ? width * height * format.blockBytes : width * height * 12;
  if (compressed && mipCount >= 2) bound *= format.boundMultiplier;
  int64_t position = file.Tell();
  uint64_t remaining = static_cast<uint64_t>(std::max<int64_t>(0, file.Size() - position));
  std::vector<uint8_t> data(static_cast<size_t>(std::min(bound, remaining)));
  data.resize(file.Read(data.data(), data.size()));
  file.Close();

  GLuint id = 0;
  glGenTextures(1, &id);
  surface.textureId = id;
  glBindTexture(GL_TEXTURE_2D, id);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);

  auto upload = reinterpret_cast<PFNGLCOMPRESSEDTEXIMAGE2DARBPROC>(compressedTexImage2D);
  uint64_t w = width, h = height, offset = 0;
  for (uint32_t level = 0; level < mipCount; ++level) {
    uint64_t size = compressed ? ((w + 3) / 4) * ((h + 3) / 4) * format.blockBytes : w * h * 3;
    // A level that the file does not hold in full is left out, and so are the smaller
    // ones after it: their bytes would come from past the end of what was read.
    if (size > data.size() - offset) break;
    if (compressed)
      upload(GL_TEXTURE_2D, static_cast<GLint>(level), format.glFormat, static_cast<GLsizei>(w),
             static_cast<GLsizei>(h), 0, static_cast<GLsizei>(size), data.data() + offset);
    else
      glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), GL_RGB, static_cast<GLsizei>(w),
                   static_cast<GLsizei>(h), 0, GL_BGR, GL_UNSIGNED_BYTE, data.data() + offset);
    offset += size;
    w = std::max<uint64_t>(1, w / 2);
    h = std::max<uint64_t>(1, h / 2);
  }
  return true;
}

}  // namespace tessary
