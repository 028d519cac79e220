// The device a Windows run draws with, chosen in one order for tavrik.scr and tavrik-replay:
// Direct3D in exclusive full-screen mode, else the software device, so that a display without 3D
// hardware (or one that refuses the mode) still shows the same picture rather than a black
// screen. Each program says how it learns that a device came up: the saver starts its run on it,
// the replay runner tries a bring-up and says what came of it.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "device/d3d/d3d_device.h"
#include "device/device.h"
#include "device/presenter.h"

namespace tavrik {

// What the devices are made with.
struct WinDevices {
  HWND window = nullptr;                // owns Direct3D's exclusive full-screen mode
  Presenter* software = nullptr;        // shows the software device's frames
  Presenter* direct3DFrames = nullptr;  // receives Direct3D's frames too, where given
  D3dStep failAt = D3dStep::None;       // the bring-up step a test makes fail
};

struct WinDevice {
  std::unique_ptr<Device> device;  // null when neither came up
  bool direct3D = false;
};

// Direct3D when direct3DUp says it came up, else the software device when softwareUp says so (or
// at once without softwareUp).
WinDevice chooseWinDevice(const WinDevices& devices,
                          const std::function<bool(D3dDevice&)>& direct3DUp,
                          const std::function<bool(Device&)>& softwareUp = {});

}  // namespace tavrik
