// GL device: the device interface on a fixed-function OpenGL context (a compatibility context of
// any version from 1.3 on). It relies on its target for the context, the picture's place and the
// finished frame's way out, and on the program's link for the GL entry points (libGL for windows,
// libOSMesa for the offscreen comparison). It does not do textures, point lights, ambient light or
// blending, which nothing in the program asks for. No call of a frame allocates.
#include "device/gl/gl_device.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace tavrik {

namespace {

constexpr uint32_t kCullNone = 1;
constexpr uint32_t kCullClockwise = 2;
constexpr GLenum kFirstVertexConvention = 0x8E4D;

using ProvokingVertexFn = void (*)(GLenum);

void setColour(GLenum name, float r, float g, float b) {
  const GLfloat value[4] = {r, g, b, 1.0f};
  glMaterialfv(GL_FRONT_AND_BACK, name, value);
}

bool hasExtension(const char* extensions, const char* name) {
  const size_t length = std::strlen(name);
  for (const char* p = extensions; p != nullptr && (p = std::strstr(p, name)) != nullptr;
       p += length) {
    const bool starts = p == extensions || p[-1] == ' ';
    if (starts && (p[length] == ' ' || p[length] == '\0')) {
      return true;
    }
  }
  return false;
}

// The first vertex of each triangle gives its colour, as in Direct3D, where GL 3.2 or the
// provoking-vertex extension allow it; elsewhere GL's last vertex does.
void takeFirstVertexColour(GlTarget& target) {
  const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  int major = 0;
  int minor = 0;
  if (version == nullptr || std::sscanf(version, "%d.%d", &major, &minor) != 2) {
    major = minor = 0;
  }
  const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
  const char* name = nullptr;
  if (major > 3 || (major == 3 && minor >= 2) ||
      hasExtension(extensions, "GL_ARB_provoking_vertex")) {
    name = "glProvokingVertex";
  } else if (hasExtension(extensions, "GL_EXT_provoking_vertex")) {
    name = "glProvokingVertexEXT";
  }
  if (name != nullptr) {
    if (auto provoking = reinterpret_cast<ProvokingVertexFn>(target.procAddress(name))) {
      provoking(kFirstVertexConvention);
    }
  }
}

}  // namespace

GlDevice::GlDevice(GlTarget& target) : target_(target) {
  SetIdentity(world_);
  SetIdentity(view_);
  SetIdentity(projection_);
}

GlDevice::~GlDevice() {
  releaseDevice();
}

bool GlDevice::initDevice(uint16_t width, uint16_t height) {
  releaseDevice();
  if (width == 0 || height == 0 || !target_.open(width, height)) {
    return false;
  }
  open_ = true;
  width_ = width;
  height_ = height;
  viewport_ = makeViewport(width, height);
  place_ = GlPlace{};
  setUpState();
  takeFirstVertexColour(target_);
  SetIdentity(world_);
  SetIdentity(view_);
  SetIdentity(projection_);
  modelviewDirty_ = projectionDirty_ = lightsDirty_ = true;
  return true;
}

void GlDevice::setUpState() {
  glDisable(GL_DITHER);
  glEnable(GL_SCISSOR_TEST);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glDepthMask(GL_TRUE);
  // Clockwise on the screen is front facing, in the device's y-down screen and GL's y-up window
  // alike: the picture is not mirrored, only its coordinates are counted the other way.
  glFrontFace(GL_CW);
  glCullFace(GL_BACK);
  glEnable(GL_CULL_FACE);
  glShadeModel(GL_FLAT);
  glEnable(GL_LIGHTING);
  glEnable(GL_NORMALIZE);
  const GLfloat none[4] = {0.0f, 0.0f, 0.0f, 1.0f};
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, none);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);
}

bool GlDevice::resize(uint16_t width, uint16_t height) {
  if (!open_ || width == 0 || height == 0) {
    return false;
  }
  if (width == width_ && height == height_) {
    return true;
  }
  if (!target_.open(width, height)) {
    return false;
  }
  width_ = width;
  height_ = height;
  viewport_ = makeViewport(width, height);
  place_ = GlPlace{};
  projectionDirty_ = true;
  return true;
}

