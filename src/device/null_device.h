// A device that accepts every call and draws nothing: runs whose pictures nobody looks at.
#pragma once

#include "device/device.h"

namespace tavrik {

class NullDevice : public Device {
 public:
  bool initDevice(uint16_t, uint16_t) override { return true; }
  void releaseDevice() override {}
  bool resize(uint16_t, uint16_t) override { return true; }
  bool createLight(int) override { return true; }
  void setLight(int, const Light&) override {}
  void addLight(int) override {}
  bool createMaterial() override { return true; }
  uint32_t getMaterialHandle() override { return 1; }
  void setLightState(LightState, uint32_t) override {}
  void setRenderState(RenderState, uint32_t) override {}
  void setMaterial(const Material&) override {}
  void setTransform(TransformState, const Matrix4&) override {}
  void colourFill(uint32_t) override {}
  void clearDepth(const Rect&) override {}
  void beginScene() override {}
  void endScene() override {}
  void drawPrimitive(PrimitiveType, const Vertex*, uint32_t) override {}
  void flip() override {}
};

}  // namespace tavrik
