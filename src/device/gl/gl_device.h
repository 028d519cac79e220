// The device interface on fixed-function OpenGL, on the context its target makes current: the
// software device's effects (directional lights, flat shading from each triangle's first vertex,
// counter-clockwise culling with strip winding, depth test less-or-equal, line lists), with the
// viewport record, the sample positions and the depth range mapped so that at the picture's own
// size its pixels line up with the software device's. The picture goes where the target places
// it; the rest of the drawable is black.
#pragma once

#include <cstdint>

#include "device/device.h"
#include "device/gl/gl_target.h"

namespace tavrik {

class GlDevice : public Device {
 public:
  explicit GlDevice(GlTarget& target);
  GlDevice(const GlDevice&) = delete;
  GlDevice& operator=(const GlDevice&) = delete;
  ~GlDevice() override;

  bool initDevice(uint16_t width, uint16_t height) override;
  void releaseDevice() override;
  // The target takes the new size; lights, material and states stay.
  bool resize(uint16_t width, uint16_t height) override;
  bool createLight(int light) override;
  void setLight(int light, const Light& record) override;
  void addLight(int light) override;
  bool createMaterial() override;
  uint32_t getMaterialHandle() override;
  void setLightState(LightState, uint32_t) override {}
  void setRenderState(RenderState state, uint32_t value) override;
  void setMaterial(const Material& record) override;
  void setTransform(TransformState state, const Matrix4& matrix) override;
  // Starts the frame: takes the target's place for the picture and paints the rest black.
  void colourFill(uint32_t pixel) override;
  void clearDepth(const Rect& rect) override;
  void beginScene() override {}
  void endScene() override {}
  void drawPrimitive(PrimitiveType type, const Vertex* vertices, uint32_t count) override;
  // Hands the finished frame to the target.
  void flip() override;

 private:
  void setUpState();
  void takePlace();
  void updateMatrices();

  GlTarget& target_;
  bool open_ = false;
  int width_ = 0;
  int height_ = 0;
  GlPlace place_{};
  Viewport viewport_{};
  Matrix4 world_{}, view_{}, projection_{};
  bool modelviewDirty_ = true;
  bool projectionDirty_ = true;
  bool lightsDirty_ = true;
  bool materialCreated_ = false;
  bool lightCreated_[kMaxLights] = {};
  bool lightAdded_[kMaxLights] = {};
  Light lights_[kMaxLights] = {};
};

}  // namespace tavrik
