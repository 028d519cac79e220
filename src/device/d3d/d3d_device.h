// The Direct3D device: exclusive full-screen DirectDraw with a flipping pair of 16-bit surfaces,
// a 16-bit Z-buffer and the HAL device of Direct3D immediate mode. Windows only.
#pragma once

#include <windows.h>
// windows.h first: DirectDraw's headers build on its types.
#include <d3d.h>
#include <ddraw.h>

#include <cstdint>

#include "device/device.h"
#include "device/presenter.h"

namespace tavrik {

// The steps of the bring-up whose failure ends it, in their order; tests make one of them fail
// to see the teardown after it.
enum class D3dStep : int {
  None = 0,
  CreateDriver,
  QueryDirectDraw2,
  SetDisplayMode,
  CreatePrimary,
  QueryPrimary3,
  GetBackBuffer,
  QueryDirect3D2,
  CreateZBuffer,
  CreateDevice,
};
inline constexpr int kD3dStepCount = 9;

class D3dDevice : public Device {
 public:
  // window owns the exclusive full-screen mode. frames, when given, receives the back buffer of
  // every frame just before its flip (the pixels as the device drew them, RGB565).
  explicit D3dDevice(HWND window, Presenter* frames = nullptr, D3dStep failAt = D3dStep::None)
      : window_(window), frames_(frames), failAt_(failAt) {}
  ~D3dDevice() override { releaseDevice(); }
  D3dDevice(const D3dDevice&) = delete;
  D3dDevice& operator=(const D3dDevice&) = delete;

  // Both bring-up steps. A failed bring-up releases what its step names and then everything
  // else it made, so the display is back in the desktop's mode when this returns false.
  bool initDevice(uint16_t width, uint16_t height) override;
  void releaseDevice() override;
  // The picture keeps the display mode it was brought up in.
  bool resize(uint16_t, uint16_t) override { return false; }
  // The step the last bring-up failed at, or None after one that succeeded.
  D3dStep failedStep() const { return failedStep_; }

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

 private:
  bool initDirectDraw();
  bool initDirect3D();
  // Notes the step being taken; false when the test asked it to fail.
  bool allowed(D3dStep step) {
    failedStep_ = step;
    return failAt_ != step;
  }
  void restoreIfLost(HRESULT status);
  void presentBackBuffer();

  HWND window_;
  Presenter* frames_;
  D3dStep failAt_;
  D3dStep failedStep_ = D3dStep::None;
  uint16_t width_ = 0;
  uint16_t height_ = 0;

  IDirectDraw2* directDraw_ = nullptr;
  IDirectDrawSurface3* primarySurface_ = nullptr;
  IDirectDrawSurface3* backBuffer_ = nullptr;
  IDirectDrawSurface3* zBuffer_ = nullptr;
  IDirect3D2* direct3D_ = nullptr;
  IDirect3DDevice2* device_ = nullptr;
  IDirect3DViewport2* viewport_ = nullptr;
  IDirect3DMaterial2* materialObject_ = nullptr;
  IDirect3DLight* lights_[kMaxLights] = {};
  D3DMATERIALHANDLE materialHandle_ = 0;
};

}  // namespace tavrik
