# Sourced by the benchmark scripts that measure a running saver.
# cpu_share SAVER_PID XSERVER_PID SECONDS LABEL: after SECONDS, prints the share of one core each
# process took in that time (user and system).
cpu_share() {
  local saver=$1 xserver=$2 seconds=$3 label=$4
  local ticks saver_before x_before saver_after x_after
  ticks=$(getconf CLK_TCK)
  cpu() { awk '{print $14 + $15}' "/proc/$1/stat"; }
  saver_before=$(cpu "$saver")
  x_before=$(cpu "$xserver")
  sleep "$seconds"
  saver_after=$(cpu "$saver")
  x_after=$(cpu "$xserver")
  echo "$label, over $seconds s:"
  echo "  saver    $(((saver_after - saver_before) * 100 / ticks / seconds))% of one core"
  echo "  X server $(((x_after - x_before) * 100 / ticks / seconds))% of one core"
}
