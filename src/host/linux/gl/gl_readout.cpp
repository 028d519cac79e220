#include "host/linux/gl/gl_readout.h"

#include <GL/gl.h>

#include <cstdio>

#include "host/readout.h"

namespace tavrik {

void tellDevice(bool gl) {
  if (!gl) {
    std::fprintf(stderr, "tavrik: drawing with the software device\n");
    return;
  }
  const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  std::fprintf(stderr, "tavrik: drawing with OpenGL (%s)\n",
               renderer != nullptr ? renderer : "unknown renderer");
}

void drawGlReadout(const char* text, int drawableWidth, int drawableHeight) {
  glPushAttrib(GL_ENABLE_BIT | GL_VIEWPORT_BIT | GL_SCISSOR_BIT | GL_CURRENT_BIT);
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
  glDisable(GL_SCISSOR_TEST);
  glViewport(0, 0, drawableWidth, drawableHeight);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  // Rows counted from the top, as the readout counts them.
  glOrtho(0.0, drawableWidth, drawableHeight, 0.0, -1.0, 1.0);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  drawReadoutInCorner(text, drawableHeight, [](int x, int y, int w, int h, ReadoutInk ink) {
    const float level = ink == ReadoutInk::Text ? 1.0f : 0.0f;
    glColor3f(level, level, level);
    glRecti(x, y, x + w, y + h);
  });
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopAttrib();
}

}  // namespace tavrik
