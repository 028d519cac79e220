// A device in front of another that counts the triangles each frame draws, for the -fps readout:
// the count goes to the meter as the frame is finished, before the frame is shown. Every call is
// passed on unchanged.
#pragma once

#include <cstdint>

#include "device/device.h"
#include "host/readout.h"

namespace tavrik {

class CountingDevice : public Device {
 public:
  CountingDevice(Device& inner, FpsMeter& meter) : inner_(inner), meter_(meter) {}

  bool initDevice(uint16_t width, uint16_t height) override {
    return inner_.initDevice(width, height);
  }
  void releaseDevice() override { inner_.releaseDevice(); }
  bool resize(uint16_t width, uint16_t height) override { return inner_.resize(width, height); }
  bool createLight(int light) override { return inner_.createLight(light); }
  void setLight(int light, const Light& record) override { inner_.setLight(light, record); }
  void addLight(int light) override { inner_.addLight(light); }
  bool createMaterial() override { return inner_.createMaterial(); }
  uint32_t getMaterialHandle() override { return inner_.getMaterialHandle(); }
  void setLightState(LightState state, uint32_t value) override {
    inner_.setLightState(state, value);
  }
  void setRenderState(RenderState state, uint32_t value) override {
    inner_.setRenderState(state, value);
  }
  void setMaterial(const Material& record) override { inner_.setMaterial(record); }
  void setTransform(TransformState state, const Matrix4& matrix) override {
    inner_.setTransform(state, matrix);
  }
  void colourFill(uint32_t pixel) override { inner_.colourFill(pixel); }
  void clearDepth(const Rect& rect) override { inner_.clearDepth(rect); }
  void beginScene() override { inner_.beginScene(); }
  void endScene() override { inner_.endScene(); }
  void drawPrimitive(PrimitiveType type, const Vertex* vertices, uint32_t count) override {
    if (type == PrimitiveType::TriangleList) {
      triangles_ += count / 3;
    } else if (type == PrimitiveType::TriangleStrip && count >= 3) {
      triangles_ += count - 2;
    }
    inner_.drawPrimitive(type, vertices, count);
  }
  void flip() override {
    meter_.setTriangles(triangles_);
    triangles_ = 0;
    inner_.flip();
  }

 private:
  Device& inner_;
  FpsMeter& meter_;
  uint32_t triangles_ = 0;
};

}  // namespace tavrik
