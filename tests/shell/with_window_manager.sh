#!/bin/sh
# Runs a test on its own X server under openbox, as a desktop would show it;
# skips (77) where either is missing.
for tool in xvfb-run openbox; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
exec xvfb-run -a -s "-screen 0 1024x768x24" sh -c '
  openbox --sm-disable >/dev/null 2>&1 &
  wm=$!
  i=0
  until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id #"; do
    i=$((i + 1)); [ $i -gt 100 ] && { echo "SKIP: openbox did not start"; kill $wm; exit 77; }
    sleep 0.1
  done
  QT_QPA_PLATFORM=xcb "$@"; rc=$?
  kill $wm
  exit $rc' sh "$@"
