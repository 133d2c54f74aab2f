#include "preview/OutlineFont.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <array>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace tessary {

namespace {

using Point = std::array<double, 2>;
using Contour = std::vector<Point>;

// The file and face index of the best installed match for a family name.
bool MatchFont(const char* face, bool bold, std::string& file, int& index) {
  FcPattern* pattern = FcPatternCreate();
  if (!pattern) return false;
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(face));
  FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddBool(pattern, FC_OUTLINE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (!match) return false;
  FcChar8* path = nullptr;
  bool found = FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path;
  if (found) file = reinterpret_cast<const char*>(path);
  if (FcPatternGetInteger(match, FC_INDEX, 0, &index) != FcResultMatch) index = 0;
  FcPatternDestroy(match);
  return found;
}

// Flattens a glyph's outline into closed polygons; curves become short straight pieces.
struct OutlineWalker {
  std::vector<Contour> contours;
  Point last{0, 0};
  double scale = 1.0;

  static constexpr int kCurveSteps = 6;

  Point At(const FT_Vector* v) const { return {v->x * scale, v->y * scale}; }

  static int MoveTo(const FT_Vector* to, void* user) {
    auto* self = static_cast<OutlineWalker*>(user);
    self->contours.emplace_back();
    self->last = self->At(to);
    self->contours.back().push_back(self->last);
    return 0;
  }
  static int LineTo(const FT_Vector* to, void* user) {
    auto* self = static_cast<OutlineWalker*>(user);
    self->last = self->At(to);
    if (!self->contours.empty()) self->contours.back().push_back(self->last);
    return 0;
  }
  static int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
    auto* self = static_cast<OutlineWalker*>(user);
    Point p0 = self->last, p1 = self->At(control), p2 = self->At(to);
    for (int i = 1; i <= kCurveSteps; ++i) {
      double t = static_cast<double>(i) / kCurveSteps, s = 1 - t;
      self->Add({s * s * p0[0] + 2 * s * t * p1[0] + t * t * p2[0],
                 s * s * p0[1] + 2 * s * t * p1[1] + t * t * p2[1]});
    }
    return 0;
  }
  static int CubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
    auto* self = static_cast<OutlineWalker*>(user);
    Point p0 = self->last, p1 = self->At(c1), p2 = self->At(c2), p3 = self->At(to);
    for (int i = 1; i <= kCurveSteps; ++i) {
      double t = static_cast<double>(i) / kCurveSteps, s = 1 - t;
      double a = s * s * s, b = 3 * s * s * t, c = 3 * s * t * t, d = t * t * t;
      self->Add({a * p0[0] + b * p1[0] + c * p2[0] + d * p3[0],
                 a * p0[1] + b * p1[1] + c * p2[1] + d * p3[1]});
    }
    return 0;
  }
  void Add(Point p) {
    last = p;
    if (!contours.empty()) contours.back().push_back(p);
  }
};

// Tessellator callbacks: the pieces go straight into the display list being compiled.
void TessBegin(GLenum type) { glBegin(type); }
void TessEnd() { glEnd(); }
void TessVertex(void* data) { glVertex3dv(static_cast<const GLdouble*>(data)); }
void TessCombine(GLdouble coords[3], void*[4], GLfloat[4], void** out, void* polygonData) {
  auto* store = static_cast<std::deque<std::array<GLdouble, 3>>*>(polygonData);
  store->push_back({coords[0], coords[1], coords[2]});
  *out = store->back().data();
}

struct TessDeleter {
  void operator()(GLUtesselator* t) const { gluDeleteTess(t); }
};

// One face of the glyph (front at z = 0 or back at z = −depth), filled.
void FillFace(GLUtesselator* tess, const std::vector<Contour>& contours, double z, double nz) {
  std::deque<std::array<GLdouble, 3>> store;
  glNormal3d(0, 0, nz);
  gluTessNormal(tess, 0, 0, 1);
  gluTessBeginPolygon(tess, &store);
  for (const auto& contour : contours) {
    if (contour.size() < 3) continue;
    gluTessBeginContour(tess);
    for (const auto& p : contour) {
      store.push_back({p[0], p[1], z});
      gluTessVertex(tess, store.back().data(), store.back().data());
    }
    gluTessEndContour(tess);
  }
  gluTessEndPolygon(tess);
}

