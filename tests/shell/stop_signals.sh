#!/bin/sh
# The program itself, started offscreen: each stop signal ends it within a
# second with 128 + the signal, as a shell reports a program that signal ended;
# a handler that takes the signal but never ends the program fails here.
program=$1
for signal in TERM:15 HUP:1 INT:2; do
  name=${signal%%:*}
  number=${signal##*:}
  QT_QPA_PLATFORM=offscreen "$program" >/dev/null 2>&1 &
  pid=$!
  sleep 2
  kill -s "$name" "$pid" || { echo "SIG$name: the program was gone before the signal"; exit 1; }
  # Within a second: ten looks, 0.1 s apart.
  for _ in 1 2 3 4 5 6 7 8 9 10; do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    kill -9 "$pid"
    echo "SIG$name: still running a second later"
    exit 1
  fi
  wait "$pid"
  status=$?
  [ "$status" -eq $((128 + number)) ] || { echo "SIG$name: exit status $status"; exit 1; }
  echo "SIG$name: ended with $status"
done
