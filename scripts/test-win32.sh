#!/usr/bin/env bash
# The 32-bit lane: runs the Windows end-to-end checks on the i686 build, the tavrik.scr that
# ships, on a machine that runs no 32-bit code. A small Debian i386 system with 32-bit Wine and
# Xvfb runs under full-system emulation (qemu-system-i386, TCG); everything comes from Debian
# packages, which the script installs itself.
#
# Usage: scripts/test-win32.sh
#   build/win32-guest/  the guest (kernel, initramfs, root disk) and the Wine prefix that
#                       tests/e2e/win32/prefix.sh made in it; built on the first run and again
#                       whenever tests/win32-lane/ changes its recipe (about 45 minutes on a
#                       busy 2-core machine, the prefix 7 more); a cached run takes about 10.
#   build/lane-win32/   the i686 Windows programs (configured as scripts/test.sh does);
#   build/lane-linux/   the Linux runner whose traces and frames are the reference;
#   build/lane-run/     the run's data disk, the console log and each check's output (out/).
# Environment: LANE_REVISION (test a commit instead of the work tree), LANE_CPUS (guest
# processors, 2), LANE_MEMORY (MiB, 2048), LANE_CHECKS (names of tests/e2e/win32/ scripts),
# E2E_TIME_SCALE (how many times longer the checks wait in the guest, 4). Prints each check with
# pass or fail and "N passed, M failed"; exits 1 on a failure.
set -euo pipefail
cd "$(dirname "$0")/.."
root_dir=$PWD
lane=tests/win32-lane
guest=build/win32-guest
run=build/lane-run
cpus=${LANE_CPUS:-2}
memory=${LANE_MEMORY:-2048}
checks=${LANE_CHECKS:-replay_matches_linux fullscreen d3d_fullscreen dialog notice preview}
export E2E_DISPLAY_BASE=${E2E_DISPLAY_BASE:-400}
started=$SECONDS

scripts/install-deps.sh
host_packages=(qemu-system-x86 debootstrap e2fsprogs kmod cpio)
missing=()
for p in "${host_packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# boot_guest LOG SCRIPT SECONDS QEMU-DRIVE-OPTIONS...: boots the guest, which runs SCRIPT (a
# path in its root) and powers off; its console goes to LOG. Fails when it runs past SECONDS.
boot_guest() {
  local log=$1 script=$2 limit=$3
  shift 3
  local status=0
  # Without SMAP: this qemu's IRET back to 32-bit user code reads the user stack as the kernel,
  # which SMAP forbids, and every Wine process oopses.
  timeout "$limit" qemu-system-i386 -machine pc -accel tcg,thread=multi -cpu max,-smap \
    -smp "$cpus" -m "$memory" -nographic -no-reboot -nic none \
    -kernel "$guest/vmlinuz" -initrd "$guest/initrd.gz" \
    -append "console=ttyS0 panic=1 quiet lane.script=$script" "$@" \
    </dev/null >"$log" 2>&1 || status=$?
  [ "$status" = 0 ] && return 0
  tail -n 30 "$log"
  echo "the guest failed ($status): see $log" >&2
  return 1
}

# --- The guest: a Debian i386 root disk, and its kernel with an initramfs that mounts it. ---
recipe=$(cat "$lane/guest-packages" "$lane/initramfs-init.sh" "$lane/guest-setup.sh" \
  <(sed -n '/^# --- The guest/,/^# --- End of the guest/p' "$0") | sha256sum | cut -d' ' -f1)
