#!/usr/bin/env bash
# trevalon.exe's windows under wine64 and Xvfb, read and driven by
# control_probe.exe in the same private Wine prefix, against a trevalon-site
# (the Linux build's) started here:
#   wine_windows.sh TREVALON_EXE PROBE_EXE SHOT_DIR SITE_EXE
# The site is the program's proxy, so WinINet asks it for the program's own
# address. splash -> the site's newer version announced, its news in
# frmNewRelease -> "Drive Speed Test"; every control of the single-drive
# panel where the form tables put it; a single check on d: ends with "Done",
# nine figures and an empty drive; a read-only drive gives the read-only
# message; the comparison of d: and e: and the copy test from d: to e:, from
# their buttons, end complete with their figures and leave both drives empty;
# Exit during the small writes ends the program within 1 s, leaving nothing.
# Started again with files capped at 1 MiB, the check's large file fails
# with an error no message covers: frmErrors shows it and Send stores it in
# the site, and the drive is left empty.
set -euo pipefail
exe=$(realpath "$1") probe=$(realpath "$2") shots=$(realpath -m "$3") site=$(realpath "$4")
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
mkdir -p "$work/scratch" "$work/second" "$work/readonly" "$work/site"
ln -sfn "$work/scratch" "$WINEPREFIX/dosdevices/d:"
ln -sfn "$work/second" "$WINEPREFIX/dosdevices/e:"
ln -sfn "$work/readonly" "$WINEPREFIX/dosdevices/r:"
# One server from here on: it knows these letters, and the capped run below
# does not pass its limit on to a server it would otherwise start.
/usr/lib/wine/wineserver -p
probe() { "$wine" "$probe" "$@" | tr -d '\r'; }
# A window just shown may not have painted yet.
shot() { sleep 0.5; import -window root "$shots/$1.png"; }
empty() { for d in "$@"; do [[ -z $(ls -A "$work/$d") ]] || fail "left in $d: $(ls -A "$work/$d")"; done; }

news=$'Version 9.9.9\nFaster.'
printf 9.9.9 >"$work/site/version.txt"
printf '%s' "$news" >"$work/site/whatsnew.html"
"$site" --port 0 --version-file "$work/site/version.txt" --news-file "$work/site/whatsnew.html" \
  --db "$work/site/reports.db" --access-log "$work/site/access.log" >"$work/site/out" 2>&1 & pids+=($!)
