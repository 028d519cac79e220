#include "scene/geometry.h"

#include "math/trig.h"

namespace tavrik {

namespace {

// Every face normal is the normalised cross product of two edges through its points.
Vec3 faceNormal(const Vec3& firstEdge, const Vec3& secondEdge) {
  return Normalize(Cross(firstEdge, secondEdge));
}

Vertex vertex(const Vec3& position, const Vec3& normal) {
  return Vertex(position, normal, 0, 0);
}

void buildTileFaces(Vertex (&top)[4], Vertex (&bottom)[4], float edge) {
  const Vec3 up(0.0f, 1.0f, 0.0f);
  const Vec3 down(0.0f, -1.0f, 0.0f);
  top[0] = vertex({0, 0, 0}, up);
  top[1] = vertex({0, 0, edge}, up);
  top[2] = vertex({edge, 0, 0}, up);
  top[3] = vertex({edge, 0, edge}, up);
  // The middle corners in the other order make the lower face front-facing from below.
  bottom[0] = vertex({0, 0, 0}, down);
  bottom[1] = vertex({edge, 0, 0}, down);
  bottom[2] = vertex({0, 0, edge}, down);
  bottom[3] = vertex({edge, 0, edge}, down);
}

// A chequerboard: cell (i, j) holds a tile when i + j is even.
template <int kCount>
void buildGrid(Matrix4 (&matrices)[kCount], int cells, float pitch, float y) {
  int tile = 0;
  for (int i = 0; i < cells; ++i) {
    for (int j = 0; j < cells; ++j) {
      if ((i + j) % 2 == 0) {
        SetTranslation(matrices[tile], pitch * static_cast<float>(i), y,
                       pitch * static_cast<float>(j));
        ++tile;
      }
    }
  }
}

}  // namespace

void buildQuarryWedge(Scene& scene) {
  const float radius = 20.0f;
  const float hubHalfHeight = 4.0f;
  const float rimHalfThickness = 1.0f;
  const double angle = 2.0 * kPi / scene.quarrySegmentCount;
  float s = 0.0f;
  float c = 0.0f;
  SinCosF(angle, s, c);

  const Vec3 w0(0.0f, hubHalfHeight, 0.0f);
  const Vec3 w1(radius, rimHalfThickness, 0.0f);
  const Vec3 w2(radius * c, rimHalfThickness, radius * s);
  const Vec3 w3(0.0f, -hubHalfHeight, 0.0f);
  const Vec3 w4(radius, -rimHalfThickness, 0.0f);
  const Vec3 w5(radius * c, -rimHalfThickness, radius * s);

  const Vec3 top = faceNormal(w2 - w0, w1 - w2);
  const Vec3 bottom = faceNormal(w4 - w3, w5 - w4);
  const Vec3 side = faceNormal(w2 - w1, w4 - w2);

  scene.quarryTopVerts[0] = vertex(w0, top);
  scene.quarryTopVerts[1] = vertex(w2, top);
  scene.quarryTopVerts[2] = vertex(w1, top);
  scene.quarrySideVerts[0] = vertex(w1, side);
  scene.quarrySideVerts[1] = vertex(w2, side);
  scene.quarrySideVerts[2] = vertex(w4, side);
  scene.quarrySideVerts[3] = vertex(w5, side);
  scene.quarryBottomVerts[0] = vertex(w3, bottom);
  scene.quarryBottomVerts[1] = vertex(w4, bottom);
  scene.quarryBottomVerts[2] = vertex(w5, bottom);
}

void buildCloudTiles(Scene& scene) {
  buildTileFaces(scene.cloudTopVerts, scene.cloudBottomVerts, kCloudTileSize);
  buildGrid(scene.cloudTileMatrices, kCloudCells, kCloudTileSize + kCloudTileGap, 0.0f);
}

void buildGroundTiles(Scene& scene) {
  buildTileFaces(scene.groundTopVerts, scene.groundBottomVerts, kGroundTileSize);
  buildGrid(scene.groundTileMatrices, kGroundCells, kGroundTileSize + kGroundTileGap, 0.0f);
  Matrix4 shift;
  SetTranslation(shift, -kGroundOffsetX, kGroundHeight, 0.0f);
  for (Matrix4& matrix : scene.groundTileMatrices) {
    Matrix4 moved;
    Multiply(matrix, shift, moved);
    matrix = moved;
  }
}

void buildHarrierModel(Scene& scene) {
  const Vec3 p0(0.0f, 0.0f, 7.0f);      // nose
  const Vec3 p1(-5.0f, 0.0f, -2.0f);    // left wing tip
  const Vec3 p2(0.0f, 1.0f, -3.0f);     // upper tail
  const Vec3 p3(5.0f, 0.0f, -2.0f);     // right wing tip
  const Vec3 p4(0.0f, -0.5f, -3.0f);    // lower tail
  const Vec3 p5(0.0f, 0.5001f, 2.0f);   // fin root, front: just above the ridge so it wins depth
  const Vec3 p6(0.0f, 2.8f, -3.8f);     // fin tip
  const Vec3 p7(0.0f, 1.0001f, -3.0f);  // fin root, rear

  const Vec3 n0 = faceNormal(p2 - p0, p1 - p2);
  const Vec3 n1 = faceNormal(p3 - p0, p2 - p3);
  const Vec3 n2 = faceNormal(p1 - p0, p4 - p1);
  const Vec3 n3 = faceNormal(p4 - p0, p3 - p4);
  const Vec3 n4 = faceNormal(p4 - p2, p1 - p4);
  const Vec3 n5 = faceNormal(p3 - p2, p4 - p3);
  const Vec3 n6 = Normalize(Vec3(-1.0f, 0.0f, 0.0f));
  const Vec3 n7 = Normalize(Vec3(1.0f, 0.0f, 0.0f));

  const Vertex body[24] = {
      vertex(p0, n0), vertex(p2, n0), vertex(p1, n0),  // upper left
      vertex(p0, n1), vertex(p3, n1), vertex(p2, n1),  // upper right
      vertex(p0, n2), vertex(p1, n2), vertex(p4, n2),  // lower left
      vertex(p0, n3), vertex(p4, n3), vertex(p3, n3),  // lower right
      vertex(p2, n4), vertex(p4, n4), vertex(p1, n4),  // rear left
      vertex(p2, n5), vertex(p3, n5), vertex(p4, n5),  // rear right
      vertex(p2, n6), vertex(p5, n6), vertex(p6, n6),  // a fin on the ridge, never drawn
      vertex(p2, n7), vertex(p6, n7), vertex(p5, n7),
  };
  const Vertex fin[6] = {
      vertex(p7, n6), vertex(p5, n6), vertex(p6, n6),
      vertex(p7, n7), vertex(p6, n7), vertex(p5, n7),
  };
  for (int i = 0; i < 24; ++i) {
    scene.harrierBodyVerts[i] = body[i];
  }
  for (int i = 0; i < 6; ++i) {
    scene.harrierFinVerts[i] = fin[i];
  }
}

}  // namespace tavrik
