// Uncompressed true-colour TGA textures, 24 or 32 bits per pixel: the fallback for image
// names without ".dds".
#include <GL/gl.h>
#include <GL/glext.h>

#include <array>

#include "platform/Disk.h"
#include "platform/Path.h"
#include "platform/PlainName.h"
#include "preview/PreviewRenderer.h"

namespace tessary {

bool CPreviewRenderer::LoadTgaTexture(const std::string& name, Surface& surface) {
  std::string path = imageFolder + "\\" + name;
  if (!disk_ || !IsPlainName(name) || !disk_->Exists(path)) return false;
  BinaryFile file = disk_->Open(path);
  if (!file.IsOpen()) return false;
  std::array<uint8_t, 18> header{};
  if (file.Read(header.data(), header.size()) != header.size() || header[2] != 2) return false;
  const uint32_t width = header[12] | header[13] << 8;
  const uint32_t height = header[14] | header[15] << 8;
  const uint32_t bits = header[16];
  if (width == 0 || height == 0 || (bits != 24 && bits != 32)) return false;

  // The pixels follow the header directly (an image-ID field or colour map is not skipped).
  const uint64_t size = static_cast<uint64_t>(width) * height * (bits / 8);
  if (static_cast<uint64_t>(file.Size() - file.Tell()) < size) return false;
  std::vector<uint8_t> pixels(static_cast<size_t>(size));
  if (file.Read(pixels.data(), pixels.size()) != pixels.size()) return false;
  file.Close();
  if (!host) return false;

  GLuint id = 0;
  glGenTextures(1, &id);
  surface.textureId = id;
  glBindTexture(GL_TEXTURE_2D, id);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  if (bits == 24)
    glTexImage2D(GL_TEXTURE_2D, 0, 3, static_cast<GLsizei>(width), static_cast<GLsizei>(height), 0,
                 GL_BGR, GL_UNSIGNED_BYTE, pixels.data());
  else
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, static_cast<GLsizei>(width), static_cast<GLsizei>(height),
                 0, GL_BGRA, GL_UNSIGNED_BYTE, pixels.data());
  return true;
}

}  // namespace tessary
