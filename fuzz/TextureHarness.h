#pragma once
// The texture targets' common run: one image file in the working folder's images folder,
// loaded by the preview renderer into a headless OpenGL context made once per process.
#include <cstddef>
#include <cstdint>

namespace tessary::fuzz {

enum class TextureKind { Dds, Tga };

void RunTextureInput(TextureKind kind, const uint8_t* data, size_t size);

}  // namespace tessary::fuzz
