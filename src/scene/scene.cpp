#include "scene/scene.h"

namespace tavrik {

void FillMaterial(Material& desc, float r, float g, float b) {
  desc.diffuse.r = r;
  desc.diffuse.g = g;
  desc.diffuse.b = b;
  desc.ambient.r = desc.ambient.g = desc.ambient.b = 0.0f;
  desc.specular.r = desc.specular.g = desc.specular.b = 0.0f;
  desc.emissive.r = 0.3f * r;
  desc.emissive.g = 0.3f * g;
  desc.emissive.b = 0.3f * b;
  desc.power = 0.0f;
  desc.dwRampSize = 1;
}

}  // namespace tavrik
