// The one narrow interface through which scene set-up and the render pass reach the graphics
// device. Its records carry the fields of the immediate-mode records they stand for, so the
// Direct3D backend forwards them as they are and the software device reads the same values.
#pragma once

#include <cstdint>

#include "math/matrix.h"
#include "math/vector.h"

namespace tavrik {

struct ColourValue {
  float r, g, b, a;
};

struct Material {  // D3DMATERIAL
  uint32_t dwSize;
  ColourValue diffuse;
  ColourValue ambient;
  ColourValue specular;
  ColourValue emissive;
  float power;
  uint32_t hTexture;
  uint32_t dwRampSize;
};
static_assert(sizeof(Material) == 80);

inline constexpr uint32_t kLightDirectional = 3;
inline constexpr uint32_t kLightActive = 1;

struct Light {  // D3DLIGHT2
  uint32_t dwSize;
  uint32_t dltType;
  ColourValue dcvColor;
  Vec3 dvPosition;
  Vec3 dvDirection;
  float dvRange;
  float dvFalloff;
  float dvAttenuation0;
  float dvAttenuation1;
  float dvAttenuation2;
  float dvTheta;
  float dvPhi;
  uint32_t dwFlags;
};
static_assert(sizeof(Light) == 80);

struct Viewport {  // D3DVIEWPORT2
  uint32_t dwSize;
  uint32_t dwX;
  uint32_t dwY;
  uint32_t dwWidth;
  uint32_t dwHeight;
  float dvClipX;
  float dvClipY;
  float dvClipWidth;
  float dvClipHeight;
  float dvMinZ;
  float dvMaxZ;
};
static_assert(sizeof(Viewport) == 44);

struct Rect {  // D3DRECT
  int32_t x1, y1, x2, y2;
};

enum class TransformState : uint32_t { World = 1, View = 2, Projection = 3 };
enum class PrimitiveType : uint32_t { LineList = 2, TriangleList = 4, TriangleStrip = 5 };
enum class RenderState : uint32_t { ZEnable = 7, ShadeMode = 9, CullMode = 22 };
enum class LightState : uint32_t { Material = 1 };

inline constexpr uint32_t kCullCounterClockwise = 3;
inline constexpr uint32_t kShadeFlat = 1;

// The viewport that bring-up gives every device: the whole buffer, with a clip rectangle two
// units wide and as high as the screen's ratio asks. A picture taller than wide keeps its height
// at two units instead, so the larger of the two fields is the lens's and the craft keep their
// size on a portrait screen; every wider picture's rectangle is the same as before.
inline Viewport makeViewport(uint16_t width, uint16_t height) {
  Viewport v{};
  v.dwSize = sizeof(Viewport);
  v.dwWidth = width;
  v.dwHeight = height;
  if (height > width) {
    v.dvClipX = -static_cast<float>(width) / static_cast<float>(height);
    v.dvClipY = 1.0f;
    v.dvClipWidth = 2.0f * static_cast<float>(width) / static_cast<float>(height);
    v.dvClipHeight = 2.0f;
  } else {
    v.dvClipX = -1.0f;
    v.dvClipY = static_cast<float>(height) / static_cast<float>(width);
    v.dvClipWidth = 2.0f;
    v.dvClipHeight = 2.0f * static_cast<float>(height) / static_cast<float>(width);
  }
  v.dvMinZ = 0.0f;
  v.dvMaxZ = 1.0f;
  return v;
}

inline constexpr int kMaxLights = 2;

class Device {
 public:
  virtual ~Device() = default;

  // Bring-up: colour and depth buffers of width x height and the viewport of makeViewport.
  // On false nothing is left for releaseDevice to undo.
  virtual bool initDevice(uint16_t width, uint16_t height) = 0;
  // Releases the material, the lights (each taken off the viewport first), the viewport and the
  // buffers, in that order; each only when it exists. Safe to call more than once.
  virtual void releaseDevice() = 0;
  // New buffers and viewport of width x height for a picture that follows its window; the
  // scene's state stays. False (and nothing changed) where the device cannot change its size or
  // is not up.
  virtual bool resize(uint16_t width, uint16_t height) = 0;

  // Lights are numbered 0 to kMaxLights - 1.
  virtual bool createLight(int light) = 0;
  virtual void setLight(int light, const Light& record) = 0;
  virtual void addLight(int light) = 0;
  virtual bool createMaterial() = 0;
  virtual uint32_t getMaterialHandle() = 0;
  virtual void setLightState(LightState state, uint32_t value) = 0;
  virtual void setRenderState(RenderState state, uint32_t value) = 0;

  // The one material object: the record given here lights every following draw.
  virtual void setMaterial(const Material& record) = 0;
  virtual void setTransform(TransformState state, const Matrix4& matrix) = 0;
  // Fills the whole back buffer with the pixel value.
  virtual void colourFill(uint32_t pixel) = 0;
  virtual void clearDepth(const Rect& rect) = 0;
  virtual void beginScene() = 0;
  virtual void endScene() = 0;
  // Untransformed, unlit vertices: transformed, lit, depth-tested and drawn.
  virtual void drawPrimitive(PrimitiveType type, const Vertex* vertices, uint32_t count) = 0;
  // Hands the finished back buffer on.
  virtual void flip() = 0;
};

}  // namespace tavrik
