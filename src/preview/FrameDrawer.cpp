// One preview frame: keys, projection, backdrop, floor and grid, the texture thumbnail
// panel with its UV layouts, the model's surfaces and the caption. The list drawer
// (versions 20 and 25) reads three indices per triangle; the strip drawer (version 14)
// reads each list as one triangle strip and puts a dark wall behind a grid without floor.
#include <GL/gl.h>

#include <algorithm>

#include "platform/BuildInfo.h"
#include "preview/PreviewRenderer.h"

namespace tessary {

namespace {

// The triangles of one list: independent triples, or the overlapping triples of a strip.
struct TriangleWalk {
  const std::vector<uint16_t>& indices;
  int64_t count;  // triangles
  bool strip;

  void At(int64_t k, uint16_t out[3]) const {
    size_t first = static_cast<size_t>(strip ? k : 3 * k);
    out[0] = indices[first];
    out[1] = indices[first + 1];
    out[2] = indices[first + 2];
  }
};

TriangleWalk Walk(const TriList& list, bool strip) {
  int64_t count = strip ? static_cast<int64_t>(list.triCount) - 2 : static_cast<int64_t>(list.triCount);
  return {list.indices, count < 0 ? 0 : count, strip};
}

void Vertex3(const Vertex& v) { glVertex3f(v.position[0], v.position[1], v.position[2]); }

}  // namespace

bool CPreviewRenderer::DrawTriangleLists() { return DrawFrame(Shape::Lists); }

bool CPreviewRenderer::DrawTriangleStrips() { return DrawFrame(Shape::Strips); }

bool CPreviewRenderer::SurfaceDataFits(const Surface& surface, Shape shape) {
  if (surface.triListCount <= 0) return true;
  if (surface.triLists.size() < static_cast<size_t>(surface.triListCount)) return false;
  const int64_t vertexLimit = std::min<int64_t>(surface.vertexCount, static_cast<int64_t>(surface.vertices.size()));
  for (int32_t l = 0; l < surface.triListCount; ++l) {
    const TriList& list = surface.triLists[static_cast<size_t>(l)];
    TriangleWalk walk = Walk(list, shape == Shape::Strips);
    if (walk.count == 0) continue;
    size_t needed = static_cast<size_t>(shape == Shape::Strips ? walk.count + 2 : 3 * walk.count);
    if (list.indices.size() < needed) return false;
    for (size_t i = 0; i < needed; ++i)
      if (list.indices[i] >= vertexLimit) return false;
  }
  return true;
}

bool CPreviewRenderer::DrawFrame(Shape shape) {
  const bool strips = shape == Shape::Strips;
  PollKeys();
  UpdateProjection();

  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  glTranslatef(offsetX, offsetY, offsetZ);
  glBindTexture(GL_TEXTURE_2D, 0);

  auto grid = [this] {
    if (wireframe) glColor3f(0.4f, 0.4f, 0.4f);
    else glColor3f(0.0f, 0.4f, 0.0f);
    glBegin(GL_LINES);
    for (float c = 3000; c > -3000; c -= 140) {
      glVertex3f(-3000, -300, c);
      glVertex3f(3000, -300, c);
      glVertex3f(c, -300, 3000);
      glVertex3f(c, -300, -3000);
    }
    glEnd();
  };
  if (!strips) {
    glColor3f(0.9f, 0.9f, 1.8f);
    glBegin(GL_QUADS);
    glVertex3f(-11000, 11000, -1480);
    glVertex3f(-11000, -11000, -1480);
    glVertex3f(11000, -11000, -1480);
    glVertex3f(11000, 11000, -1480);
    glEnd();
    if (showFloor) {
      glColor3f(0.5f, 0.5f, 0.5f);
      glBegin(GL_QUADS);
      glVertex3f(-3000, -301, 3000);
      glVertex3f(-3000, -301, -3000);
      glVertex3f(3000, -301, -3000);
      glVertex3f(3000, -301, 3000);
      glEnd();
      grid();
    }
  } else {
    grid();
    glColor3f(0.1f, 0.1f, 0.1f);
    glBegin(GL_QUADS);
    glVertex3f(-11000, 11000, -1500);
    glVertex3f(-11000, -300, -1500);
    glVertex3f(11000, -300, -1500);
    glVertex3f(11000, 11000, -1500);
    glEnd();
  }

  const size_t count = surfaces ? std::min<size_t>(surfaceCount, surfaces->size()) : 0;

  // The thumbnail panel turns with nothing: it is drawn before the model's rotation.
  glColor3f(1, 1, 1);
  float x = -500, y = 220;
  int inRow = 0;
  for (size_t s = 0; s < count; ++s) {
    const Surface& surface = (*surfaces)[s];
    if (!surface.textureLoaded) continue;
    if (surface.unsupported) notSupported = 1;
    if (showUv) {
      if (!SurfaceDataFits(surface, shape)) {
        notSupported = 1;
        return false;
      }
      glColor3f(1, 1, 1);
      glBindTexture(GL_TEXTURE_2D, 0);
      glBegin(GL_LINES);
      for (int32_t l = 0; l < surface.triListCount; ++l) {
        TriangleWalk walk = Walk(surface.triLists[static_cast<size_t>(l)], strips);
        for (int64_t k = 0; k < walk.count; ++k) {
          uint16_t t[3];
          walk.At(k, t);
          auto uvPoint = [&](uint16_t i) {
            const float* uv = surface.vertices[i].uv;
            glVertex3f(uv[0] * 200 + x, (1 - uv[1]) * 200 + y, -499);
          };
          uvPoint(t[0]), uvPoint(t[1]);
          uvPoint(t[1]), uvPoint(t[2]);
          uvPoint(t[0]), uvPoint(t[2]);
        }
      }
      glEnd();
    }
    if (showMaterials) {
      glBindTexture(GL_TEXTURE_2D, surface.textureId);
      glBegin(GL_QUADS);
      glTexCoord2f(0, 0);
      glVertex3f(x, y, -500);
      glTexCoord2f(0, -1);
      glVertex3f(x, y + 200, -500);
      glTexCoord2f(1, -1);
      glVertex3f(x + 200, y + 200, -500);
      glTexCoord2f(1, 0);
      glVertex3f(x + 200, y, -500);
      glEnd();
    }
    x += 203;
    if (++inRow == 5) {
      inRow = 0;
      x = -500;
      y -= 203;
    }
  }

  glRotatef(rotationX, 1, 0, 0);
  glRotatef(rotationY, 0, 1, 0);
  glRotatef(rotationZ, 0, 0, 1);

  if (notSupported) {
    glColor3f(0.6f, 0.0f, 0.0f);
    DrawCentredText("MODEL NOT SUPPORTED!");
    if (host) host->SwapBuffers();
    return false;
  }

  int& blinkCounter = strips ? stripBlinkCounter : listBlinkCounter;
  for (size_t s = 0; s < count; ++s) {
    const Surface& surface = (*surfaces)[s];
    if (surface.blink) {
      if (++blinkCounter < 3) continue;
      blinkCounter = 0;
    }
    if (!SurfaceDataFits(surface, shape)) {
      notSupported = 1;
      return false;
    }
    for (int32_t l = 0; l < surface.triListCount; ++l) {
      TriangleWalk walk = Walk(surface.triLists[static_cast<size_t>(l)], strips);
      const bool textured = surface.textureLoaded && !skinsOff;
      if (textured) {
        glBindTexture(GL_TEXTURE_2D, surface.textureId);
        if (wireframe) glColor3f(1, 1, 1);
        else glColor3f(0.9f, 0.9f, 0.9f);
        glBegin(GL_TRIANGLES);
        for (int64_t k = 0; k < walk.count; ++k) {
          uint16_t t[3];
          walk.At(k, t);
          for (uint16_t i : t) {
            glTexCoord2fv(surface.vertices[i].uv);
            Vertex3(surface.vertices[i]);
          }
        }
        glEnd();
      } else {
        static const float kGreys[3] = {0.5f, 0.52f, 0.56f};
        glBindTexture(GL_TEXTURE_2D, 0);
        glBegin(GL_TRIANGLES);
        for (int64_t k = 0; k < walk.count; ++k) {
          uint16_t t[3];
          walk.At(k, t);
          for (int corner = 0; corner < 3; ++corner) {
            glColor3f(kGreys[corner], kGreys[corner], kGreys[corner]);
            Vertex3(surface.vertices[t[corner]]);
          }
        }
        glEnd();
      }
      if (wireframe) {
        // The edges are plain green lines, not tinted by the surface's texture.
        glBindTexture(GL_TEXTURE_2D, 0);
        glLineWidth(textured ? 2.0f : 1.0f);
        glColor3f(0.0f, 0.7f, 0.0f);
        glBegin(GL_LINES);
        for (int64_t k = 0; k < walk.count; ++k) {
          uint16_t t[3];
          walk.At(k, t);
          Vertex3(surface.vertices[t[0]]), Vertex3(surface.vertices[t[1]]);
          Vertex3(surface.vertices[t[1]]), Vertex3(surface.vertices[t[2]]);
          Vertex3(surface.vertices[t[2]]), Vertex3(surface.vertices[t[0]]);
        }
        glEnd();
        glLineWidth(1.0f);
      }
    }
  }

  glColor3f(1.0f, 1.0f, 1.5f);
  DrawCaption(build::kWebPage);
  glFlush();
  if (host) host->SwapBuffers();
  return true;
}

}  // namespace tessary
