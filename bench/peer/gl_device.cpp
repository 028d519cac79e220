#include "bench/peer/gl_device.h"

#include <GL/gl.h>
#include <GL/osmesa.h>

namespace tavrik {

namespace {

using ProvokingVertexFn = void (*)(GLenum);

void setColour(GLenum face, GLenum name, float r, float g, float b) {
  const GLfloat value[4] = {r, g, b, 1.0f};
  glMaterialfv(face, name, value);
}

}  // namespace

GlDevice::~GlDevice() {
  releaseDevice();
}

bool GlDevice::initDevice(uint16_t width, uint16_t height) {
  releaseDevice();
  OSMesaContext context = OSMesaCreateContextExt(OSMESA_RGB_565, 16, 0, 0, nullptr);
  if (context == nullptr) {
    return false;
  }
  context_ = context;
  width_ = width;
  height_ = height;
  pixels_.assign(static_cast<size_t>(width) * height, 0);
  makeCurrent();
  OSMesaPixelStore(OSMESA_Y_UP, 0);
  viewport_ = makeViewport(width, height);
  glViewport(0, 0, width, height);
  glDisable(GL_DITHER);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glFrontFace(GL_CW);  // y grows downwards in the device's screen, upwards in GL's window
  glCullFace(GL_BACK);
  glEnable(GL_CULL_FACE);
  glShadeModel(GL_FLAT);
  if (auto provoking =
          reinterpret_cast<ProvokingVertexFn>(OSMesaGetProcAddress("glProvokingVertex"))) {
    provoking(0x8E4D);  // GL_FIRST_VERTEX_CONVENTION
  }
  glEnable(GL_LIGHTING);
  glEnable(GL_NORMALIZE);
  const GLfloat none[4] = {0.0f, 0.0f, 0.0f, 1.0f};
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, none);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);
  SetIdentity(world_);
  SetIdentity(view_);
  SetIdentity(projection_);
  return true;
}

void GlDevice::releaseDevice() {
  if (context_ != nullptr) {
    OSMesaDestroyContext(static_cast<OSMesaContext>(context_));
    context_ = nullptr;
  }
  for (bool& on : lightOn_) {
    on = false;
  }
}

void GlDevice::makeCurrent() {
  OSMesaMakeCurrent(static_cast<OSMesaContext>(context_), pixels_.data(), GL_UNSIGNED_SHORT_5_6_5,
                    width_, height_);
}

bool GlDevice::createLight(int light) {
  return light >= 0 && light < kMaxLights;
}

void GlDevice::setLight(int light, const Light& record) {
  if (light >= 0 && light < kMaxLights) {
    lights_[light] = record;
    lightsDirty_ = true;
  }
}

void GlDevice::addLight(int light) {
  if (light >= 0 && light < kMaxLights) {
    lightOn_[light] = true;
    lightsDirty_ = true;
  }
}

void GlDevice::setRenderState(RenderState state, uint32_t value) {
  if (state == RenderState::CullMode) {
    if (value == 1) {
      glDisable(GL_CULL_FACE);
    } else {
      glEnable(GL_CULL_FACE);
      glCullFace(value == 2 ? GL_FRONT : GL_BACK);
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
  setColour(GL_FRONT_AND_BACK, GL_DIFFUSE, m.diffuse.r, m.diffuse.g, m.diffuse.b);
  setColour(GL_FRONT_AND_BACK, GL_EMISSION, m.emissive.r, m.emissive.g, m.emissive.b);
  setColour(GL_FRONT_AND_BACK, GL_AMBIENT, 0.0f, 0.0f, 0.0f);
  setColour(GL_FRONT_AND_BACK, GL_SPECULAR, 0.0f, 0.0f, 0.0f);
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

void GlDevice::colourFill(uint32_t pixel) {
  glClearColor(static_cast<float>(pixel >> 11 & 0x1F) / 31.0f,
               static_cast<float>(pixel >> 5 & 0x3F) / 63.0f,
               static_cast<float>(pixel & 0x1F) / 31.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
}

void GlDevice::clearDepth(const Rect&) {
  glClearDepth(1.0);
  glClear(GL_DEPTH_BUFFER_BIT);
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
      if (!lightOn_[i] || (l.dwFlags & kLightActive) == 0) {
        glDisable(id);
        continue;
      }
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
    // From the viewport record's clip volume to GL's, moving the picture half a pixel so that
    // GL's pixel centres fall where the device samples (whole pixel coordinates).
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
  if (context_ == nullptr || vertices == nullptr) {
    return;
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
  glFinish();
}

}  // namespace tavrik
