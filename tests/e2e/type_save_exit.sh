#!/usr/bin/env bash
# Starts a copy of the editor on its own Xvfb display with a document named on the
# command line, types a line, inserts registered word 0 with Ctrl+0, saves with Ctrl+S,
# exits through the File menu and checks the saved bytes and the Kumorial.ini written at
# exit.   type_save_exit.sh PATH_TO_KUMORIAL
set -euo pipefail
program=$1
work=$(mktemp -d)
app_pid=
source "$(dirname "$0")/../support/xvfb.sh"
cleanup() {
    [[ -n $app_pid ]] && kill "$app_pid" 2>/dev/null || true
    stop_xvfb
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "e2e: $*" >&2; exit 1; }

start_xvfb || fail "no X display"

cp "$program" "$work/kumorial"
printf '元の行\r\n' | iconv -f UTF-8 -t CP932 >"$work/entry.txt"
unset QT_QPA_PLATFORM
export QT_QPA_PLATFORM=xcb
(cd "$work" && exec ./kumorial "$work/entry.txt") >"$work/log" 2>&1 &
app_pid=$!

window=
for _ in $(seq 150); do
    window=$(xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null | head -1 || true)
    [[ -n $window ]] && break
    kill -0 "$app_pid" 2>/dev/null || fail "the program ended at start-up: $(cat "$work/log")"
    sleep 0.1
done
[[ -n $window ]] || fail "no window appeared"
sleep 0.5
xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
sleep 0.2

keys() { xdotool key --clearmodifiers --delay 60 "$@"; sleep 0.3; }
keys ctrl+End
xdotool type --delay 60 'Hello blog'
keys Return ctrl+0
keys ctrl+s
sleep 0.5
keys alt+f
keys x

for _ in $(seq 100); do
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$app_pid" 2>/dev/null; then
    fail "the program did not exit through the File menu"
fi
wait "$app_pid" || fail "the program exited with status $?: $(cat "$work/log")"
app_pid=

expected=$(printf '元の行\r\nHello blog\r\n(*^^*)' | iconv -f UTF-8 -t CP932 | od -An -tx1 | tr -d ' \n')
actual=$(od -An -tx1 "$work/entry.txt" | tr -d ' \n')
[[ $actual == "$expected" ]] || fail "saved bytes differ: expected $expected, got $actual"

ini=$work/Kumorial.ini
[[ -f $ini ]] || fail "no Kumorial.ini written at exit"
for line in '[Option]' 'Transparency=50' '[Font]' 'Size=14' '[UserWord]' 'Word00=(*^^*)' \
    'Word09=(^^)/~ bye' '[Format]' 'Base01b=<B>' 'User10e=)]]'; do
    grep -qxF -- "$line" <(tr -d '\r' <"$ini") || fail "Kumorial.ini lacks \"$line\""
done
keys=$(tr -d '\r' <"$ini" | awk '/^\[/ { s = $0; next } s ~ /^\[(Option|Font|UserWord|Format)\]$/ && /=/ { n++ } END { print n }')
[[ $keys == 74 ]] || fail "Kumorial.ini holds $keys keys of the view's sections, not 74"
echo "e2e: typed, inserted word 0, saved $(stat -c %s "$work/entry.txt") bytes and exited; Kumorial.ini complete"
