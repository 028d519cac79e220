#include <gtest/gtest.h>

#include <memory>

#include "config/settings.h"
#include "render/render.h"
#include "scene/scene.h"
#include "scene/setup.h"
#include "support/recording_device.h"

namespace tavrik {
namespace {

using testing::DeviceCall;
using testing::RecordingDevice;

struct Frame {
  Settings settings;
  std::unique_ptr<Scene> scene = std::make_unique<Scene>();
  RecordingDevice device;
};

std::unique_ptr<Frame> builtFrame(int count, int formation) {
  auto frame = std::make_unique<Frame>();
  frame->settings.numHarriers = count;
  frame->settings.formation = formation;
  frame->settings.withGround = 1;
  Random random{2024};
  EXPECT_TRUE(buildScene(*frame->scene, frame->settings, random, frame->device));
  frame->scene->quarrySegmentCount = 12;
  frame->scene->whiteFins = 0;
  for (int i = 0; i < kHarrierTableSize; ++i) {
    frame->scene->harriers[i].world(3, 0) = static_cast<float>(i);
  }
  frame->device.calls.clear();
  return frame;
}

std::vector<const DeviceCall*> callsNamed(const RecordingDevice& device, const std::string& name) {
  std::vector<const DeviceCall*> found;
  for (const DeviceCall& call : device.calls) {
    if (call.name == name) {
      found.push_back(&call);
    }
  }
  return found;
}

void expectCounts(const RecordingDevice& device, int drawn, int white, int segments) {
  EXPECT_EQ(device.count("setTransform"), 2 + drawn + 145 + 313 + segments);
  EXPECT_EQ(device.count("setMaterial"), drawn * (1 + white) + 3);
  EXPECT_EQ(device.count("drawPrimitive"), 2 * drawn + 290 + 313 + 3 * segments);
  EXPECT_EQ(device.count("colourFill"), 1);
  EXPECT_EQ(device.count("clearDepth"), 1);
  EXPECT_EQ(device.count("beginScene"), 1);
  EXPECT_EQ(device.count("endScene"), 1);
  EXPECT_EQ(device.count("flip"), 1);
  EXPECT_EQ(device.calls.size(),
            static_cast<size_t>(device.count("setTransform") + device.count("setMaterial") +
                                device.count("drawPrimitive") + 5));
}

TEST(RenderFrame, FrameOpensAndClosesInOrder) {
  auto frame = builtFrame(15, kFormationNone);
  renderFrame(*frame->scene, frame->settings, frame->device);
  const auto& calls = frame->device.calls;
  ASSERT_GE(calls.size(), 7u);
  EXPECT_EQ(calls[0].name, "setTransform");
  EXPECT_EQ(calls[0].a, static_cast<uint32_t>(TransformState::View));
  EXPECT_EQ(calls[0].matrix.m[5], frame->scene->view.m[5]);
  EXPECT_EQ(calls[1].name, "setTransform");
  EXPECT_EQ(calls[1].a, static_cast<uint32_t>(TransformState::Projection));
  EXPECT_EQ(calls[2].name, "colourFill");
  EXPECT_EQ(calls[2].a, 0u);
  EXPECT_EQ(calls[3].name, "clearDepth");
  EXPECT_EQ(calls[3].a, 640u);
  EXPECT_EQ(calls[3].b, 480u);
  EXPECT_EQ(calls[4].name, "beginScene");
  EXPECT_EQ(calls[calls.size() - 2].name, "endScene");
  EXPECT_EQ(calls.back().name, "flip");
}

TEST(RenderFrame, FreeFlockOfFifteenDrawsEveryHarrierFromZero) {
  auto frame = builtFrame(15, kFormationNone);
  renderFrame(*frame->scene, frame->settings, frame->device);
  expectCounts(frame->device, 15, 0, 12);
  const auto& calls = frame->device.calls;
  // Harrier i: material, world, body, fin.
  for (int i = 0; i < 15; ++i) {
    const DeviceCall* c = &calls[5 + 4 * static_cast<size_t>(i)];
    const Harrier& h = frame->scene->harriers[i];
    EXPECT_EQ(c[0].name, "setMaterial");
    EXPECT_EQ(c[0].material.diffuse.r, h.colour.r);
    EXPECT_EQ(c[0].material.diffuse.g, h.colour.g);
    EXPECT_EQ(c[0].material.emissive.b, 0.3f * h.colour.b);
    EXPECT_EQ(c[1].name, "setTransform");
    EXPECT_EQ(c[1].a, static_cast<uint32_t>(TransformState::World));
    EXPECT_EQ(c[1].matrix(3, 0), static_cast<float>(i));
    EXPECT_EQ(c[2].name, "drawPrimitive");
    EXPECT_EQ(c[2].a, static_cast<uint32_t>(PrimitiveType::TriangleList));
    EXPECT_EQ(c[2].b, 18u);
    EXPECT_EQ(c[2].vertices, frame->scene->harrierBodyVerts);
    EXPECT_EQ(c[3].name, "drawPrimitive");
    EXPECT_EQ(c[3].b, 6u);
    EXPECT_EQ(c[3].vertices, frame->scene->harrierFinVerts);
  }
}

TEST(RenderFrame, FormationsLeaveTheLeaderOut) {
  for (int formation : {kFormationTriangle, kFormationLine}) {
    auto frame = builtFrame(10, formation);
    renderFrame(*frame->scene, frame->settings, frame->device);
    expectCounts(frame->device, 9, 0, 12);
    const auto worlds = callsNamed(frame->device, "setTransform");
    EXPECT_EQ(worlds[2]->matrix(3, 0), 1.0f);
    EXPECT_EQ(worlds[10]->matrix(3, 0), 9.0f);
  }
}

TEST(RenderFrame, WhiteFinsCostASecondMaterialPerHarrier) {
  auto frame = builtFrame(4, kFormationNone);
  frame->scene->whiteFins = 1;
  renderFrame(*frame->scene, frame->settings, frame->device);
  expectCounts(frame->device, 4, 1, 12);
  const auto materials = callsNamed(frame->device, "setMaterial");
  for (int i = 0; i < 4; ++i) {
    const Harrier& h = frame->scene->harriers[i];
    const Material& body = materials[2 * static_cast<size_t>(i)]->material;
    const Material& fin = materials[2 * static_cast<size_t>(i) + 1]->material;
    EXPECT_EQ(body.diffuse.r, h.colour.r);
    EXPECT_EQ(body.diffuse.b, h.colour.b);
    EXPECT_EQ(fin.diffuse.r, 1.0f);
    EXPECT_EQ(fin.diffuse.g, 1.0f);
    EXPECT_EQ(fin.diffuse.b, 1.0f);
    EXPECT_FLOAT_EQ(fin.emissive.g, 0.3f);
  }
  // The scratch colours never reach the scene's own record.
  EXPECT_EQ(frame->scene->harrierMaterial.diffuse.r, 0.0f);
}

TEST(RenderFrame, CloudsGroundAndQuarryInThatOrder) {
  auto frame = builtFrame(2, kFormationNone);
  renderFrame(*frame->scene, frame->settings, frame->device);
  const auto materials = callsNamed(frame->device, "setMaterial");
  ASSERT_EQ(materials.size(), 5u);
  EXPECT_EQ(materials[2]->material.diffuse.r, frame->scene->cloudMaterial.diffuse.r);
  EXPECT_EQ(materials[3]->material.diffuse.g, frame->scene->groundMaterial.diffuse.g);
  EXPECT_EQ(materials[4]->material.diffuse.r, frame->scene->quarryMaterial.diffuse.r);
  const auto draws = callsNamed(frame->device, "drawPrimitive");
  const Scene& scene = *frame->scene;
  EXPECT_EQ(draws[4]->vertices, scene.cloudTopVerts);
  EXPECT_EQ(draws[4]->a, static_cast<uint32_t>(PrimitiveType::TriangleStrip));
  EXPECT_EQ(draws[4]->b, 4u);
  EXPECT_EQ(draws[5]->vertices, scene.cloudBottomVerts);
  EXPECT_EQ(draws[4 + 290]->vertices, scene.groundTopVerts);
  EXPECT_EQ(draws[4 + 290 + 312]->vertices, scene.groundTopVerts);
  const size_t quarry = 4 + 290 + 313;
  EXPECT_EQ(draws[quarry]->vertices, scene.quarryTopVerts);
  EXPECT_EQ(draws[quarry]->b, 3u);
  EXPECT_EQ(draws[quarry + 1]->vertices, scene.quarrySideVerts);
  EXPECT_EQ(draws[quarry + 1]->b, 4u);
  EXPECT_EQ(draws[quarry + 2]->vertices, scene.quarryBottomVerts);
  const auto worlds = callsNamed(frame->device, "setTransform");
  EXPECT_EQ(worlds[4]->matrix.m[12], scene.cloudTileMatrices[0].m[12]);
  EXPECT_EQ(worlds[4 + 144]->matrix.m[14], scene.cloudTileMatrices[144].m[14]);
  EXPECT_EQ(worlds[4 + 145]->matrix.m[12], scene.groundTileMatrices[0].m[12]);
  EXPECT_EQ(worlds.back()->matrix.m[0], scene.quarrySegmentMatrices[11].m[0]);
}

TEST(RenderFrame, WireCloudsAreLineLists) {
  auto frame = builtFrame(3, kFormationNone);
  frame->settings.cloudPrimitive = kPrimitiveLineList;
  renderFrame(*frame->scene, frame->settings, frame->device);
  expectCounts(frame->device, 3, 0, 12);
  int lines = 0;
  for (const DeviceCall* draw : callsNamed(frame->device, "drawPrimitive")) {
    if (draw->a == static_cast<uint32_t>(PrimitiveType::LineList)) {
      EXPECT_EQ(draw->b, 4u);
      ++lines;
    }
  }
  EXPECT_EQ(lines, 290);
}

TEST(RenderFrame, TwentyFourSegmentsGiveSeventyTwoQuarryDraws) {
  auto frame = builtFrame(3, kFormationNone);
  frame->scene->quarrySegmentCount = 24;
  renderFrame(*frame->scene, frame->settings, frame->device);
  expectCounts(frame->device, 3, 0, 24);
  const auto worlds = callsNamed(frame->device, "setTransform");
  EXPECT_EQ(worlds.back()->matrix.m[0], frame->scene->quarrySegmentMatrices[23].m[0]);
}

TEST(RenderFrame, NoGroundWhenItIsOff) {
  auto frame = builtFrame(3, kFormationNone);
  frame->settings.withGround = 0;
  renderFrame(*frame->scene, frame->settings, frame->device);
  EXPECT_EQ(frame->device.count("drawPrimitive"), 6 + 290 + 36);
  EXPECT_EQ(frame->device.count("setMaterial"), 3 + 2);
}

TEST(RenderFrame, BadCountsStayInsideTheTables) {
  auto frame = builtFrame(3, kFormationNone);
  frame->settings.numHarriers = 500;
  frame->settings.cloudPrimitive = 77;
  frame->scene->quarrySegmentCount = 900;
  renderFrame(*frame->scene, frame->settings, frame->device);
  expectCounts(frame->device, kHarrierTableSize, 0, kMaxQuarrySegments);
  frame->device.calls.clear();
  frame->settings.numHarriers = -3;
  renderFrame(*frame->scene, frame->settings, frame->device);
  expectCounts(frame->device, 0, 0, kMaxQuarrySegments);
}

}  // namespace
}  // namespace tavrik
