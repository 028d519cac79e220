// The generated layer-shell client header, for C++: the protocol names an argument "namespace",
// which is a keyword here.
#pragma once

#include <wayland-client.h>

#define namespace layer_namespace
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#undef namespace