void GlDevice::releaseDevice() {
  materialCreated_ = false;
  for (int i = 0; i < kMaxLights; ++i) {
    lightCreated_[i] = false;
    lightAdded_[i] = false;
  }
  if (open_) {
    target_.close();
    open_ = false;
  }
  width_ = height_ = 0;
}

bool GlDevice::createLight(int light) {
  if (light < 0 || light >= kMaxLights || !open_) {
    return false;
  }
  lightCreated_[light] = true;
  lights_[light] = Light{};
  lightsDirty_ = true;
  return true;
}

void GlDevice::setLight(int light, const Light& record) {
  if (light >= 0 && light < kMaxLights && lightCreated_[light]) {
    lights_[light] = record;
    lightsDirty_ = true;
  }
}

void GlDevice::addLight(int light) {
  if (light >= 0 && light < kMaxLights && lightCreated_[light]) {
    lightAdded_[light] = true;
    lightsDirty_ = true;
  }
}

bool GlDevice::createMaterial() {
  materialCreated_ = open_;
  return materialCreated_;
}

uint32_t GlDevice::getMaterialHandle() {
  return materialCreated_ ? 1 : 0;
}

void GlDevice::setRenderState(RenderState state, uint32_t value) {
  if (!open_) {
    return;
  }
  if (state == RenderState::CullMode) {
    if (value == kCullNone) {
      glDisable(GL_CULL_FACE);
    } else {
      glEnable(GL_CULL_FACE);
      glCullFace(value == kCullClockwise ? GL_FRONT : GL_BACK);
    }
  } else if (state == RenderState::ZEnable) {
    if (value != 0) {
      glEnable(GL_DEPTH_TEST);
    } else {
      glDisable(GL_DEPTH_TEST);
    }
  }
}

void GlDevice::setMaterial(const Material& m) {
  if (!open_) {
    return;
  }
  setColour(GL_DIFFUSE, m.diffuse.r, m.diffuse.g, m.diffuse.b);
  setColour(GL_EMISSION, m.emissive.r, m.emissive.g, m.emissive.b);
  setColour(GL_AMBIENT, 0.0f, 0.0f, 0.0f);
  setColour(GL_SPECULAR, 0.0f, 0.0f, 0.0f);
}

void GlDevice::setTransform(TransformState state, const Matrix4& matrix) {
  switch (state) {
    case TransformState::World:
      world_ = matrix;
      modelviewDirty_ = true;
      break;
    case TransformState::View:
      view_ = matrix;
      modelviewDirty_ = true;
      lightsDirty_ = true;
      break;
    case TransformState::Projection:
      projection_ = matrix;
      projectionDirty_ = true;
      break;
  }
}

// The viewport and the scissor follow the target's place; GL counts rows from the bottom.
void GlDevice::takePlace() {
  const GlPlace place = target_.place(width_, height_);
  if (std::memcmp(&place, &place_, sizeof place) == 0) {
    return;
  }
  place_ = place;
  const int bottom = place.drawableHeight - place.y - place.height;
  glViewport(place.x, bottom, place.width, place.height);
  glScissor(place.x, bottom, place.width, place.height);
  // A line as wide as one of the picture's pixels is shown, as the software path scales it.
  glLineWidth(static_cast<GLfloat>(std::max(1, place.height / std::max(1, height_))));
}