// The sides between the two faces, one quad strip per contour.
void FillSides(const std::vector<Contour>& contours, double depth) {
  for (const auto& contour : contours) {
    if (contour.size() < 2) continue;
    glBegin(GL_QUAD_STRIP);
    for (size_t i = 0; i <= contour.size(); ++i) {
      const Point& p = contour[i % contour.size()];
      const Point& q = contour[(i + 1) % contour.size()];
      glNormal3d(q[1] - p[1], p[0] - q[0], 0);
      glVertex3d(p[0], p[1], 0);
      glVertex3d(p[0], p[1], -depth);
    }
    glEnd();
  }
}

}  // namespace

bool BuildOutlineGlyphs(const char* face, bool bold, uint32_t listBase, int count, float depth,
                        float* advances) {
  std::string file;
  int index = 0;
  if (!MatchFont(face, bold, file, index)) return false;

  FT_Library library = nullptr;
  if (FT_Init_FreeType(&library) != 0) return false;
  std::unique_ptr<FT_LibraryRec_, decltype(&FT_Done_FreeType)> libraryGuard(library, FT_Done_FreeType);
  FT_Face ftFace = nullptr;
  if (FT_New_Face(library, file.c_str(), index, &ftFace) != 0) return false;
  std::unique_ptr<FT_FaceRec_, decltype(&FT_Done_Face)> faceGuard(ftFace, FT_Done_Face);
  if (!FT_IS_SCALABLE(ftFace) || ftFace->units_per_EM == 0) return false;

  std::unique_ptr<GLUtesselator, TessDeleter> tess(gluNewTess());
  if (!tess) return false;
  using Callback = void (*)();
  gluTessCallback(tess.get(), GLU_TESS_BEGIN, reinterpret_cast<Callback>(&TessBegin));
  gluTessCallback(tess.get(), GLU_TESS_END, reinterpret_cast<Callback>(&TessEnd));
  gluTessCallback(tess.get(), GLU_TESS_VERTEX, reinterpret_cast<Callback>(&TessVertex));
  gluTessCallback(tess.get(), GLU_TESS_COMBINE_DATA, reinterpret_cast<Callback>(&TessCombine));
  gluTessProperty(tess.get(), GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_NONZERO);

  FT_Outline_Funcs funcs{};
  funcs.move_to = &OutlineWalker::MoveTo;
  funcs.line_to = &OutlineWalker::LineTo;
  funcs.conic_to = &OutlineWalker::ConicTo;
  funcs.cubic_to = &OutlineWalker::CubicTo;

  const double scale = 1.0 / ftFace->units_per_EM;
  for (int code = 0; code < count; ++code) {
    // Character codes are Latin-1.
    FT_UInt glyph = FT_Get_Char_Index(ftFace, static_cast<FT_ULong>(code));
    OutlineWalker walker;
    walker.scale = scale;
    double advance = 0;
    if (FT_Load_Glyph(ftFace, glyph, FT_LOAD_NO_SCALE | FT_LOAD_NO_BITMAP) == 0) {
      advance = ftFace->glyph->advance.x * scale;
      if (ftFace->glyph->format == FT_GLYPH_FORMAT_OUTLINE)
        FT_Outline_Decompose(&ftFace->glyph->outline, &funcs, &walker);
    }
    // The first point of a closed contour is repeated at its end; the polygon needs it once.
    for (auto& contour : walker.contours)
      if (contour.size() > 1 && contour.front() == contour.back()) contour.pop_back();
    advances[code] = static_cast<float>(advance);

    glNewList(listBase + static_cast<uint32_t>(code), GL_COMPILE);
    FillFace(tess.get(), walker.contours, 0.0, 1.0);
    FillFace(tess.get(), walker.contours, -depth, -1.0);
    FillSides(walker.contours, depth);
    glTranslated(advance, 0, 0);
    glEndList();
  }
  return true;
}

}  // namespace tessary