if [ "$(cat "$guest/recipe" 2>/dev/null)" != "$recipe" ]; then
  echo "Building the i386 guest in $guest (a changed or missing recipe)"
  guest_started=$SECONDS
  rm -rf "$guest"
  mkdir -p "$guest"
  mirror=$(sed -n 's/^URIs: *//p' /etc/apt/sources.list.d/debian.sources | head -n 1)
  packages=$(grep -v '^#' "$lane/guest-packages" | paste -sd, -)
  debootstrap --foreign --arch=i386 --variant=minbase --include="$packages" bookworm \
    "$guest/root" "$mirror" >"$guest/debootstrap.log" 2>&1 ||
    { tail -n 20 "$guest/debootstrap.log"; exit 1; }

  # The kernel, and an initramfs of busybox with the modules for virtio disks and ext4.
  parts=$guest/parts
  for deb in "$guest/root"/var/cache/apt/archives/{linux-image-[0-9]*,busybox-static_}*.deb; do
    dpkg-deb -x "$deb" "$parts"
  done
  version=$(ls "$parts/lib/modules")
  depmod -b "$parts" "$version"
  cp "$parts/boot/vmlinuz-$version" "$guest/vmlinuz"
  initramfs=$guest/initramfs
  mkdir -p "$initramfs"/{bin,dev,proc,sys,newroot,lib/modules}
  cp "$parts/bin/busybox" "$initramfs/bin/busybox"
  cp "$lane/initramfs-init.sh" "$initramfs/init"
  chmod 755 "$initramfs/init"
  modules=$parts/lib/modules/$version
  for module in virtio_pci virtio_blk crc32c_generic ext4; do
    path=$(sed -n "s|^\([^:]*/$module\.ko\):.*|\1|p" "$modules/modules.dep")
    # modules.dep lists what a module needs, the deepest last: load them in reverse.
    sed -n "s|^$path: *||p" "$modules/modules.dep" | tr ' ' '\n' | tac
    echo "$path"
  done | awk 'NF && !seen[$0]++' >"$initramfs/modules.list"
  while read -r path; do
    mkdir -p "$initramfs/lib/modules/$(dirname "$path")"
    cp "$modules/$path" "$initramfs/lib/modules/$path"
  done <"$initramfs/modules.list"
  (cd "$initramfs" && find . | cpio -o -H newc --quiet) | gzip -9 >"$guest/initrd.gz"
  rm -rf "$parts" "$initramfs"

  # The second stage of debootstrap runs on the guest itself.
  cp "$lane/guest-setup.sh" "$guest/root/lane-setup.sh"
  mkfs.ext4 -q -F -L tavrik-lane -d "$guest/root" "$guest/root.img" 4G
  rm -rf "$guest/root"
  boot_guest "$guest/setup.log" /lane-setup.sh 5400 -drive "file=$guest/root.img,format=raw,if=virtio"
  grep -q LANE-SETUP-OK "$guest/setup.log" || { tail -n 30 "$guest/setup.log"; exit 1; }
  echo "$recipe" >"$guest/recipe"
  echo "The guest took $((SECONDS - guest_started)) s to build"
fi
# --- End of the guest ---

# --- The programs: the i686 Windows build, and the Linux runner for the reference. ---
# LANE_REVISION=REV builds and tests a commit (a copy in build/lane-src) instead of the work tree.
source_dir=$root_dir
if [ -n "${LANE_REVISION:-}" ]; then
  source_dir=$root_dir/build/lane-src
  commit=$(git rev-parse "$LANE_REVISION^{commit}")
  if [ "$(cat "$source_dir.commit" 2>/dev/null)" != "$commit" ]; then
    rm -rf "$source_dir"
    mkdir -p "$source_dir"
    git archive "$commit" | tar -x -C "$source_dir"
    echo "$commit" >"$source_dir.commit"
  fi
fi
jobs=$(nproc)
cmake -S "$source_dir" -B build/lane-win32 -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVRIK_LINUX_BUILD="$root_dir/build/lane-linux" >/dev/null
cmake --build build/lane-win32 -j "$jobs" --target tavrik_scr tavrik_replay win_probe
cmake -S "$source_dir" -B build/lane-linux -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTAVRIK_BENCH=OFF >/dev/null
cmake --build build/lane-linux -j "$jobs" --target tavrik

# --- The data disk: programs, the tests' scripts, the Linux results and the list of checks. ---
rm -rf "$run"
data=$run/data
mkdir -p "$data/bin" "$data/tests/e2e" "$data/tests/support" "$data/reference" "$data/out"
cp build/lane-win32/src/host/win32/tavrik.scr build/lane-win32/src/host/win32/tavrik-replay.exe \
  build/lane-win32/tests/e2e/win32/win_probe.exe "$data/bin/"
