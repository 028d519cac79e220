// The frame render pass: one fixed sequence of device calls that draws what the simulation and
// the camera director left in the scene. It changes nothing in the scene.
#pragma once

#include "config/settings.h"
#include "device/device.h"
#include "scene/scene.h"

namespace tavrik {

void renderFrame(const Scene& scene, const Settings& settings, Device& device);

}  // namespace tavrik
