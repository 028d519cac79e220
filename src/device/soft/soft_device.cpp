// Software device: the device interface drawn on the CPU into an RGB565 back buffer and a
// 16-bit depth buffer, with the effects of an immediate-mode Direct3D device: row-vector
// transforms, the viewport's clip rectangle, directional lights, flat shading from each
// triangle's first vertex, counter-clockwise culling, depth test less-or-equal.
// Relies only on the standard library; frames leave through the Presenter given at
// construction. It does not do Gouraud shading, textures, point lights, ambient light or
// blending, which nothing in the program asks for.
#include "device/soft/soft_device.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "device/soft/soft_clip.h"
#include "device/soft/soft_span.h"

namespace tavrik {

namespace {

constexpr uint32_t kCullNone = 1;
constexpr uint32_t kCullClockwise = 2;
// How far beyond the viewport a vertex may lie before it is clipped rather than scissored.
constexpr float kGuardBand = 4096.0f;
// Planes a triangle is rejected against when all its corners lie outside one of them.
constexpr uint32_t kRejectPlanes =
    soft::kRectPlanes | (1u << soft::kNear) | (1u << soft::kFar) | soft::kNotFinite;

}  // namespace

SoftDevice::SoftDevice(Presenter* presenter) : presenter_(presenter) {
  SetIdentity(world_);
  SetIdentity(view_);
  SetIdentity(projection_);
}

bool SoftDevice::initDevice(uint16_t width, uint16_t height) {
  if (width == 0 || height == 0) {
    return false;
  }
  viewportExists_ = true;
  makeBuffers(width, height);
  return true;
}

void SoftDevice::makeBuffers(uint16_t width, uint16_t height) {
  width_ = width;
  height_ = height;
  const size_t pixels = static_cast<size_t>(width) * height;
  colour_.assign(pixels, 0);
  depth_.assign(pixels, 0xFFFF);
  viewport_ = makeViewport(width, height);
  updateViewportMapping();
}

bool SoftDevice::resize(uint16_t width, uint16_t height) {
  if (colour_.empty() || width == 0 || height == 0) {
    return false;
  }
  if (width != width_ || height != height_) {
    makeBuffers(width, height);
  }
  return true;
}

void SoftDevice::releaseDevice() {
  materialCreated_ = false;
  for (int i = 0; i < kMaxLights; ++i) {
    lightAdded_[i] = false;
    lightCreated_[i] = false;
  }
  updateLights();
  viewportExists_ = false;
  viewportDrawable_ = false;
  std::vector<uint16_t>().swap(colour_);
  std::vector<uint16_t>().swap(depth_);
  width_ = 0;
  height_ = 0;
}

bool SoftDevice::createLight(int light) {
  if (light < 0 || light >= kMaxLights || colour_.empty()) {
    return false;
  }
  lightCreated_[light] = true;
  lights_[light] = Light{};
  updateLights();
  return true;
}

void SoftDevice::setLight(int light, const Light& record) {
  if (light < 0 || light >= kMaxLights || !lightCreated_[light]) {
    return;
  }
  lights_[light] = record;
  updateLights();
}

void SoftDevice::addLight(int light) {
  if (light < 0 || light >= kMaxLights || !lightCreated_[light] || !viewportExists_) {
    return;
  }
  lightAdded_[light] = true;
  updateLights();
}

bool SoftDevice::createMaterial() {
  materialCreated_ = !colour_.empty();
  return materialCreated_;
}

uint32_t SoftDevice::getMaterialHandle() {
  return materialCreated_ ? 1 : 0;
}

// The one material object is the only material there is, so its handle selects nothing.
void SoftDevice::setLightState(LightState, uint32_t) {}

void SoftDevice::setRenderState(RenderState state, uint32_t value) {
  switch (state) {
    case RenderState::CullMode:
      cullMode_ = value;
      break;
    case RenderState::ZEnable:
      depthEnabled_ = value != 0;
      break;
    case RenderState::ShadeMode:
      break;
  }
}

void SoftDevice::setMaterial(const Material& record) {
  material_ = record;
}

void SoftDevice::setTransform(TransformState state, const Matrix4& matrix) {
  switch (state) {
    case TransformState::World:
      world_ = matrix;
      break;
    case TransformState::View:
      view_ = matrix;
      viewProjectionDirty_ = true;
      break;
    case TransformState::Projection:
      projection_ = matrix;
      viewProjectionDirty_ = true;
      break;
  }
  transformDirty_ = true;
}

void SoftDevice::colourFill(uint32_t pixel) {
  if (colour_.empty()) {
    return;
  }
  const uint16_t value = static_cast<uint16_t>(pixel);
  // Every frame starts with this fill; black (both bytes equal) goes at memset speed.
  if ((value >> 8) == (value & 0xFF)) {
    std::memset(colour_.data(), value & 0xFF, colour_.size() * sizeof(uint16_t));
  } else {
    std::fill(colour_.begin(), colour_.end(), value);
  }
}

void SoftDevice::clearDepth(const Rect& rect) {
  const int x0 = std::clamp(rect.x1, 0, width_);
  const int x1 = std::clamp(rect.x2, 0, width_);
  const int y0 = std::clamp(rect.y1, 0, height_);
  const int y1 = std::clamp(rect.y2, 0, height_);
  if (x0 >= x1) {
    return;
  }
  for (int y = y0; y < y1; ++y) {
    uint16_t* row = depth_.data() + static_cast<size_t>(y) * width_;
    std::fill(row + x0, row + x1, static_cast<uint16_t>(0xFFFF));
  }
}

void SoftDevice::beginScene() {}

void SoftDevice::endScene() {}

void SoftDevice::flip() {
  if (presenter_ != nullptr && !colour_.empty()) {
    presenter_->present(backBuffer());
  }
}

FrameView SoftDevice::backBuffer() const {
  return FrameView{colour_.empty() ? nullptr : colour_.data(), width_, height_, width_};
}

void SoftDevice::updateViewportMapping() {
  const Viewport& v = viewport_;
  const float width = static_cast<float>(v.dwWidth);
  const float height = static_cast<float>(v.dwHeight);
  const float depthRange = v.dvMaxZ - v.dvMinZ;
  viewportDrawable_ = viewportExists_ && v.dwWidth > 0 && v.dwHeight > 0 && v.dvClipWidth > 0.0f &&
                      v.dvClipHeight > 0.0f && depthRange > 0.0f && std::isfinite(v.dvClipX) &&
                      std::isfinite(v.dvClipY) && std::isfinite(v.dvClipWidth) &&
                      std::isfinite(v.dvClipHeight) && std::isfinite(v.dvMinZ) &&
                      std::isfinite(depthRange);
  if (!viewportDrawable_) {
    return;
  }
  const int64_t x0 = v.dwX;
  const int64_t y0 = v.dwY;
  scissor_.x0 = static_cast<int>(std::min<int64_t>(x0, width_));
  scissor_.y0 = static_cast<int>(std::min<int64_t>(y0, height_));
  scissor_.x1 = static_cast<int>(std::min<int64_t>(x0 + v.dwWidth, width_));
  scissor_.y1 = static_cast<int>(std::min<int64_t>(y0 + v.dwHeight, height_));

  // x/w in [clipX, clipX + clipWidth] to [dwX, dwX + dwWidth]; y/w in
  // [clipY - clipHeight, clipY] to [dwY + dwHeight, dwY]; z/w in [minZ, maxZ] to the depth range.
  screenScaleX_ = width / v.dvClipWidth;
  screenOffsetX_ = static_cast<float>(v.dwX) - v.dvClipX * screenScaleX_;
  screenScaleY_ = -height / v.dvClipHeight;
  screenOffsetY_ = static_cast<float>(v.dwY) - v.dvClipY * screenScaleY_;
  depthScale_ = 65535.0f / depthRange;
  depthOffset_ = -v.dvMinZ * depthScale_;

  const float left = v.dvClipX;
  const float right = v.dvClipX + v.dvClipWidth;
  const float bottom = v.dvClipY - v.dvClipHeight;
  const float top = v.dvClipY;
  const float guardX = kGuardBand / screenScaleX_;
  const float guardY = kGuardBand / -screenScaleY_;
  float* o = planes_.offset;
  o[soft::kRectLeft] = -left;
  o[soft::kRectRight] = right;
  o[soft::kRectBottom] = -bottom;
  o[soft::kRectTop] = top;
  o[soft::kNear] = -v.dvMinZ;
  o[soft::kFar] = v.dvMaxZ;
  o[soft::kGuardLeft] = -(left - guardX);
  o[soft::kGuardRight] = right + guardX;
  o[soft::kGuardBottom] = -(bottom - guardY);
  o[soft::kGuardTop] = top + guardY;
}

void SoftDevice::updateLights() {
  activeLights_.count = 0;
  for (int i = 0; i < kMaxLights; ++i) {
    const Light& light = lights_[i];
    if (!lightCreated_[i] || !lightAdded_[i] || (light.dwFlags & kLightActive) == 0 ||
        light.dltType != kLightDirectional) {
      continue;
    }
    // A light shines along its direction, so a face turned against it is lit.
    activeLights_.towardLight[activeLights_.count] = -Normalize(light.dvDirection);
    activeLights_.colour[activeLights_.count] = light.dcvColor;
    ++activeLights_.count;
  }
}

// The camera changes once a frame, the world matrix once a draw: view x projection is kept.
void SoftDevice::updateTransform() {
  if (viewProjectionDirty_) {
    Multiply(view_, projection_, viewProjection_);
    viewProjectionDirty_ = false;
  }
  Multiply(world_, viewProjection_, worldViewProjection_);
  transformDirty_ = false;
}

void SoftDevice::drawPrimitive(PrimitiveType type, const Vertex* vertices, uint32_t count) {
  if (vertices == nullptr || colour_.empty() || !viewportDrawable_) {
    return;
  }
  if (transformDirty_) {
    updateTransform();
  }
  switch (type) {
    case PrimitiveType::TriangleList:
      drawTriangleList(vertices, count);
      break;
    case PrimitiveType::TriangleStrip:
      drawTriangleStrip(vertices, count);
      break;
    case PrimitiveType::LineList:
      drawLineList(vertices, count);
      break;
  }
}

template <uint32_t kCorners, typename Draw>
void SoftDevice::forEachPrimitive(const Vertex* vertices, uint32_t count, uint32_t stride,
                                  Draw draw) {
  // Runs overlap by the corners a primitive shares with the next (two in a strip), so that
  // every primitive finds its corners in one run.
  const uint32_t overlap = kCorners - stride;
  for (uint32_t start = 0; start + kCorners <= count; start += kBatch - overlap) {
    const uint32_t n = std::min(count - start, kBatch);
    soft::transformVertices(worldViewProjection_, planes_, vertices + start, n, transformed_);
    for (uint32_t i = 0; i + kCorners <= n; i += stride) {
      const soft::ClipVertex* const corners = transformed_ + i;
      uint32_t outside = kRejectPlanes;
      for (uint32_t k = 0; k < kCorners; ++k) {
        outside &= corners[k].outcode;
      }
      if (outside != 0) {
        continue;
      }
      draw(corners, start + i,
           soft::litColour(vertices[start + i], world_, activeLights_, material_));
    }
  }
}

void SoftDevice::drawTriangleList(const Vertex* vertices, uint32_t count) {
  forEachPrimitive<3>(vertices, count - count % 3, 3,
                      [this](const soft::ClipVertex* v, uint32_t, uint16_t colour) {
                        drawTriangle(v[0], v[1], v[2], colour);
                      });
}

void SoftDevice::drawTriangleStrip(const Vertex* vertices, uint32_t count) {
  forEachPrimitive<3>(vertices, count, 1,
                      [this](const soft::ClipVertex* v, uint32_t first, uint16_t colour) {
                        // Every second triangle of a strip runs the other way round.
                        if ((first & 1) == 0) {
                          drawTriangle(v[0], v[1], v[2], colour);
                        } else {
                          drawTriangle(v[1], v[0], v[2], colour);
                        }
                      });
}

void SoftDevice::drawLineList(const Vertex* vertices, uint32_t count) {
  forEachPrimitive<2>(vertices, count - count % 2, 2,
                      [this](const soft::ClipVertex* v, uint32_t, uint16_t colour) {
                        drawLine(v[0], v[1], colour);
                      });
}

bool SoftDevice::toScreen(const soft::ClipVertex& v, soft::ScreenVertex& out) const {
  if (!(v.w > 0.0f)) {
    return false;
  }
  const float inverse = 1.0f / v.w;
  const float x = (v.x * inverse * screenScaleX_ + screenOffsetX_) * soft::kSubpixel;
  const float y = (v.y * inverse * screenScaleY_ + screenOffsetY_) * soft::kSubpixel;
  const float depth = v.z * inverse * depthScale_ + depthOffset_;
  // The guard band keeps x and y far inside this limit; anything beyond it is a float gone
  // wrong (an overflow, a NaN) and is not drawn.
  constexpr float kLimit = 1 << 26;
  if (!(std::fabs(x) < kLimit && std::fabs(y) < kLimit && std::isfinite(depth))) {
    return false;
  }
  out.x = static_cast<int32_t>(std::lrint(x));
  out.y = static_cast<int32_t>(std::lrint(y));
  out.depth = depth;
  return true;
}

void SoftDevice::drawTriangle(const soft::ClipVertex& a, const soft::ClipVertex& b,
                              const soft::ClipVertex& c, uint16_t colour) {
  const uint32_t crossed = (a.outcode | b.outcode | c.outcode) & soft::kClippedPlanes;
  if (crossed == 0) {
    soft::ScreenVertex sa, sb, sc;
    if (toScreen(a, sa) && toScreen(b, sb) && toScreen(c, sc)) {
      fillTriangle(sa, sb, sc, soft::doubleArea(sa, sb, sc), colour);
    }
    return;
  }
  const soft::ClipVertex corners[3] = {a, b, c};
  soft::ClipVertex clipped[soft::kMaxClippedCorners];
  const int count = soft::clipPolygon(planes_, crossed, corners, 3, clipped);
  soft::ScreenVertex screen[soft::kMaxClippedCorners];
  for (int i = 0; i < count; ++i) {
    if (!toScreen(clipped[i], screen[i])) {
      return;
    }
  }
  // The clipped polygon faces the way the whole triangle does; its pieces are culled by that.
  int64_t area = 0;
  for (int i = 1; i + 1 < count; ++i) {
    area += soft::doubleArea(screen[0], screen[i], screen[i + 1]);
  }
  for (int i = 1; i + 1 < count; ++i) {
    fillTriangle(screen[0], screen[i], screen[i + 1], area, colour);
  }
}

void SoftDevice::fillTriangle(const soft::ScreenVertex& a, const soft::ScreenVertex& b,
                              const soft::ScreenVertex& c, int64_t facing, uint16_t colour) {
  // Clockwise on the screen (positive area) is front facing.
  if (facing == 0 || (facing > 0 && cullMode_ == kCullClockwise) ||
      (facing < 0 && cullMode_ != kCullNone && cullMode_ != kCullClockwise)) {
    return;
  }
  const soft::ScreenVertex& second = facing > 0 ? b : c;
  const soft::ScreenVertex& third = facing > 0 ? c : b;
  if (depthEnabled_) {
    soft::SpanFiller<true> filler{colour_.data(), depth_.data(), width_, colour};
    soft::rasterTriangle(a, second, third, scissor_, filler);
  } else {
    soft::SpanFiller<false> filler{colour_.data(), depth_.data(), width_, colour};
    soft::rasterTriangle(a, second, third, scissor_, filler);
  }
}

void SoftDevice::drawLine(const soft::ClipVertex& a, const soft::ClipVertex& b, uint16_t colour) {
  soft::ClipVertex from = a;
  soft::ClipVertex to = b;
  const uint32_t crossed = (a.outcode | b.outcode) & soft::kClippedPlanes;
  if (crossed != 0 && !soft::clipLine(planes_, crossed, from, to)) {
    return;
  }
  soft::ScreenVertex sa, sb;
  if (!toScreen(from, sa) || !toScreen(to, sb)) {
    return;
  }
  if (depthEnabled_) {
    soft::SpanFiller<true> filler{colour_.data(), depth_.data(), width_, colour};
    soft::rasterLine(sa, sb, scissor_, filler);
  } else {
    soft::SpanFiller<false> filler{colour_.data(), depth_.data(), width_, colour};
    soft::rasterLine(sa, sb, scissor_, filler);
  }
}

}  // namespace tavrik
