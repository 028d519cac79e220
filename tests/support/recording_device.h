// A device that records every call, for tests that check the exact call sequence of set-up and
// of a frame.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "device/device.h"

namespace tavrik::testing {

struct DeviceCall {
  std::string name;
  uint32_t a = 0;  // light number, state, primitive type, pixel value, ...
  uint32_t b = 0;  // value, vertex count, ...
  const Vertex* vertices = nullptr;
  Matrix4 matrix{};
  Material material{};
  Light light{};
};

class RecordingDevice : public Device {
 public:
  std::vector<DeviceCall> calls;
  bool failLights = false;
  bool failMaterial = false;
  bool failInit = false;
  int releases = 0;

  int count(const std::string& name) const {
    int n = 0;
    for (const DeviceCall& call : calls) {
      n += call.name == name ? 1 : 0;
    }
    return n;
  }

  bool initDevice(uint16_t width, uint16_t height) override {
    record("initDevice", width, height);
    return !failInit;
  }
  void releaseDevice() override {
    ++releases;
    record("releaseDevice");
  }
  // Not recorded: the frame loop passes on every window size, changed or not.
  bool resize(uint16_t, uint16_t) override { return true; }
  bool createLight(int light) override {
    record("createLight", static_cast<uint32_t>(light));
    return !failLights;
  }
  void setLight(int light, const Light& record_) override {
    record("setLight", static_cast<uint32_t>(light)).light = record_;
  }
  void addLight(int light) override { record("addLight", static_cast<uint32_t>(light)); }
  bool createMaterial() override {
    record("createMaterial");
    return !failMaterial;
  }
  uint32_t getMaterialHandle() override {
    record("getMaterialHandle");
    return 7;
  }
  void setLightState(LightState state, uint32_t value) override {
    record("setLightState", static_cast<uint32_t>(state), value);
  }
  void setRenderState(RenderState state, uint32_t value) override {
    record("setRenderState", static_cast<uint32_t>(state), value);
  }
  void setMaterial(const Material& material) override { record("setMaterial").material = material; }
  void setTransform(TransformState state, const Matrix4& matrix) override {
    record("setTransform", static_cast<uint32_t>(state)).matrix = matrix;
  }
  void colourFill(uint32_t pixel) override { record("colourFill", pixel); }
  void clearDepth(const Rect& rect) override {
    record("clearDepth", static_cast<uint32_t>(rect.x2), static_cast<uint32_t>(rect.y2));
  }
  void beginScene() override { record("beginScene"); }
  void endScene() override { record("endScene"); }
  void drawPrimitive(PrimitiveType type, const Vertex* vertices, uint32_t count) override {
    record("drawPrimitive", static_cast<uint32_t>(type), count).vertices = vertices;
  }
  void flip() override { record("flip"); }

 private:
  DeviceCall& record(const char* name, uint32_t a = 0, uint32_t b = 0) {
    calls.push_back(DeviceCall{name, a, b});
    return calls.back();
  }
};

}  // namespace tavrik::testing
