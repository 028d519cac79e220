// The Linux program's own option rows: the screen-saver switches (only --help lists them; the
// switch table reads them), the options of an XScreenSaver hack and the X toolkit's. The
// command line takes these and the runner's rows (host/run_options.h).
#pragma once

#include <cstdint>
#include <string>

#include "config/saver_texts.h"
#include "host/linux/cli/command_line.h"
#include "host/run_options.h"

namespace tavrik {

// Where -xrm's value goes: to the row its resource names.
struct XResource {};

// The readings of the Linux program's own types. A 64-bit member is a window id.
bool takeValue(TakenOption& taken, WindowGeometry& geometry);
bool takeValue(TakenOption& taken, DeviceChoice& device);
bool takeValue(TakenOption& taken, uint64_t& window);
bool takeValue(TakenOption& taken, LinuxMode& mode);
bool takeValue(TakenOption& taken, XResource, LinuxCommand& command);

// The groups --help lists the Linux program's rows in, in this order.
enum : uint8_t { kSwitchGroup, kHackGroup, kToolkitGroup };

using LinuxRow =
    OptionRow<LinuxCommand, bool LinuxCommand::*, uint32_t LinuxCommand::*,
              uint64_t LinuxCommand::*, std::string LinuxCommand::*, WindowGeometry LinuxCommand::*,
              DeviceChoice LinuxCommand::*, LinuxMode LinuxCommand::*, XResource>;

constexpr int32_t modeValue(LinuxMode mode) {
  return static_cast<int32_t>(mode);
}

inline constexpr LinuxRow kLinuxSwitches[] = {
    {{.name = "s", .help = "full screen until a key, a left or right button or mouse moves"}},
    {{.name = "p", .argument = "ID", .help = "the logo in a child window of window ID"}},
    {{.name = "c", .argument = "[ID]", .help = "the settings dialog (tavrik-settings)"}},
    {{.name = "a", .help = "the password notice"}},
};

inline constexpr LinuxRow kLinuxRows[] = {
    {{.group = kHackGroup, .name = "window", .help = "run in an ordinary window"},
     &LinuxCommand::windowNamed},
    {{.group = kHackGroup,
      .name = "geometry",
      .argument = "WxH+X+Y",
      .range = "(WxH, WxH+X+Y or +X+Y)",
      .help = "the ordinary window's size and place (either may be left out;\n"
              "a size larger than the screen is brought down to the screen's)"},
     &LinuxCommand::geometry},
    {{.group = kHackGroup,
      .name = "window-id",
      .argument = "ID",
      .range = "(a window id, decimal or 0x hexadecimal)",
      .help = "draw into window ID (decimal or 0x hexadecimal)"},
     &LinuxCommand::window},
    {{.group = kHackGroup,
      .name = "root",
      .sets = modeValue(LinuxMode::Embedded),
      .help = "draw into $XSCREENSAVER_WINDOW, else the root window"},
     &LinuxCommand::mode},
    {{.group = kHackGroup,
      .name = "display",
      .argument = "NAME",
      .text = TextRule::NotEmpty,
      .help = "the X display to use instead of $DISPLAY"},
     &LinuxCommand::display},
    {{.group = kHackGroup,
      .name = "delay",
      .argument = "MICROSECONDS",
      .high = kMaxDelayMicroseconds,
      .range = "(microseconds a frame, 0 to 1000000; 0: the display's refresh)",
      .resource = true,
      .help = "the least time a frame takes, up to 1000000 (default 0: the\n"
              "display's refresh)"},
     &LinuxCommand::delayMicroseconds},
    {{.group = kHackGroup, .name = "fps", .range = "(true or false)", .resource = true},
     &LinuxCommand::fps},
    {{.group = kHackGroup,
      .name = "no-fps",
      .sets = 0,
      .help = "show or hide the frame rate, the device drawing and the\n"
              "triangles sent to the device per frame"},
     &LinuxCommand::fps},
    {{.group = kHackGroup,
      .name = "device",
      .argument = "soft|gl",
      .range = "(soft or gl)",
      .text = TextRule::Word,
      .help = "draw with the software device or with OpenGL (default: OpenGL\n"
              "where its renderer is hardware, else the software device)"},
     &LinuxCommand::device},
    {{.group = kHackGroup,
      .name = "add-to-xscreensaver",
      .sets = modeValue(LinuxMode::AddToXScreenSaver),
      .help = "add TAVRIK to the programs of ~/.xscreensaver, once, keeping the\n"
              "rest of the file as it is, and exit"},
     &LinuxCommand::mode},
    {{.group = kHackGroup,
      .name = "help",
      .alias = "h",
      .bothDashes = true,
      .sets = modeValue(LinuxMode::Help),
      .help = "show this help and exit"},
     &LinuxCommand::mode},
    {{.group = kHackGroup,
      .name = "version",
      .bothDashes = true,
      .sets = modeValue(LinuxMode::Version),
      .help = "show the version, the copyright and the licence, and exit"},
     &LinuxCommand::mode},

    {{.group = kToolkitGroup,
      .name = "xrm",
      .argument = "RESOURCE",
      .help = "a resource line: '*delay: N' sets -delay and '*fps: true' (or\n"
              "false) sets -fps; any other resource is ignored"},
     XResource{}},
    {{.group = kToolkitGroup,
      .name = "title",
      .argument = "TITLE",
      .help = "the ordinary window's title"},
     &LinuxCommand::title},
    {{.group = kToolkitGroup, .name = "name", .argument = "NAME"}},
    {{.group = kToolkitGroup,
      .name = "class",
      .argument = "CLASS",
      .help = "accepted and ignored: the window class stays " TAVRIK_SAVER_WINDOW_CLASS}},
    {{.group = kToolkitGroup, .name = "bg", .argument = "COLOUR"}},
    {{.group = kToolkitGroup, .name = "background", .argument = "COLOUR"}},
    {{.group = kToolkitGroup, .name = "fg", .argument = "COLOUR"}},
    {{.group = kToolkitGroup, .name = "foreground", .argument = "COLOUR"}},
    {{.group = kToolkitGroup,
      .name = "bw",
      .alias = "borderwidth",
      .argument = "PIXELS",
      .help = "accepted and ignored: the picture has colours of its own"}},
    {{.group = kToolkitGroup, .name = "synchronous"}},
    {{.group = kToolkitGroup, .name = "iconic"}},
    {{.group = kToolkitGroup, .name = "install"}},
    {{.group = kToolkitGroup, .name = "noinstall"}},
    {{.group = kToolkitGroup, .name = "visual", .argument = "V"}},
    {{.group = kToolkitGroup, .name = "mono"}},
    {{.group = kToolkitGroup, .name = "pair"}},
    {{.group = kToolkitGroup, .name = "sync", .help = "accepted and ignored"}},
};

}  // namespace tavrik