cp -r "$source_dir/tests/e2e/lib.sh" "$source_dir/tests/e2e/win32" "$data/tests/e2e/"
cp "$source_dir/tests/support/cross_check_runs.txt" "$data/tests/support/"
mkdir -p "$data/tests/win32-lane"
cp "$lane"/*.sh "$data/tests/win32-lane/"
# A check named by a path is a script of the caller's (for trying things in the guest).
names=
for check in $checks; do
  if [[ "$check" == */* ]]; then
    cp "$check" "$data/tests/e2e/win32/"
    check=$(basename "$check" .sh)
  fi
  names+="$check "
done
checks=${names% }
echo "$checks" >"$data/checks"
# The Wine prefix that tests/e2e/win32/prefix.sh made in the guest before (about 7 minutes
# there), kept for this guest and this prefix.sh.
prefix_key=$(cat "$guest/recipe" "$source_dir/tests/e2e/win32/prefix.sh" | sha256sum | cut -c1-16)
prefix_tar=$guest/wineprefix-$prefix_key.tar
if [ -f "$prefix_tar" ]; then
  cp "$prefix_tar" "$data/wineprefix.tar"
fi
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/lane-win32/CMakeCache.txt)
printf 'export E2E_TIME_SCALE=%q LANE_CHECK_SECONDS=%q TAVRIK_VERSION=%q\n' \
  "${E2E_TIME_SCALE:-4}" "${LANE_CHECK_SECONDS:-1200}" "$version" >"$data/environment"

# The replay check goes through every run it makes on the host first, with the Linux runner on
# both sides, and keeps what the Linux runner wrote.
if [[ " $checks " == *" replay_matches_linux "* ]]; then
  echo "Recording the Linux runs"
  recorded=0
  LANE_REFERENCE_MODE=record LANE_REFERENCE_DIR="$root_dir/$data/reference" \
    LANE_LINUX_BIN="$root_dir/build/lane-linux/bin/tavrik" \
    TAVRIK_BIN="$root_dir/$lane/linux-reference.sh" WINE="$root_dir/$lane/record-wine.sh" \
    WINEPREFIX="$root_dir/$run/no-prefix" TAVRIK_REPLAY=tavrik-replay.exe \
    E2E_OUT="$root_dir/$run/record" bash "$source_dir/tests/e2e/win32/replay_matches_linux.sh" \
    >"$run/record.log" 2>&1 || recorded=$?
  if [ "$recorded" != 0 ]; then
    cat "$run/record.log"
    echo "recording the Linux runs failed" >&2
    exit 1
  fi
  rm -rf "$run/record"
fi
mkfs.ext4 -q -F -L lane-data -d "$data" "$run/data.img" 2G

# --- The run: the guest's root disk is not changed (snapshot=on), the data disk takes the output.
echo "Running in the guest: prefix $checks"
boot_guest "$run/console.log" /lane/tests/win32-lane/guest-run.sh 3600 \
  -drive "file=$guest/root.img,format=raw,if=virtio,snapshot=on" \
  -drive "file=$run/data.img,format=raw,if=virtio"
rm -rf "$run/out"
debugfs -R "rdump /out $root_dir/$run" "$run/data.img" >/dev/null 2>&1
if [ -f "$run/out/wineprefix.tar" ]; then
  rm -f "$guest"/wineprefix-*.tar
  mv "$run/out/wineprefix.tar" "$prefix_tar"
fi

passed=0
failed=0
for name in prefix $checks; do
  line=$(grep -a "^LANE-CHECK $name " "$run/console.log" | tr -d '\r' | tail -n 1 || true)
  read -r _ _ result seconds <<<"$line"
  if [ "${result:-}" = pass ]; then
    passed=$((passed + 1))
    echo "pass: $name (${seconds} s)"
  else
    failed=$((failed + 1))
    echo "FAIL: $name (${result:-not run}${seconds:+, $seconds s}): see $run/out/$name.log"
    [ -f "$run/out/$name.log" ] && tail -n 5 "$run/out/$name.log" | sed 's/^/  /'
  fi
done
echo "The lane took $((SECONDS - started)) s."
echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