for _ in $(seq 100); do grep -q '^listening on' "$work/site/out" && break; sleep 0.05; done
port=$(sed -n 's/^listening on 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$work/site/out")
[[ -n $port ]] || fail "no site: $(cat "$work/site/out")"
# start [FILE_CAP_KB]
start() {
  (
    cd "$work/scratch"
    unset no_proxy NO_PROXY
    export http_proxy=http://127.0.0.1:$port
    if [[ -n ${1:-} ]]; then trap '' XFSZ; ulimit -f "$1"; fi
    exec "$wine" "$exe"
  ) &
  app=$!
  pids+=($app)
}
# The program's own process (wine64 becomes it), not yet reaped or not.
alive() { local stat; stat=$(ps -o stat= -p "$app" 2>/dev/null) && [[ $stat != Z* ]]; }

start
probe wait frmSplash 10 || fail "no splash"
shot frmSplash
t0=$(date +%s.%N)
notice=$(probe message 20 "New Version Available") || fail "no new version announced"
echo "announced: $notice"
[[ $notice == *"a new version of this software"* ]] || fail "announced: $notice"
probe wait frmNewRelease 10 || fail "no frmNewRelease"
shot frmNewRelease
probe check frmNewRelease
[[ $(probe text frmNewRelease txtNewVersion) == "$news" ]] || fail "news: $(probe text frmNewRelease txtNewVersion)"
[[ $(grep -c ' GET .* 200$' "$work/site/access.log") == 2 ]] || fail "site saw: $(cat "$work/site/access.log")"
probe click frmNewRelease cmd1
probe wait frmDriveSpeed 15 || fail "no main window"
echo "main window after $(since "$t0") s"
probe wait frmSplash 0.2 && fail "splash still shown"
probe wait frmNewRelease 0.2 && fail "frmNewRelease still shown"
shot frmDriveSpeed
probe check frmDriveSpeed fraStandardSingleDrive

probe select frmDriveSpeed Drive1 d:
probe click frmDriveSpeed cmdCheckSpeed
for _ in $(seq 120); do
  [[ $(probe text frmDriveSpeed lblStatus) == Done* ]] && break
  sleep 0.5
done
[[ $(probe text frmDriveSpeed lblStatus) == Done* ]] || fail "check did not end with Done"
shot frmDriveSpeed-done
figures=0
for i in 0 1 2 3 4 5 6 7 8; do
  probe text frmDriveSpeed "lblStatusBar($i)" | grep -Eq '^[0-9.,]+ (seconds|KB/sec)' && figures=$((figures + 1))
done
[[ $figures == 9 ]] || fail "$figures figures"
empty scratch

# A read-only drive: the scratch file cannot be created.
chmod 0555 "$work/readonly"
if [[ $(id -u) == 0 ]]; then chattr +i "$work/readonly"; fi
probe select frmDriveSpeed Drive1 r:
probe click frmDriveSpeed cmdCheckSpeed
sleep 2
shot read-only-message
message=$(probe message 20) || fail "no message box"
echo "message: $message"
[[ $message == "The drive you are trying to test is read only"* ]] || fail "message: $message"
if [[ $(id -u) == 0 ]]; then chattr -i "$work/readonly"; fi

# The about box, from its menu command, against its table.
probe menu frmDriveSpeed mnuAbout
probe wait frmAbout 10 || fail "no about box"
shot frmAbout
probe check frmAbout
probe close frmAbout
for panel in fraDriveSpeedComparison fraMultiCopy; do
  probe menu frmDriveSpeed "mnu$([[ $panel == fraMultiCopy ]] && echo MultiDriveCopyCheck || echo DriveSpeedComparison)"
  sleep 0.5
  shot $panel
  probe check frmDriveSpeed "$panel"
done

# The comparison and the copy test from their buttons: d: and e:, the other
# lists left unchosen. NAME PANEL_COMMAND STATUS BUTTON RESULT FIGURES DONE LIST=DRIVE...
run_panel() {
  local name=$1 command=$2 status=$3 button=$4 result=$5 count=$6 done=$7 pick
  shift 7
  probe menu frmDriveSpeed "$command"
  for pick in "$@"; do probe select frmDriveSpeed "${pick%%=*}" "${pick#*=}" || fail "$name: select $pick"; done
  probe click frmDriveSpeed "$button"
  local t=$(date +%s.%N)
  until [[ $(probe text frmDriveSpeed "$status") == "$done" ]]; do
    [[ $(since "$t" 120) == over ]] && fail "$name: \"$(probe text frmDriveSpeed "$status")\" after 120 s"
    sleep 0.5
  done
  echo "$name complete after $(since "$t") s"
  shot $name-done
  local i figures=0
  for ((i = 0; i < count; i++)); do
    probe text frmDriveSpeed "$result($i)" | grep -Eq '^[0-9.,]+ (seconds|KB/sec)$' && figures=$((figures + 1))
  done
  [[ $figures == "$count" ]] || fail "$name: $figures of $count figures"
  empty scratch second
}
run_panel comparison mnuDriveSpeedComparison lblCompareStatus cmdCompareDrives lblCompareSeconds 4 \
  "Comparison Complete" "drvCompare(0)=d:" "drvCompare(1)=e:"
run_panel copy mnuMultiDriveCopyCheck lblCopyStatus cmdCopyComparison lblCopySeconds 1 \
  "Drive Copy Test Complete" "drvCopy(0)=d:" "drvCopy(1)=e:"
# Uncached, the same copy again; Copy Results puts its report on the clipboard.
probe menu frmDriveSpeed mnuUncached
run_panel uncached-copy mnuMultiDriveCopyCheck lblCopyStatus cmdCopyComparison lblCopySeconds 1 \
  "Drive Copy Test Complete" "drvCopy(0)=d:" "drvCopy(1)=e:"
probe menu frmDriveSpeed mnuUncached
probe menu frmDriveSpeed mnuCopyResults
copied=$(probe clipboard) || fail "nothing on the clipboard"
echo "copied: $copied"
[[ $(head -1 <<<"$copied") == "Trevalon $(probe version | cut -d' ' -f1), "*", uncached" &&
   $copied == *$'\n#2 Drive To Drive Copy Speed (10MB): '*' seconds ('*' bytes, '*' MB/s)'* &&
   $(tail -1 <<<"$copied") == "Drive Copy Test Complete" ]] || fail "copied: $copied"
probe menu frmDriveSpeed mnuSingleDriveDetailedCheck

# Exit mid-test: while the check writes its small files, and a second into
# its time-boxed write (which starts once the large read has its figure).
exit_during() {
  local moment=$1 caption=$2 delay=$3
  probe wait frmDriveSpeed 15 || fail "no main window ($moment)"
  probe select frmDriveSpeed Drive1 d:
  probe click frmDriveSpeed cmdCheckSpeed
  if [[ -n $caption ]]; then
    for _ in $(seq 200); do [[ -n $(probe text frmDriveSpeed "$caption") ]] && break; sleep 0.05; done
    [[ -n $(probe text frmDriveSpeed "$caption") ]] || fail "$moment: not reached"
  fi
  sleep "$delay"
  probe menu frmDriveSpeed mnuExit
  local t0 ended
  t0=$(date +%s.%N)
  while alive; do
    [[ $(since "$t0" 5) == over ]] && fail "$moment: still running 5 s after Exit"
    sleep 0.05
  done
  ended=$(since "$t0")
  echo "$moment: ended $ended s after Exit"
  awk -v e="$ended" 'BEGIN { exit !(e > 1) }' && fail "$moment: Exit took $ended s"
  empty scratch
}
exit_during "small writes" "" 0.3
# The site now answers our own version: no notice from here on.
read -r version digits < <(probe version)
printf '%s' "$version" >"$work/site/version.txt"
start
exit_during "time-boxed write" "lblStatusBar(3)" 1

# A fault no message covers: files capped at 1 MiB (the cap's signal
# ignored), so writing the large file fails with EFBIG, which Wine reports
# as a general failure.
start 1024
probe wait frmDriveSpeed 15 || fail "no main window (capped)"
probe select frmDriveSpeed Drive1 d:
probe click frmDriveSpeed cmdCheckSpeed
probe wait frmErrors 120 || fail "no frmErrors: status \"$(probe text frmDriveSpeed lblStatus)\""
shot frmErrors
shown() { probe text frmErrors "$1" | sed 's/^[^:]*: //'; }
number=$(shown lblErrorNumber) location=$(shown lblErrorLocation) description=$(shown lblErrorDescription)
echo "frmErrors: number $number, location $location, description $description"
[[ $number =~ ^-?[0-9]+$ && $location =~ ^[0-9]+$ ]] || fail "frmErrors shows no error"
probe click frmErrors cmdSendError
for _ in $(seq 100); do probe wait frmErrors 0 || break; sleep 0.1; done
probe wait frmErrors 0 && fail "frmErrors still shown after Send"
stored=$(sqlite3 -batch -separator '|' "$work/site/reports.db" \
  'SELECT application, errornumber, errorlocation, errordescription FROM reports')
[[ $stored == "Trevalon$digits|$number|$location|$description" ]] ||
  fail "stored: \"$stored\", shown: $number|$location|$description"
empty scratch
echo "PASS"
