// The device interface on fixed-function OpenGL in an offscreen OSMesa context (Mesa's
// llvmpipe): the peer the software device is measured against. It draws into an RGB565 colour
// buffer with a 16-bit depth buffer and maps the viewport record, the sample positions and the
// depth range so that its pictures line up with the software device's pixel for pixel.
#pragma once

#include <cstdint>
#include <vector>

#include "device/device.h"

namespace tavrik {

class GlDevice : public Device {
 public:
  ~GlDevice() override;

  bool initDevice(uint16_t width, uint16_t height) override;
  void releaseDevice() override;
  bool createLight(int light) override;
  void setLight(int light, const Light& record) override;
  void addLight(int light) override;
  bool createMaterial() override { return true; }
  uint32_t getMaterialHandle() override { return 1; }
  void setLightState(LightState, uint32_t) override {}
  void setRenderState(RenderState state, uint32_t value) override;
  void setMaterial(const Material& record) override;
  void setTransform(TransformState state, const Matrix4& matrix) override;
  void colourFill(uint32_t pixel) override;
  void clearDepth(const Rect& rect) override;
  void beginScene() override {}
  void endScene() override {}
  void drawPrimitive(PrimitiveType type, const Vertex* vertices, uint32_t count) override;
  // Waits until the frame is finished in the colour buffer.
  void flip() override;

  // RGB565, top row first.
  const uint16_t* pixels() const { return pixels_.data(); }

 private:
  void makeCurrent();
  void updateMatrices();

  void* context_ = nullptr;
  std::vector<uint16_t> pixels_;
  int width_ = 0;
  int height_ = 0;
  Viewport viewport_{};
  Matrix4 world_{}, view_{}, projection_{};
  bool modelviewDirty_ = true;
  bool projectionDirty_ = true;
  bool lightsDirty_ = true;
  bool lightOn_[kMaxLights] = {};
  Light lights_[kMaxLights] = {};
};

}  // namespace tavrik
