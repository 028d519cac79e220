#!/usr/bin/env bash
# The headless runners keep one set of promises: the Linux program, the Node runner
# (TAVRIK_NODE_RUNNER, where built) and tavrik-replay.exe under Wine (TAVRIK_REPLAY, where built)
# take the same hostile command lines and end with the same exit code, at most one line on
# standard error, named after the runner and starting with the same word, escaped, and every
# file they leave whole: after a stop signal at a random moment, into pipes and a FIFO, onto
# /dev/full, with a file where a folder should be and a read-only folder.
source "$(dirname "$0")/lib.sh"
cd "$E2E_DIR"
runners=(tavrik)
[ -n "${TAVRIK_NODE_RUNNER:-}" ] && [ -f "$TAVRIK_NODE_RUNNER" ] && runners+=(node)
[ -n "${TAVRIK_REPLAY:-}" ] && [ -f "$TAVRIK_REPLAY" ] && runners+=(replay)
echo "runners: ${runners[*]}"

# command_for NAME: the runner's command in cmd. runner NAME ARGS...: one run in the foreground,
# from the defaults, standard input closed; with READ_ONLY=1 the folder ro is read-only. As root
# a folder's mode does not stop a write: there a read-only mount in a namespace of its own does.
command_for() {
  case $1 in
    tavrik) cmd=("$TAVRIK_BIN") ;;
    node) cmd=(env NODE_PATH=/usr/share/nodejs node --no-experimental-fetch "$TAVRIK_NODE_RUNNER") ;;
    replay) cmd=("$WINE" "$TAVRIK_REPLAY") ;;
  esac
}
runner() {
  command_for "$1"
  shift
  if [ "${READ_ONLY:-}" = 1 ] && [ "$(id -u)" = 0 ]; then
    cmd=(unshare -rm sh -c 'mount --bind ro ro && mount -o remount,bind,ro ro && exec "$@"' sh
      "${cmd[@]}")
  elif [ "${READ_ONLY:-}" = 1 ]; then
    chmod a-w ro
  fi
  "${cmd[@]}" "$@" </dev/null
}
program() { [ "$1" = replay ] && echo tavrik-replay || echo tavrik; }

