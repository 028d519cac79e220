// The Direct3D device. It implements the device interface with DirectDraw in exclusive
// full-screen mode and Direct3D immediate mode (the DirectX 5 interfaces), and relies on the
// host's top-level window to own that mode. It examines the statuses of the bring-up only; each
// frame's calls go unchecked, except that surfaces lost to another program are restored.
#include "device/d3d/d3d_device.h"

namespace tavrik {

namespace {

template <class Interface>
void release(Interface*& pointer) {
  if (pointer != nullptr) {
    pointer->Release();
    pointer = nullptr;
  }
}

// Takes the first driver that draws in 3D on surfaces that can be textures, and stops there.
BOOL CALLBACK enumDriverCallback(GUID* guid, LPSTR, LPSTR, LPVOID context) {
  auto* chosen = static_cast<IDirectDraw**>(context);
  IDirectDraw* candidate = nullptr;
  if (FAILED(DirectDrawCreate(guid, &candidate, nullptr))) {
    *chosen = nullptr;
    return TRUE;
  }
  DDCAPS driverCaps{};
  DDCAPS emulationCaps{};
  driverCaps.dwSize = sizeof driverCaps;
  emulationCaps.dwSize = sizeof emulationCaps;
  if (SUCCEEDED(candidate->GetCaps(&driverCaps, &emulationCaps)) &&
      (driverCaps.dwCaps & DDCAPS_3D) != 0 && (driverCaps.ddsCaps.dwCaps & DDSCAPS_TEXTURE) != 0) {
    *chosen = candidate;
    return FALSE;
  }
  *chosen = nullptr;
  candidate->Release();
  return TRUE;
}

}  // namespace

bool D3dDevice::initDevice(uint16_t width, uint16_t height) {
  width_ = width;
  height_ = height;
  if (initDirectDraw() && initDirect3D()) {
    failedStep_ = D3dStep::None;
    return true;
  }
  // A failed step releases only what it names; the rest goes too, so that the display returns
  // to the desktop's mode and whoever draws next finds it as it was.
  releaseDevice();
  return false;
}

bool D3dDevice::initDirectDraw() {
  if (!allowed(D3dStep::CreateDriver)) {
    return false;
  }
  IDirectDraw* draw = nullptr;
  HRESULT status = DirectDrawEnumerateA(enumDriverCallback, &draw);
  if (draw == nullptr) {
    status = DirectDrawCreate(nullptr, &draw, nullptr);
  }
  if (FAILED(status) || draw == nullptr) {
    release(draw);
    return false;
  }
  draw->SetCooperativeLevel(window_, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE);
  status = allowed(D3dStep::QueryDirectDraw2)
               ? draw->QueryInterface(IID_IDirectDraw2, reinterpret_cast<void**>(&directDraw_))
               : E_NOINTERFACE;
  draw->Release();
  if (FAILED(status)) {
    directDraw_ = nullptr;
    return false;
  }

  if (!allowed(D3dStep::SetDisplayMode) ||
      FAILED(directDraw_->SetDisplayMode(width_, height_, 16, 0, 0))) {
    release(directDraw_);
    return false;
  }

  DDSURFACEDESC primary{};
  primary.dwSize = sizeof primary;
  primary.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
  primary.dwBackBufferCount = 1;
  primary.ddsCaps.dwCaps =
      DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE;
  IDirectDrawSurface* surface = nullptr;
  if (!allowed(D3dStep::CreatePrimary) ||
      FAILED(directDraw_->CreateSurface(&primary, &surface, nullptr))) {
    release(directDraw_);
    return false;
  }
  status = allowed(D3dStep::QueryPrimary3)
               ? surface->QueryInterface(IID_IDirectDrawSurface3,
                                         reinterpret_cast<void**>(&primarySurface_))
               : E_NOINTERFACE;
  surface->Release();
  if (FAILED(status)) {
    primarySurface_ = nullptr;
    release(directDraw_);
    return false;
  }

  DDSCAPS backCaps{};
  backCaps.dwCaps = DDSCAPS_BACKBUFFER;
  if (!allowed(D3dStep::GetBackBuffer) ||
      FAILED(primarySurface_->GetAttachedSurface(&backCaps, &backBuffer_))) {
    backBuffer_ = nullptr;
    release(primarySurface_);
    release(directDraw_);
    return false;
  }
  return true;
}

bool D3dDevice::initDirect3D() {
  if (!allowed(D3dStep::QueryDirect3D2) ||
      FAILED(directDraw_->QueryInterface(IID_IDirect3D2, reinterpret_cast<void**>(&direct3D_)))) {
    direct3D_ = nullptr;
    return false;
  }

  D3DFINDDEVICESEARCH search{};
  search.dwSize = sizeof search;
  search.dwFlags = D3DFDS_HARDWARE;
  search.bHardware = TRUE;
  D3DFINDDEVICERESULT found{};
  found.dwSize = sizeof found;
  const bool hardware = SUCCEEDED(direct3D_->FindDevice(&search, &found));
  DDSCAPS backCaps{};
  backBuffer_->GetCaps(&backCaps);
  const bool videoMemory = (backCaps.dwCaps & DDSCAPS_VIDEOMEMORY) != 0;

  DDSURFACEDESC depth{};
  depth.dwSize = sizeof depth;
  depth.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_ZBUFFERBITDEPTH;
  depth.dwWidth = width_;
  depth.dwHeight = height_;
  depth.dwZBufferBitDepth = 16;
  depth.ddsCaps.dwCaps =
      DDSCAPS_ZBUFFER | (hardware && videoMemory ? DDSCAPS_VIDEOMEMORY : DDSCAPS_SYSTEMMEMORY);
  IDirectDrawSurface* surface = nullptr;
  HRESULT status = allowed(D3dStep::CreateZBuffer)
                       ? directDraw_->CreateSurface(&depth, &surface, nullptr)
                       : DDERR_OUTOFVIDEOMEMORY;
  if (SUCCEEDED(status)) {
    status = surface->QueryInterface(IID_IDirectDrawSurface3, reinterpret_cast<void**>(&zBuffer_));
    surface->Release();
  }
  if (FAILED(status)) {
    zBuffer_ = nullptr;
    release(direct3D_);
    release(primarySurface_);
    release(directDraw_);
    return false;
  }
  backBuffer_->AddAttachedSurface(zBuffer_);

  // The device wants the first version of the surface interface, not a cast of the third.
  IDirectDrawSurface* target = nullptr;
  status = backBuffer_->QueryInterface(IID_IDirectDrawSurface, reinterpret_cast<void**>(&target));
  if (SUCCEEDED(status)) {
    status = allowed(D3dStep::CreateDevice)
                 ? direct3D_->CreateDevice(IID_IDirect3DHALDevice, target, &device_)
                 : DDERR_GENERIC;
    target->Release();
  }
  if (FAILED(status)) {
    device_ = nullptr;
    return false;
  }

  direct3D_->CreateViewport(&viewport_, nullptr);
  device_->AddViewport(viewport_);
  device_->SetCurrentViewport(viewport_);
  Viewport record = makeViewport(width_, height_);
  viewport_->SetViewport2(reinterpret_cast<D3DVIEWPORT2*>(&record));
  return true;
}

void D3dDevice::releaseDevice() {
  release(materialObject_);
  for (IDirect3DLight*& light : lights_) {
    if (light != nullptr) {
      if (viewport_ != nullptr) {
        viewport_->DeleteLight(light);
      }
      release(light);
    }
  }
  release(viewport_);
  release(device_);
  release(direct3D_);
  // Our own reference to the depth surface goes before the chain it hangs on; the back buffer
  // belongs to the chain and goes with it.
  release(zBuffer_);
  backBuffer_ = nullptr;
  release(primarySurface_);
  release(directDraw_);
}

bool D3dDevice::createLight(int light) {
  return direct3D_ != nullptr && SUCCEEDED(direct3D_->CreateLight(&lights_[light], nullptr));
}

void D3dDevice::setLight(int light, const Light& record) {
  lights_[light]->SetLight(reinterpret_cast<D3DLIGHT*>(const_cast<Light*>(&record)));
}

void D3dDevice::addLight(int light) {
  viewport_->AddLight(lights_[light]);
}

bool D3dDevice::createMaterial() {
  return direct3D_ != nullptr && SUCCEEDED(direct3D_->CreateMaterial(&materialObject_, nullptr));
}

uint32_t D3dDevice::getMaterialHandle() {
  materialObject_->GetHandle(device_, &materialHandle_);
  return materialHandle_;
}

void D3dDevice::setLightState(LightState state, uint32_t value) {
  device_->SetLightState(static_cast<D3DLIGHTSTATETYPE>(state), value);
}

void D3dDevice::setRenderState(RenderState state, uint32_t value) {
  device_->SetRenderState(static_cast<D3DRENDERSTATETYPE>(state), value);
}

void D3dDevice::setMaterial(const Material& record) {
  materialObject_->SetMaterial(reinterpret_cast<D3DMATERIAL*>(const_cast<Material*>(&record)));
  // Some implementations (Wine's among them) copy a material into the device only when its
  // handle is selected, so the new values are selected again; elsewhere this changes nothing.
  device_->SetLightState(D3DLIGHTSTATE_MATERIAL, materialHandle_);
}

void D3dDevice::setTransform(TransformState state, const Matrix4& matrix) {
  device_->SetTransform(static_cast<D3DTRANSFORMSTATETYPE>(state),
                        reinterpret_cast<D3DMATRIX*>(const_cast<Matrix4*>(&matrix)));
}

void D3dDevice::colourFill(uint32_t pixel) {
  DDBLTFX fill{};
  fill.dwSize = sizeof fill;
  fill.dwFillColor = pixel;
  restoreIfLost(backBuffer_->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fill));
}

