// The software device: draws the device interface's calls into an RGB565 back buffer with a
// 16-bit depth buffer, as an immediate-mode device would, and hands each finished frame to a
// presenter.
#pragma once

#include <cstdint>
#include <vector>

#include "device/device.h"
#include "device/presenter.h"
#include "device/soft/soft_raster.h"
#include "device/soft/soft_transform.h"

namespace tavrik {

class SoftDevice : public Device {
 public:
  // presenter receives every flipped frame; nullptr sends them nowhere.
  explicit SoftDevice(Presenter* presenter);

  bool initDevice(uint16_t width, uint16_t height) override;
  void releaseDevice() override;
  // New buffers; lights, material and states stay.
  bool resize(uint16_t width, uint16_t height) override;

  bool createLight(int light) override;
  void setLight(int light, const Light& record) override;
  void addLight(int light) override;
  bool createMaterial() override;
  uint32_t getMaterialHandle() override;
  void setLightState(LightState state, uint32_t value) override;
  void setRenderState(RenderState state, uint32_t value) override;

  void setMaterial(const Material& record) override;
  void setTransform(TransformState state, const Matrix4& matrix) override;
  void colourFill(uint32_t pixel) override;
  void clearDepth(const Rect& rect) override;
  void beginScene() override;
  void endScene() override;
  void drawPrimitive(PrimitiveType type, const Vertex* vertices, uint32_t count) override;
  void flip() override;

  // The back buffer as it stands (empty before bring-up).
  FrameView backBuffer() const;
  const uint16_t* depthBuffer() const { return depth_.empty() ? nullptr : depth_.data(); }

 private:
  // The transformed vertices of a draw go through a fixed buffer in runs of this many.
  static constexpr uint32_t kBatch = 240;

  // Colour and depth buffers of the size, cleared, and the viewport of makeViewport.
  void makeBuffers(uint16_t width, uint16_t height);
  void updateViewportMapping();
  void updateLights();
  void updateTransform();
  bool toScreen(const soft::ClipVertex& v, soft::ScreenVertex& out) const;
  void drawTriangle(const soft::ClipVertex& a, const soft::ClipVertex& b, const soft::ClipVertex& c,
                    uint16_t colour);
  // Culls by facing (twice the signed area of the triangle or of the polygon it was cut from).
  void fillTriangle(const soft::ScreenVertex& a, const soft::ScreenVertex& b,
                    const soft::ScreenVertex& c, int64_t facing, uint16_t colour);
  void drawLine(const soft::ClipVertex& a, const soft::ClipVertex& b, uint16_t colour);
  // Transforms the vertices in runs of kBatch and hands each primitive (kCorners vertices, the
  // next one stride further on) that is not wholly outside one clip plane to draw, with its
  // corners, the index of its first vertex and that vertex's lit colour.
  template <uint32_t kCorners, typename Draw>
  void forEachPrimitive(const Vertex* vertices, uint32_t count, uint32_t stride, Draw draw);
  void drawTriangleList(const Vertex* vertices, uint32_t count);
  void drawTriangleStrip(const Vertex* vertices, uint32_t count);
  void drawLineList(const Vertex* vertices, uint32_t count);

  Presenter* presenter_;
  int width_ = 0;
  int height_ = 0;
  std::vector<uint16_t> colour_;
  std::vector<uint16_t> depth_;

  bool viewportExists_ = false;
  Viewport viewport_{};
  bool viewportDrawable_ = false;
  soft::ClipPlanes planes_{};
  soft::PixelRect scissor_{};
  float screenScaleX_ = 0, screenOffsetX_ = 0, screenScaleY_ = 0, screenOffsetY_ = 0;
  float depthScale_ = 0, depthOffset_ = 0;

  bool lightCreated_[kMaxLights] = {};
  bool lightAdded_[kMaxLights] = {};
  Light lights_[kMaxLights] = {};
  soft::LightSet activeLights_{};
  bool materialCreated_ = false;
  Material material_{};

  uint32_t cullMode_ = kCullCounterClockwise;
  bool depthEnabled_ = true;

  Matrix4 world_{};
  Matrix4 view_{};
  Matrix4 projection_{};
  Matrix4 viewProjection_{};
  Matrix4 worldViewProjection_{};
  bool viewProjectionDirty_ = true;
  bool transformDirty_ = true;

  soft::ClipVertex transformed_[kBatch];
};

}  // namespace tavrik