void GlDevice::colourFill(uint32_t pixel) {
  if (!open_) {
    return;
  }
  takePlace();
  if (place_.width != place_.drawableWidth || place_.height != place_.drawableHeight) {
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
  }
  glClearColor(static_cast<float>(pixel >> 11 & 0x1F) / 31.0f,
               static_cast<float>(pixel >> 5 & 0x3F) / 63.0f,
               static_cast<float>(pixel & 0x1F) / 31.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
}

void GlDevice::clearDepth(const Rect& rect) {
  if (!open_ || width_ <= 0 || height_ <= 0) {
    return;
  }
  const int x0 = std::clamp(rect.x1, 0, width_);
  const int x1 = std::clamp(rect.x2, 0, width_);
  const int y0 = std::clamp(rect.y1, 0, height_);
  const int y1 = std::clamp(rect.y2, 0, height_);
  if (x0 >= x1 || y0 >= y1) {
    return;
  }
  glClearDepth(1.0);
  const bool whole = x0 == 0 && y0 == 0 && x1 == width_ && y1 == height_;
  if (whole) {
    glClear(GL_DEPTH_BUFFER_BIT);
    return;
  }
  // A part of the picture: its rectangle scaled to the place, for this clear alone.
  const auto scaleX = [this](int x) { return place_.x + x * place_.width / width_; };
  const auto scaleY = [this](int y) { return place_.y + y * place_.height / height_; };
  const int bottom = place_.drawableHeight - scaleY(y1);
  glScissor(scaleX(x0), bottom, scaleX(x1) - scaleX(x0), scaleY(y1) - scaleY(y0));
  glClear(GL_DEPTH_BUFFER_BIT);
  glScissor(place_.x, place_.drawableHeight - place_.y - place_.height, place_.width,
            place_.height);
}

// A row-major matrix for row vectors is, read as it lies, the column-major matrix for column
// vectors that GL wants, so matrices go over as they are and products keep the device's order.
void GlDevice::updateMatrices() {
  if (lightsDirty_) {
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(view_.m);  // lights live in world space
    for (int i = 0; i < kMaxLights; ++i) {
      const GLenum id = GL_LIGHT0 + static_cast<GLenum>(i);
      const Light& l = lights_[i];
      if (!lightCreated_[i] || !lightAdded_[i] || (l.dwFlags & kLightActive) == 0 ||
          l.dltType != kLightDirectional) {
        glDisable(id);
        continue;
      }
      // A light shines along its direction: GL wants the way towards it.
      const GLfloat toward[4] = {-l.dvDirection.x, -l.dvDirection.y, -l.dvDirection.z, 0.0f};
      const GLfloat colour[4] = {l.dcvColor.r, l.dcvColor.g, l.dcvColor.b, 1.0f};
      const GLfloat none[4] = {0.0f, 0.0f, 0.0f, 1.0f};
      glLightfv(id, GL_POSITION, toward);
      glLightfv(id, GL_DIFFUSE, colour);
      glLightfv(id, GL_AMBIENT, none);
      glLightfv(id, GL_SPECULAR, none);
      glEnable(id);
    }
    lightsDirty_ = false;
    modelviewDirty_ = true;
  }
  if (modelviewDirty_) {
    Matrix4 worldView;
    Multiply(world_, view_, worldView);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(worldView.m);
    modelviewDirty_ = false;
  }
  if (projectionDirty_) {
    // From the viewport record's clip volume to GL's, moving the picture half of one of its
    // pixels so that GL's pixel centres fall where the device samples (whole pixel coordinates).
    const Viewport& v = viewport_;
    const float depthRange = v.dvMaxZ - v.dvMinZ;
    Matrix4 fix;
    SetZero(fix);
    fix(0, 0) = 2.0f / v.dvClipWidth;
    fix(3, 0) = -2.0f * v.dvClipX / v.dvClipWidth + 1.0f / static_cast<float>(v.dwWidth) - 1.0f;
    fix(1, 1) = 2.0f / v.dvClipHeight;
    fix(3, 1) = 1.0f - 2.0f * v.dvClipY / v.dvClipHeight - 1.0f / static_cast<float>(v.dwHeight);
    fix(2, 2) = 2.0f / depthRange;
    fix(3, 2) = -2.0f * v.dvMinZ / depthRange - 1.0f;
    fix(3, 3) = 1.0f;
    Matrix4 projection;
    Multiply(projection_, fix, projection);
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(projection.m);
    projectionDirty_ = false;
  }
}

void GlDevice::drawPrimitive(PrimitiveType type, const Vertex* vertices, uint32_t count) {
  if (!open_ || vertices == nullptr || count == 0) {
    return;
  }
  if (place_.drawableWidth == 0) {
    takePlace();  // drawn before any fill: a caller outside the frame's order
  }
  updateMatrices();
  glVertexPointer(3, GL_FLOAT, sizeof(Vertex), &vertices[0].position);
  glNormalPointer(GL_FLOAT, sizeof(Vertex), &vertices[0].normal);
  const GLenum mode = type == PrimitiveType::LineList       ? GL_LINES
                      : type == PrimitiveType::TriangleList ? GL_TRIANGLES
                                                            : GL_TRIANGLE_STRIP;
  glDrawArrays(mode, 0, static_cast<GLsizei>(count));
}

void GlDevice::flip() {
  if (open_) {
    target_.present();
  }
}

}  // namespace tavrik