void D3dDevice::clearDepth(const Rect& rect) {
  viewport_->Clear(1, reinterpret_cast<D3DRECT*>(const_cast<Rect*>(&rect)), D3DCLEAR_ZBUFFER);
}

void D3dDevice::beginScene() {
  device_->BeginScene();
}

void D3dDevice::endScene() {
  device_->EndScene();
}

void D3dDevice::drawPrimitive(PrimitiveType type, const Vertex* vertices, uint32_t count) {
  device_->DrawPrimitive(static_cast<D3DPRIMITIVETYPE>(type), D3DVT_VERTEX,
                         const_cast<Vertex*>(vertices), count, D3DDP_WAIT);
}

void D3dDevice::flip() {
  if (frames_ != nullptr) {
    presentBackBuffer();
  }
  restoreIfLost(primarySurface_->Flip(nullptr, DDFLIP_WAIT));
}

// Another program (or the secure desktop) took the display; the surfaces come back empty and
// the next frame draws into them again. Until they can be restored every frame tries again.
void D3dDevice::restoreIfLost(HRESULT status) {
  if (status != DDERR_SURFACELOST) {
    return;
  }
  // The program that took the display may have left it in another mode. It is set again once
  // that program has let go of the foreground, never under it.
  const HWND front = GetForegroundWindow();
  if (primarySurface_->Restore() == DDERR_WRONGMODE && (front == nullptr || front == window_) &&
      SUCCEEDED(directDraw_->SetDisplayMode(width_, height_, 16, 0, 0))) {
    primarySurface_->Restore();
  }
  zBuffer_->Restore();
}

void D3dDevice::presentBackBuffer() {
  DDSURFACEDESC locked{};
  locked.dwSize = sizeof locked;
  if (FAILED(backBuffer_->Lock(nullptr, &locked, DDLOCK_WAIT | DDLOCK_READONLY, nullptr))) {
    return;
  }
  if (locked.ddpfPixelFormat.dwRGBBitCount == 16 && locked.lpSurface != nullptr) {
    frames_->present(FrameView{static_cast<const uint16_t*>(locked.lpSurface), width_, height_,
                               static_cast<int>(locked.lPitch / 2)});
  }
  backBuffer_->Unlock(nullptr);
}

}  // namespace tavrik
