#!/bin/bash
# Runs as the first process of the 32-bit lane's guest, from its data disk (/lane, laid out by
# scripts/test-win32.sh): makes the Wine prefix with tests/e2e/win32/prefix.sh (or unpacks the
# one kept from an earlier run), runs each check named in /lane/checks (scripts of
# tests/e2e/win32/) as ctest would, with the i686 programs in /lane/bin, and prints
# "LANE-CHECK name pass|fail seconds" for each on the console. Each check's output goes to
# /lane/out/NAME.log. Then the guest powers off.
# The initramfs starts it with /bin/sh.
[ -n "${BASH_VERSION:-}" ] || exec /bin/bash "$0"
set -uo pipefail
export PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 USER=root
power_off() {
  sync
  [ -e /proc/sysrq-trigger ] || mount -t proc proc /proc
  umount /lane 2>/dev/null
  echo o >/proc/sysrq-trigger
  sleep 60
}
trap power_off EXIT
mount -t tmpfs tmp /tmp
mkdir -p /dev/shm /dev/pts
mount -t tmpfs shm /dev/shm
mount -t devpts devpts /dev/pts
# devtmpfs has no /dev/fd, which bash's process substitution needs; udev would make these.
ln -sfn /proc/self/fd /dev/fd
ln -sfn /proc/self/fd/0 /dev/stdin
ln -sfn /proc/self/fd/1 /dev/stdout
ln -sfn /proc/self/fd/2 /dev/stderr
hostname tavrik-lane

# What ctest gives each script (tests/CMakeLists.txt and tests/e2e/win32/CMakeLists.txt).
export WINE=/usr/lib/wine/wine WINELOADER=/usr/lib/wine/wine WINEPREFIX=/root/wineprefix
export WINEARCH=win32 WINEDEBUG=-all
export TAVRIK_SCR=/lane/bin/tavrik.scr TAVRIK_REPLAY=/lane/bin/tavrik-replay.exe
export WIN_PROBE=/lane/bin/win_probe.exe E2E_OUT=/lane/out
export LANE_REFERENCE_DIR=/lane/reference
source /lane/environment
limit=${LANE_CHECK_SECONDS:-1200}
mkdir -p /lane/out

memory=$(awk '/^MemTotal:/ {print int($2 / 1024)}' /proc/meminfo)
echo "LANE: $(nproc) processors, $memory MiB, $(/usr/lib/wine/wine --version)"
started=$SECONDS
if [ -f /lane/wineprefix.tar ]; then
  tar -x -C /root -f /lane/wineprefix.tar
  echo "LANE-CHECK prefix pass $((SECONDS - started)) (kept from an earlier run)"
elif TAVRIK_BIN=none timeout "$limit" bash /lane/tests/e2e/win32/prefix.sh \
  >/lane/out/prefix.log 2>&1; then
  tar -c -C /root -f /lane/out/wineprefix.tar wineprefix
  echo "LANE-CHECK prefix pass $((SECONDS - started))"
else
  echo "LANE-CHECK prefix fail $((SECONDS - started))"
  exit 0
fi

for name in $(cat /lane/checks); do
  started=$SECONDS
  bin=none
  [ "$name" = replay_matches_linux ] && bin=/lane/tests/win32-lane/linux-reference.sh
  if TAVRIK_BIN=$bin timeout "$limit" bash "/lane/tests/e2e/win32/$name.sh" \
    >"/lane/out/$name.log" 2>&1; then
    echo "LANE-CHECK $name pass $((SECONDS - started))"
  else
    echo "LANE-CHECK $name fail $((SECONDS - started))"
  fi
done