# A trace is whole when every line is one JSON object; a PNG when it ends with its IEND chunk.
whole_trace() {
  python3 -c 'import json,sys; [json.loads(l) for l in open(sys.argv[1])]' "$1" &&
    [ -z "$(tail -c 1 "$1")" ]
}
whole_frames() {
  local f
  for f in o/*; do
    [ -e "$f" ] || continue
    [[ $f == o/frame-?????.png ]] || return 1 # no temporary or cut file beside them
    [ "$(tail -c 8 "$f" | head -c 4)" = IEND ] || return 1
  done
}

# check CODE WORD FILES ARGS...: every runner on ARGS ends with CODE and says "NAME: WORD ..." on
# one line (WORD -: nothing); FILES is what it leaves: trace=N lines, frames=N, stdout=N or
# stderr=N trace lines, fifo=N, version, none (nothing cut left behind), - (not looked at).
check() {
  local code=$1 word=$2 files=$3 name status lines reader=
  shift 3
  for name in "${runners[@]}"; do
    [[ " ${ONLY:-${runners[*]}} " == *" $name "* ]] || continue
    chmod -R u+w . && rm -rf o t.jsonl fifo fifo.txt ro afile && touch afile && mkdir ro
    if [[ $files == fifo=* ]]; then
      mkfifo fifo
      cat fifo >fifo.txt &
      reader=$!
    fi
    status=0
    READ_ONLY=$([ "$files" = ro ] && echo 1) runner "$name" "$@" >out.txt 2>err.txt || status=$?
    [ "$name" != replay ] || sed -i 's/\r$//' out.txt err.txt # Windows ends its lines so
    if [ -n "${reader:-}" ]; then
      wait_for 10 bash -c "! kill -0 $reader" || kill "$reader"
      wait "$reader" || true
      reader=
    fi
    [ "$status" = "$code" ] || fail "$name ${*@Q} ended with $status, not $code: $(head -c 300 err.txt)"
    if [[ $files == stderr=* ]]; then
      lines=$(wc -l <err.txt)
    else
      [ "$(wc -l <err.txt)" -le 1 ] || fail "$name ${*@Q} said more than a line: $(head -c 300 err.txt)"
      ! LC_ALL=C grep -q $'[\x01-\x08\x0b-\x1f\x7f]' err.txt || fail "$name ${*@Q} wrote raw bytes"
      if [ "$word" = - ]; then
        [ ! -s err.txt ] || fail "$name ${*@Q} said: $(cat err.txt)"
      else
        [ "$(cut -d' ' -f1-2 err.txt)" = "$(program "$name"): $word" ] ||
          fail "$name ${*@Q} said: $(cat err.txt)"
      fi
    fi
    case $files in
      trace=*) [ "$(wc -l <t.jsonl)" = "${files#trace=}" ] && whole_trace t.jsonl ;;
      frames=*) [ "$(ls o | wc -l)" = "${files#frames=}" ] && whole_frames ;;
      stdout=*) [ "$(wc -l <out.txt)" = "${files#stdout=}" ] && whole_trace out.txt ;;
      stderr=*) [ "$lines" = "${files#stderr=}" ] ;;
      fifo=*) [ "$(wc -l <fifo.txt)" = "${files#fifo=}" ] && whole_trace fifo.txt ;;
      version) [ "$(cut -d' ' -f1 out.txt | head -n 1)" = "$(program "$name")" ] ;;
      none | ro) [ ! -e t.jsonl ] && whole_frames && [ -z "$(ls ro)" ] ;;
      -) true ;;
    esac || fail "$name ${*@Q} left other files than $files"
  done
  echo "ok   $code $word $files: ${*@Q}"
}

# stopped SIGNAL: a long run ended by SIGNAL at a random moment after its first frames ends with
# 128 plus the signal's number and leaves its trace and its frames whole, one line per frame.
# Under Wine only SIGINT reaches a Windows program (as Ctrl+C); SIGTERM and SIGHUP end it outright,
# which leaves every frame whole under its name but the trace as it was.
stopped() {
  local signal=$1 name pid status frames
  for name in "${runners[@]}"; do
    rm -rf o t.jsonl
    command_for "$name"
    "${cmd[@]}" --seed 5 --frame-ms 16 --frames 1000000 --trace t.jsonl --output o </dev/null \
      2>err.txt &
    pid=$!
    E2E_PIDS+=("$pid")
    wait_for 60 test -e o/frame-00002.png || fail "$name wrote no frames: $(cat err.txt)"
    sleep "0.$((RANDOM % 10))"
    kill "-$signal" "$pid"
    status=0
    wait "$pid" 2>/dev/null || status=$?
    [ "$status" = $((128 + $(kill -l "$signal"))) ] || fail "$name ended by $signal with $status"
    frames=$(ls o/frame-?????.png | wc -l)
    if [ "$name" = replay ] && [ "$signal" != INT ]; then
      rm -f o/frame-?????.png.part
    else
      [ "$(wc -l <t.jsonl)" = $((frames + 1)) ] && whole_trace t.jsonl ||
        fail "$name left a cut trace after $signal ($frames frames, $(wc -l <t.jsonl) lines)"
    fi
    whole_frames || fail "$name left a cut frame after $signal"
    echo "ok   $name after $signal: $frames frames, all whole"
  done
}

run=(--seed 7 --frame-ms 16)
check 0 - trace=4 "${run[@]}" --frames 3 --trace t.jsonl
check 0 - frames=2 "${run[@]}" --frames 2 --output o
check 0 - version --version
check 0 - - --help
check 2 unknown none --bogus
check 2 unknown none --frames 1 $'--x\n\x1b[2Jy'
check 2 unknown none --frames 1 $'\x07\x08\x7f\xff'
check 2 unknown none --frames 1 -
check 2 --frames none --frames
check 2 bad none --frames -1
check 2 bad none --frames 4294967296
check 2 bad none --frames 1 --harriers 99
check 2 bad none --frames 1 --formation $'line\x1b[0m'
check 2 bad none --frames 1 --resolution 0x0
check 2 --trace none --frames 1 --trace ''
check 1 cannot none --frames 2 --trace /dev/full
check 1 cannot none "${run[@]}" --frames 2 --output o --trace /dev/full
check 1 cannot none --frames 1 --output /dev/full
check 1 cannot none --frames 1 --output afile
check 1 cannot none --frames 1 --output afile/sub
check 1 cannot none --frames 1 --output /dev/null
check 1 cannot none --frames 1 --trace o/missing/t.jsonl
# Wine's server opens files for its programs: a mount of the test's own does not bind it, and
# /dev/stdout there is the server's. As root the read-only rows leave tavrik-replay out.
native="tavrik node"
writers=$([ "$(id -u)" = 0 ] && echo "$native" || echo "${runners[*]}")
ONLY=$writers check 1 cannot ro --frames 1 --trace ro/t.jsonl
ONLY=$writers check 1 cannot ro --frames 1 --output ro
ONLY=$writers check 1 cannot ro --frames 1 --output ro/sub
ONLY=$native check 0 - stdout=6 "${run[@]}" --frames 5 --trace /dev/stdout
ONLY=$native check 0 - stderr=6 "${run[@]}" --frames 5 --trace /dev/stderr
check 0 - fifo=9 "${run[@]}" --frames 8 --trace fifo
for signal in TERM INT HUP; do
  stopped "$signal"
done
echo "PASS"
