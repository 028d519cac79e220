#include "render/render.h"

#include <algorithm>

namespace tavrik {

namespace {

constexpr uint32_t kHarrierBodyVertexCount = 18;
constexpr uint32_t kHarrierFinVertexCount = 6;

void drawHarriers(const Scene& scene, const Settings& settings, Device& device) {
  // The scene is read-only here, so the harriers' colours go through a copy of their material.
  Material material = scene.harrierMaterial;
  const int count = std::clamp(settings.numHarriers, 0, kHarrierTableSize);
  // A formation's leader is flown but never seen.
  const int first = settings.formation == kFormationNone ? 0 : 1;
  for (int i = first; i < count; ++i) {
    const Harrier& h = scene.harriers[i];
    FillMaterial(material, h.colour.r, h.colour.g, h.colour.b);
    device.setMaterial(material);
    device.setTransform(TransformState::World, h.world);
    device.drawPrimitive(PrimitiveType::TriangleList, scene.harrierBodyVerts,
                         kHarrierBodyVertexCount);
    if (scene.whiteFins == 1) {
      FillMaterial(material, 1.0f, 1.0f, 1.0f);
      device.setMaterial(material);
    }
    device.drawPrimitive(PrimitiveType::TriangleList, scene.harrierFinVerts,
                         kHarrierFinVertexCount);
  }
}

void drawClouds(const Scene& scene, const Settings& settings, Device& device) {
  const PrimitiveType type = settings.cloudPrimitive == kPrimitiveLineList
                                 ? PrimitiveType::LineList
                                 : PrimitiveType::TriangleStrip;
  device.setMaterial(scene.cloudMaterial);
  for (const Matrix4& tile : scene.cloudTileMatrices) {
    device.setTransform(TransformState::World, tile);
    device.drawPrimitive(type, scene.cloudTopVerts, 4);
    device.drawPrimitive(type, scene.cloudBottomVerts, 4);
  }
}

void drawGround(const Scene& scene, Device& device) {
  device.setMaterial(scene.groundMaterial);
  for (const Matrix4& tile : scene.groundTileMatrices) {
    device.setTransform(TransformState::World, tile);
    device.drawPrimitive(PrimitiveType::TriangleStrip, scene.groundTopVerts, 4);
  }
}

void drawQuarry(const Scene& scene, Device& device) {
  device.setMaterial(scene.quarryMaterial);
  const int count = std::min<int>(scene.quarrySegmentCount, kMaxQuarrySegments);
  for (int s = 0; s < count; ++s) {
    device.setTransform(TransformState::World, scene.quarrySegmentMatrices[s]);
    device.drawPrimitive(PrimitiveType::TriangleStrip, scene.quarryTopVerts, 3);
    device.drawPrimitive(PrimitiveType::TriangleStrip, scene.quarrySideVerts, 4);
    device.drawPrimitive(PrimitiveType::TriangleStrip, scene.quarryBottomVerts, 3);
  }
}

}  // namespace

void renderFrame(const Scene& scene, const Settings& settings, Device& device) {
  device.setTransform(TransformState::View, scene.view);
  device.setTransform(TransformState::Projection, scene.projection);
  device.colourFill(0);
  device.clearDepth(Rect{0, 0, settings.screenWidth, settings.screenHeight});
  device.beginScene();
  drawHarriers(scene, settings, device);
  drawClouds(scene, settings, device);
  if (settings.withGround == 1) {
    drawGround(scene, device);
  }
  drawQuarry(scene, device);
  device.endScene();
  device.flip();
}

}  // namespace tavrik
