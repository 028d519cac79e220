#!/usr/bin/env bash
# The "Wine" of the host's recording pass (scripts/test-win32.sh): the replay check runs its
# Windows side through it, and it runs the Linux runner instead, so that the check goes through
# every run it makes while linux-reference.sh keeps the Linux results. Registry edits do nothing.
set -euo pipefail
case "${1:-}" in
  reg) exit 0 ;;
  *.exe)
    shift
    exec "$LANE_LINUX_BIN" "$@"
    ;;
  *)
    echo "record-wine: unexpected command: $*" >&2
    exit 2
    ;;
esac
