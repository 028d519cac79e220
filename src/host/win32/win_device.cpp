#include "host/win32/win_device.h"

#include <utility>

#include "device/soft/soft_device.h"

namespace tavrik {

WinDevice chooseWinDevice(const WinDevices& devices,
                          const std::function<bool(D3dDevice&)>& direct3DUp,
                          const std::function<bool(Device&)>& softwareUp) {
  auto direct3D =
      std::make_unique<D3dDevice>(devices.window, devices.direct3DFrames, devices.failAt);
  if (direct3DUp(*direct3D)) {
    return WinDevice{std::move(direct3D), true};
  }
  direct3D.reset();
  auto software = std::make_unique<SoftDevice>(devices.software);
  if (softwareUp && !softwareUp(*software)) {
    return WinDevice{};
  }
  return WinDevice{std::move(software), false};
}

}  // namespace tavrik
