#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "host/linux/cli/command_line.h"
#include "host/wayland/wayland_rules.h"

namespace tavrik {
namespace {

// The command tavrik takes from these arguments, with XSCREENSAVER_WINDOW as given.
LinuxCommand command(std::vector<std::string> arguments, const char* xscreensaverWindow = nullptr) {
  arguments.insert(arguments.begin(), "tavrik");
  std::vector<char*> argv;
  for (std::string& a : arguments) {
    argv.push_back(a.data());
  }
  LinuxCommand parsed;
  std::string error;
  EXPECT_TRUE(parseLinuxCommandLine(static_cast<int>(argv.size()), argv.data(), xscreensaverWindow,
                                    parsed, error))
      << error;
  return parsed;
}

TEST(WaylandSurfaces, TheSaverTheBackgroundAndTheWindowOnAWaylandSession) {
  EXPECT_EQ(waylandSurfaces(command({"-s"}), "wayland-0"), SurfaceKind::Overlay);
  EXPECT_EQ(waylandSurfaces(command({"/s"}), "wayland-0"), SurfaceKind::Overlay);
  EXPECT_EQ(waylandSurfaces(command({"-root"}), "wayland-0"), SurfaceKind::Background);
  EXPECT_EQ(waylandSurfaces(command({"--root", "-fps"}), "/run/user/1000/wayland-1"),
            SurfaceKind::Background);
  EXPECT_EQ(waylandSurfaces(command({"-window"}), "wayland-0"), SurfaceKind::Window);
  EXPECT_EQ(waylandSurfaces(command({}), "wayland-0"), SurfaceKind::Window);
}

TEST(WaylandSurfaces, XWindowsAndXDisplaysStayOnX) {
  EXPECT_EQ(waylandSurfaces(command({"-root"}, "0x400001"), "wayland-0"), std::nullopt);
  EXPECT_EQ(waylandSurfaces(command({"-window-id", "0x400001"}), "wayland-0"), std::nullopt);
  EXPECT_EQ(waylandSurfaces(command({"-s"}), nullptr), std::nullopt);
  EXPECT_EQ(waylandSurfaces(command({"-root"}), ""), std::nullopt);
  EXPECT_EQ(waylandSurfaces(command({"-display", ":1", "-window"}), "wayland-0"), std::nullopt);
  for (const char* x : {"-p", "-c", "-a"}) {
    std::vector<std::string> arguments{x};
    if (std::string(x) == "-p") {
      arguments.push_back("123");
    }
    EXPECT_EQ(waylandSurfaces(command(arguments), "wayland-0"), std::nullopt) << x;
  }
}

TEST(WaylandPixelSize, IntegerScaleOrFractionalScaleRounded) {
  const PixelSize doubled = pixelSize(1280, 720, 2, 0);
  EXPECT_EQ(doubled.width, 2560);
  EXPECT_EQ(doubled.height, 1440);
  const PixelSize plain = pixelSize(800, 600, 1, 0);
  EXPECT_EQ(plain.width, 800);
  EXPECT_EQ(plain.height, 600);
  // 1.25 and 1.5, as 150 and 180 in 120ths; a fractional scale overrides the integer one.
  const PixelSize quarter = pixelSize(1536, 864, 2, 150);
  EXPECT_EQ(quarter.width, 1920);
  EXPECT_EQ(quarter.height, 1080);
  const PixelSize half = pixelSize(1001, 3, 1, 180);
  EXPECT_EQ(half.width, 1502);  // 1501.5, rounded
  EXPECT_EQ(half.height, 5);    // 4.5, rounded
}

TEST(WaylandFramePeriod, TheRefreshRateOrDelay) {
  using std::chrono::microseconds;
  EXPECT_EQ(framePeriod(60000, 0), microseconds(16666));
  EXPECT_EQ(framePeriod(59940, 0), microseconds(16666));  // 59.94 Hz counts as 60
  EXPECT_EQ(framePeriod(144000, 0), microseconds(6944));
  EXPECT_EQ(framePeriod(0, 0), microseconds(16666));  // not told: 60 Hz
  EXPECT_EQ(framePeriod(60000, 200000), microseconds(200000));
}

}  // namespace
}  // namespace tavrik
