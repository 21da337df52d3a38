#!/usr/bin/env bash
# trevalon.exe's windows under wine64 and Xvfb, read and driven by
# control_probe.exe in the same private Wine prefix:
#   wine_windows.sh TREVALON_EXE PROBE_EXE SHOT_DIR
# splash -> "Drive Speed Test" with the site unreachable; every control of the
# single-drive panel where the form tables put it; a single check on d: ends
# with "Done", nine figures and an empty drive; a read-only drive gives the
# read-only message; Exit during the small writes ends the program within 1 s,
# leaving nothing.
set -euo pipefail
exe=$(realpath "$1") probe=$(realpath "$2") shots=$(realpath -m "$3")
mkdir -p "$shots"
work=$(mktemp -d /tmp/trevalon-wine.XXXXXX)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree,mshtml="
wine=/usr/lib/wine/wine64
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  WINEPREFIX=$work/prefix /usr/lib/wine/wineserver -k 2>/dev/null || true
  chmod -R u+w "$work" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
# Seconds since a `date +%s.%N` reading; with a limit: "over" once past it.
since() {
  awk -v from="$1" -v now="$(date +%s.%N)" -v limit="${2:-}" \
    'BEGIN { d = now - from; if (limit == "") printf "%.3f\n", d; else print (d > limit ? "over" : "under") }'
}

display=:$((90 + RANDOM % 400))
Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 & pids+=($!)
export DISPLAY=$display
sleep 1
openbox >/dev/null 2>&1 & pids+=($!)
"$wine" wineboot -i >/dev/null 2>&1 || true
# The drive letters are read when the Wine server starts.
/usr/lib/wine/wineserver -w
# Debian's Wine finds its bitmap fonts (MS Sans Serif) only in the prefix.
mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
mkdir -p "$work/scratch" "$work/readonly"
ln -sfn "$work/scratch" "$WINEPREFIX/dosdevices/d:"
ln -sfn "$work/readonly" "$WINEPREFIX/dosdevices/r:"
probe() { "$wine" "$probe" "$@"; }
start() { (cd "$work/scratch" && exec "$wine" "$exe") & app=$!; pids+=($app); }
# The program's own process (wine64 becomes it), not yet reaped or not.
alive() { local stat; stat=$(ps -o stat= -p "$app" 2>/dev/null) && [[ $stat != Z* ]]; }

start
probe wait frmSplash 10 || fail "no splash"
import -window root "$shots/frmSplash.png"
t0=$(date +%s.%N)
probe wait frmDriveSpeed 15 || fail "no main window"
echo "main window after $(since "$t0") s"
probe wait frmSplash 0.2 && fail "splash still shown"
import -window root "$shots/frmDriveSpeed.png"
probe check frmDriveSpeed fraStandardSingleDrive

probe select frmDriveSpeed Drive1 d:
probe click frmDriveSpeed cmdCheckSpeed
for _ in $(seq 120); do
  [[ $(probe text frmDriveSpeed lblStatus) == Done* ]] && break
  sleep 0.5
done
[[ $(probe text frmDriveSpeed lblStatus) == Done* ]] || fail "check did not end with Done"
import -window root "$shots/frmDriveSpeed-done.png"
figures=0
for i in 0 1 2 3 4 5 6 7 8; do
  probe text frmDriveSpeed "lblStatusBar($i)" | grep -Eq '^[0-9.,]+ (seconds|KB/sec)' && figures=$((figures + 1))
done
[[ $figures == 9 ]] || fail "$figures figures"
[[ -z $(ls -A "$work/scratch") ]] || fail "left in d: $(ls -A "$work/scratch")"

# A read-only drive: the scratch file cannot be created.
chmod 0555 "$work/readonly"
if [[ $(id -u) == 0 ]]; then chattr +i "$work/readonly"; fi
probe select frmDriveSpeed Drive1 r:
probe click frmDriveSpeed cmdCheckSpeed
sleep 2
import -window root "$shots/read-only-message.png"
message=$(probe message 20) || fail "no message box"
echo "message: $message"
[[ $message == "The drive you are trying to test is read only"* ]] || fail "message: $message"
if [[ $(id -u) == 0 ]]; then chattr -i "$work/readonly"; fi

# The about box, from its menu command, against its table.
probe menu frmDriveSpeed mnuAbout
probe wait frmAbout 10 || fail "no about box"
import -window root "$shots/frmAbout.png"
probe check frmAbout
for panel in fraDriveSpeedComparison fraMultiCopy; do
  probe menu frmDriveSpeed "mnu$([[ $panel == fraMultiCopy ]] && echo MultiDriveCopyCheck || echo DriveSpeedComparison)"
  sleep 0.5
  import -window root "$shots/$panel.png"
  probe check frmDriveSpeed "$panel"
done
probe menu frmDriveSpeed mnuSingleDriveDetailedCheck

# Exit mid-test, while the check writes its small files. (In the time-boxed
# write, freeing a GB file under Wine can still take over a second.)
probe select frmDriveSpeed Drive1 d:
probe click frmDriveSpeed cmdCheckSpeed
sleep 0.3
probe menu frmDriveSpeed mnuExit
t0=$(date +%s.%N)
while alive; do
  [[ $(since "$t0" 5) == over ]] && fail "still running 5 s after Exit"
  sleep 0.05
done
ended=$(since "$t0")
echo "ended $ended s after Exit"
awk -v e="$ended" 'BEGIN { exit !(e > 1) }' && fail "Exit took $ended s"
[[ -z $(ls -A "$work/scratch") ]] || fail "left in d: after Exit: $(ls -A "$work/scratch")"
echo "PASS"
