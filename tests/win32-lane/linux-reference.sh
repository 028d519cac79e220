#!/usr/bin/env bash
# Stands in for the Linux runner (TAVRIK_BIN) in tests/e2e/win32/replay_matches_linux.sh where
# the Linux build cannot run: in the 32-bit lane's guest. On the host, with
# LANE_REFERENCE_MODE=record, it runs the real runner (LANE_LINUX_BIN) and keeps what that wrote
# (the --trace file or the --output folder) in LANE_REFERENCE_DIR, under a name made from the
# other options; in the guest (replay, the default) it copies the kept result to the asked path.
set -euo pipefail
: "${LANE_REFERENCE_DIR:?LANE_REFERENCE_DIR must name the folder of Linux results}"
mode=${LANE_REFERENCE_MODE:-replay}
options=("$@")
key_words=()
result=
while [ $# -gt 0 ]; do
  case "$1" in
    --trace | --output)
      key_words+=("$1")
      result=$2
      shift 2
      ;;
    *)
      key_words+=("$1")
      shift
      ;;
  esac
done
if [ -z "$result" ]; then
  echo "linux-reference: no --trace or --output in: ${options[*]}" >&2
  exit 2
fi
key=$(printf '%s\n' "${key_words[@]}" | sha256sum | cut -c1-16)
kept=$LANE_REFERENCE_DIR/$key
case "$mode" in
  record)
    : "${LANE_LINUX_BIN:?LANE_LINUX_BIN must name the Linux runner}"
    "$LANE_LINUX_BIN" "${options[@]}"
    rm -rf "$kept"
    cp -r "$result" "$kept"
    ;;
  replay)
    [ -e "$kept" ] || { echo "linux-reference: nothing kept for: ${options[*]}" >&2; exit 1; }
    rm -rf "$result"
    cp -r "$kept" "$result"
    ;;
  *)
    echo "linux-reference: unknown mode $mode" >&2
    exit 2
    ;;
esac
