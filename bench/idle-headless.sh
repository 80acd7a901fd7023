#!/usr/bin/env bash
# bench/idle-headless.sh [SECONDS] [BUILD_DIR]: the program left alone without a window, as a
# service runs it between checks. Prints the start of --check-once to its end with the mail
# server refusing (start-up, one check that fails at once, the shutdown: an upper bound of
# the start to a check being ready), then starts --headless with no display and, after
# SECONDS (default 600), prints its resident memory and the share of a core it used.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
build=${2:-build}
program="$build/bin/vistrel101"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/options"
# Port 1 refuses at once; a check every 60 minutes keeps the run idle.
printf 'Name=camera\r\nMailAddr=cam@example.com\r\nUserName=camera\r\nPassword=\r\nPOPHost=127.0.0.1\r\nPOPPort=1\r\nSMTPHost=127.0.0.1\r\nSMTPPort=1\r\nAPOP=0\r\n' \
    >"$scratch/options/main.mla"
printf 'Name=first\r\nDoReduction=1\r\nReductionWidth=200\r\nReductionType=0\r\nRotationType=0\r\nColorBit=24\r\nFormatType=0\r\nJPEGProgressive=0\r\nJPEGCompression=1\r\nAcceptedMailAddrs,=someone@example.com\r\nSendMail_Subject=photo\r\nSendMail_Body=here\r\n' \
    >"$scratch/options/001.csp"
printf 'MailCheckInterval=60\r\n' >"$scratch/options/main.opt"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM

best=""
for _ in 1 2 3 4 5; do
    start=$(date +%s%N)
    "$program" --check-once --settings-folder "$scratch" 2>/dev/null || true
    took=$(( ($(date +%s%N) - start) / 1000000 ))
    if [ -z "$best" ] || [ "$took" -lt "$best" ]; then best=$took; fi
done
echo "start, one refused check and shutdown (--check-once, best of 5): ${best} ms"

"$program" --headless --settings-folder "$scratch" 2>/dev/null &
pid=$!
sleep 2
ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
before=$(ticks)
sleep "$seconds"
after=$(ticks)
hz=$(getconf CLK_TCK)
rss=$(awk '/^VmRSS/ {print $2}' "/proc/$pid/status")
pss=$(awk '/^Pss:/ {print $2}' "/proc/$pid/smaps_rollup")
kill -TERM "$pid"
wait "$pid"
echo "idle for ${seconds} s: resident ${rss} kB (proportional ${pss} kB)," \
     "CPU $(awk -v t=$((after - before)) -v hz="$hz" -v s="$seconds" \
            'BEGIN {printf "%.3f", 100 * t / hz / s}') % of a core"
