#include "scene/setup.h"

#include <cmath>

#include "math/trig.h"
#include "scene/geometry.h"

namespace tavrik {

namespace {

Material sceneMaterial(float dr, float dg, float db, float er, float eg, float eb) {
  Material m{};
  m.dwSize = sizeof(Material);
  m.power = 0.0f;
  m.dwRampSize = 1;
  m.diffuse = {dr, dg, db, 0.0f};
  m.emissive = {er, eg, eb, 0.0f};
  return m;
}

Light directionalLight(float grey, const Vec3& position, const Vec3& direction) {
  Light light{};
  light.dwSize = sizeof(Light);
  light.dltType = kLightDirectional;
  light.dcvColor = {grey, grey, grey, 0.0f};
  light.dvPosition = position;
  light.dvDirection = direction;
  light.dwFlags = kLightActive;
  return light;
}

bool addSceneLight(Device& device, int index, const Light& record) {
  if (!device.createLight(index)) {
    return false;
  }
  device.setLight(index, record);
  device.addLight(index);
  return true;
}

void fillFormationTables(Scene& scene, int count) {
  scene.formationRow[0] = 0;
  scene.formationColumn[0] = 0;
  for (int k = 1; k < count; ++k) {
    const int r = static_cast<int>(std::sqrt(static_cast<double>(k - 1)));
    scene.formationRow[k] = -(r + 1);
    scene.formationColumn[k] = (k - 1) - r * r - r;
  }
}

Colour3 harrierColour(int hue, float u) {
  switch (hue) {
    case 0:
      return {1.0f, 0.0f, u};
    case 1:
      return {1.0f, u, 0.0f};
    case 2:
      return {0.0f, 1.0f, u};
    case 3:
      return {u, 1.0f, 0.0f};
    case 4:
      return {u, 0.0f, 1.0f};
    default:
      return {0.0f, u, 1.0f};
  }
}

// Draws in the order of their numbers: u1 for z, u2 for y, u3 for x, u4 to u8 for the velocity,
// the two phases, then the hue and u13.
void placeHarrier(Harrier& h, int index, int lane, Random& random) {
  const float u1 = random.unit();
  const float u2 = random.unit();
  const float u3 = random.unit();
  h.position = Vec3(500.0f * static_cast<float>(lane) - 500.0f * u3 - 3000.0f, 200.0f + 30.0f * u2,
                    100.0f * static_cast<float>(index) + 20.0f * u1);
  const float u4 = random.unit();
  const float u5 = random.unit();
  const float u6 = random.unit();
  const float u7 = random.unit();
  const float u8 = random.unit();
  h.velocity = Vec3(0.005f * u8, 0.001f * u6 - 0.001f * u7, 0.001f * u4 - 0.001f * u5);
  h.forward = Normalize(h.velocity);
  h.side = Normalize(Vec3(h.forward.z, 0.0f, -h.forward.x));
  h.up = Cross(h.forward, h.side);
  const float u9 = random.unit();
  const float u10 = random.unit();
  h.weavePhase = (u9 - u10) * 3.14159f;
  const float u11 = random.unit();
  const float u12 = random.unit();
  h.wobblePhase = (u11 - u12) * 3.14159f;
  h.speed = Length(h.velocity);
  const int hue = random.next() % 6;
  const float u13 = random.unit();
  const Colour3 c = harrierColour(hue, u13);
  h.colour = {c.r * 1.2f, c.g * 1.2f, c.b * 1.2f};
}

}  // namespace

bool buildScene(Scene& scene, const Settings& settings, Random& random, Device& device) {
  scene.highOpening = random.next() % 10 == 1 ? 1 : 0;
  scene.quarryPhase = random.unit() * 6.283f;
  scene.quarrySegmentCount = random.next() % 50 == 0 ? 24 : 12;
  buildQuarryWedge(scene);

  scene.quarryYellow = random.next() % 20 == 1 ? 1 : 0;
  scene.quarryMaterial = scene.quarryYellow != 0
                             ? sceneMaterial(1.3f, 1.3f, 0.0f, 0.07f, 0.15f, 0.1f)
                             : sceneMaterial(1.0f, 1.0f, 1.0f, 0.1f, 0.15f, 0.1f);
  buildCloudTiles(scene);
  buildGroundTiles(scene);
  scene.cloudMaterial = settings.cloudSurface != 0 ? sceneMaterial(1.8f, 1.8f, 2.0f, 0, 0, 0)
                                                   : sceneMaterial(2.2f, 2.2f, 2.8f, 0, 0, 0);
  scene.groundRed = random.next() % 3 == 0 ? 1 : 0;
  scene.groundMaterial = scene.groundRed != 0 ? sceneMaterial(1.0f, 0.6f, 0.6f, 0, 0, 0)
                                              : sceneMaterial(0.6f, 1.0f, 0.6f, 0, 0, 0);
  buildHarrierModel(scene);

  if (!addSceneLight(device, 0, directionalLight(1.0f, Vec3(0, 0, 0), Vec3(1.0f, -0.5f, 1.0f))) ||
      !addSceneLight(device, 1,
                     directionalLight(0.4f, Vec3(0, 0, -100.0f), Vec3(-1.0f, 0.5f, -1.0f)))) {
    return false;
  }
  if (!device.createMaterial()) {
    return false;
  }
  scene.harrierMaterial = Material{};
  scene.harrierMaterial.dwSize = sizeof(Material);
  scene.materialHandle = device.getMaterialHandle();
  device.setLightState(LightState::Material, scene.materialHandle);

  SetLookAt(scene.view, Vec3(-1800.0f, 170.0f, -400.0f), Vec3(100.0f, 50.0f, 10.0f), 0.0f);
  SetPerspective(scene.projection, 10.0f, 3000.0f, static_cast<float>(2.0 * Atan(0.5)));

  device.setRenderState(RenderState::CullMode, kCullCounterClockwise);
  device.setRenderState(RenderState::ShadeMode, kShadeFlat);
  device.setRenderState(RenderState::ZEnable, 1);

  scene.whiteFins = random.next() % 10 == 1 ? 1 : 0;
  const int count = settings.numHarriers;
  fillFormationTables(scene, count);
  scene.lane = random.next() % 5;
  for (int i = 0; i < count; ++i) {
    placeHarrier(scene.harriers[i], i, scene.lane, random);
  }
  return true;
}

void stampStartTime(Scene& scene, uint32_t timerMs) {
  scene.startMs = timerMs;
  scene.previousFrameMs = timerMs;
}

}  // namespace tavrik
