#include "host/headless/trace.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <initializer_list>

#include "config/quote.h"
#include "host/headless/png_presenter.h"
#include "sim/harriers.h"

namespace tavrik {

namespace {

// Nine significant digits read back to the same 32-bit float; JSON has no NaN or infinity.
void writeFloat(std::FILE* out, float value) {
  if (std::isfinite(value)) {
    std::fprintf(out, "%.9g", static_cast<double>(value));
  } else {
    std::fputs("null", out);
  }
}

void writeVec(std::FILE* out, const Vec3& v) {
  std::fputc('[', out);
  writeFloat(out, v.x);
  std::fputc(',', out);
  writeFloat(out, v.y);
  std::fputc(',', out);
  writeFloat(out, v.z);
  std::fputc(']', out);
}

void writeField(std::FILE* out, const char* name, float value) {
  std::fprintf(out, ",\"%s\":", name);
  writeFloat(out, value);
}

void writeField(std::FILE* out, const char* name, const Vec3& value) {
  std::fprintf(out, ",\"%s\":", name);
  writeVec(out, value);
}

struct NamedInteger {
  const char* name;
  long long value;
};

void writeIntegers(std::FILE* out, std::initializer_list<NamedInteger> fields) {
  for (const NamedInteger& field : fields) {
    std::fprintf(out, ",\"%s\":%lld", field.name, field.value);
  }
}

}  // namespace

void writeTraceHeader(std::FILE* out, uint32_t seed, const Run& run) {
  const Settings& settings = run.settings;
  const Scene& scene = run.scene;
  std::fprintf(out, "{\"seed\":%u", seed);
  writeIntegers(out, {{"numHarriers", settings.numHarriers},
                      {"formation", settings.formation},
                      {"screenWidth", settings.screenWidth},
                      {"screenHeight", settings.screenHeight},
                      {"cloudPrimitive", settings.cloudPrimitive},
                      {"highOpening", scene.highOpening}});
  writeField(out, "quarryPhase", scene.quarryPhase);
  writeIntegers(out, {{"quarrySegmentCount", scene.quarrySegmentCount},
                      {"quarryYellow", scene.quarryYellow},
                      {"groundRed", scene.groundRed},
                      {"whiteFins", scene.whiteFins},
                      {"lane", scene.lane},
                      {"startMs", scene.startMs}});
  std::fputs(",\"harriers\":[", out);
  for (int i = 0; i < settings.numHarriers; ++i) {
    const Harrier& h = scene.harriers[i];
    std::fputs(i == 0 ? "{\"position\":" : ",{\"position\":", out);
    writeVec(out, h.position);
    writeField(out, "velocity", h.velocity);
    writeField(out, "colour", Vec3(h.colour.r, h.colour.g, h.colour.b));
    writeField(out, "weavePhase", h.weavePhase);
    writeField(out, "wobblePhase", h.wobblePhase);
    std::fputc('}', out);
  }
  std::fputs("]}\n", out);
}

void writeTraceFrame(std::FILE* out, uint32_t frame, const Run& run) {
  const Scene& scene = run.scene;
  const CameraState& camera = run.camera;
  std::fprintf(out, "{\"frame\":%u", frame);
  writeIntegers(out, {{"nowMs", scene.nowMs}, {"frameMs", scene.frameMs}});
  writeField(out, "sceneTime", scene.sceneTime);
  writeField(out, "quarryPosition", scene.quarryPosition);
  writeField(out, "lookAheadPoint", scene.lookAheadPoint);
  writeField(out, "flockCentre", scene.flockCentre);
  writeIntegers(out, {{"shotCode", static_cast<int32_t>(camera.shotCode)},
                      {"shotDurationMs", camera.shotDurationMs},
                      {"lastCutMs", camera.lastCutMs},
                      {"targetHarrier", camera.targetHarrier}});
  writeField(out, "lensTangent", camera.lensTangent);
  writeField(out, "cameraEye", camera.cameraEye);
  writeField(out, "cameraTarget", camera.cameraTarget);
  std::fputs(",\"harriers\":[", out);
  const int count = liveHarrierCount(run.settings);
  for (int i = 0; i < count; ++i) {
    if (i > 0) {
      std::fputc(',', out);
    }
    writeVec(out, scene.harriers[i].position);
  }
  std::fputs("]}\n", out);
}

namespace {

int lastError() {
  return errno != 0 ? errno : EIO;
}

std::string cannotWrite(const std::string& path, int error) {
  return "cannot write the trace " + quotedValue(path) + ": " + std::strerror(error);
}

}  // namespace

std::FILE* openTrace(const std::string& path, std::string& error) {
  std::FILE* trace = std::fopen(path.c_str(), "wb");
  if (trace == nullptr) {
    error = cannotWrite(path, errno);
  }
  return trace;
}

std::string finishTrace(std::FILE* trace, const std::string& path, int error) {
  if (error == 0 && std::fflush(trace) != 0) {
    error = lastError();
  }
  if (std::fclose(trace) != 0 && error == 0) {
    error = lastError();
  }
  if (error == 0) {
    return {};
  }
  removePartial(path);
  return cannotWrite(path, error);
}

WindowTrace::~WindowTrace() {
  if (file_ != nullptr) {
    std::fclose(file_);
    removePartial(options_.tracePath);
  }
}

bool WindowTrace::open() {
  if (options_.tracePath.empty()) {
    return true;
  }
  std::string error;
  file_ = openTrace(options_.tracePath, error);
  if (file_ == nullptr) {
    std::fprintf(stderr, "%s: %s\n", options_.program, error.c_str());
  }
  return file_ != nullptr;
}

void WindowTrace::started(uint32_t seed, const Run& run) {
  started_ = true;
  if (file_ != nullptr) {
    writeTraceHeader(file_, seed, run);
  }
}

bool WindowTrace::more() const {
  return error_ == 0 && (options_.frames == 0 || frames_ < options_.frames);
}

void WindowTrace::frameDone(const Run& run) {
  ++frames_;
  if (file_ != nullptr) {
    writeTraceFrame(file_, frames_, run);
    if (std::ferror(file_) != 0) {
      error_ = lastError();
    }
  }
}

bool WindowTrace::finish() {
  if (file_ == nullptr) {
    return true;
  }
  std::FILE* const file = file_;
  file_ = nullptr;
  if (!started_) {
    std::fclose(file);
    removePartial(options_.tracePath);
    return true;
  }
  const std::string failure = finishTrace(file, options_.tracePath, error_);
  if (!failure.empty()) {
    std::fprintf(stderr, "%s: %s\n", options_.program, failure.c_str());
  }
  return failure.empty();
}

}  // namespace tavrik
