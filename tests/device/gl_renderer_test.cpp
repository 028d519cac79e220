#include <gtest/gtest.h>

#include "device/gl/gl_renderer.h"

namespace tavrik {
namespace {

// Renderer strings as drivers report them: Mesa's software rasterizers count as software, as
// does no context at all; every hardware driver does not.
TEST(GlRenderer, MesaSoftwareRasterizersAreSoftware) {
  const struct {
    const char* renderer;
    bool software;
  } cases[] = {
      {"llvmpipe (LLVM 15.0.6, 256 bits)", true},
      {"softpipe", true},
      {"Mesa X11 swrast", true},
      {"Software Rasterizer", true},
      {"Mesa DRI Intel(R) HD Graphics 620 (KBL GT2)", false},
      {"AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49, 6.1.0-18-amd64)", false},
      {"NVIDIA GeForce GTX 1060 6GB/PCIe/SSE2", false},
      {"virgl (Intel(R) UHD Graphics 630)", false},
      {nullptr, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(isSoftwareRenderer(c.renderer), c.software)
        << (c.renderer != nullptr ? c.renderer : "(no context)");
  }
}

}  // namespace
}  // namespace tavrik
