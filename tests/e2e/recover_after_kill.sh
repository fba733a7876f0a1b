#!/usr/bin/env bash
# Kills the editor with SIGKILL while it holds unsaved text and starts it again:
#   1. untitled text, answer Yes: the text is back, untitled and modified;
#   2. a named file, answer Yes: the text is back under the file's name and saves there;
#   3. answer No: the copy is kept as the backup and the next start asks nothing.
#   recover_after_kill.sh PATH_TO_KUMORIAL
set -euo pipefail
program=$1
work=$(mktemp -d)
app_pid=
source "$(dirname "$0")/../support/xvfb.sh"
cleanup() {
    [[ -n $app_pid ]] && kill -9 "$app_pid" 2>/dev/null || true
    stop_xvfb
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "e2e: $*" >&2
    [[ -f $work/log ]] && sed 's/^/e2e log: /' "$work/log" >&2
    exit 1
}

# Waits up to $2 seconds for the command after them to succeed; $1 says what for.
wait_for() {
    local what=$1 seconds=$2
    shift 2
    local tries=$((seconds * 10))
    for ((i = 0; i < tries; i++)); do
        "$@" && return 0
        sleep 0.1
    done
    fail "gave up after ${seconds} s waiting for $what"
}

start_xvfb || fail "no X display"

cp "$program" "$work/kumorial"
export HOME=$work
unset QT_QPA_PLATFORM
export QT_QPA_PLATFORM=xcb
# The copy is written one second after typing pauses.
printf '[Recovery]\nPause=1\n' >"$work/Kumorial.ini"
copy=$work/Kumorial.recovery backup=$work/Kumorial.recovery.bak

start() {
    (cd "$work" && exec ./kumorial "$@") >>"$work/log" 2>&1 &
    app_pid=$!
}
# The visible top-level windows of the program whose title is exactly $1.
window_titled() {
    local w
    for w in $(xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null || true); do
        [[ $(xdotool getwindowname "$w" 2>/dev/null) == "$1" ]] && echo "$w"
    done | head -1
}
has_window() {
    kill -0 "$app_pid" 2>/dev/null || fail "the program ended: $(tail -5 "$work/log")"
    window=$(window_titled "$1")
    [[ -n $window ]]
}
focus() {
    sleep 0.3
    xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"
    sleep 0.2
}
keys() { xdotool key --clearmodifiers --delay 60 "$@"; sleep 0.3; }
copy_holds() { [[ -f $copy ]] && grep -qF -- "$1" "$copy"; }
crash() {
    kill -9 "$app_pid"
    wait "$app_pid" 2>/dev/null || true
    app_pid=
}
ended() { ! kill -0 "$app_pid" 2>/dev/null; }
exit_normally() {
    wait_for "the program to exit" 10 ended
    wait "$app_pid" || fail "the program exited with status $?"
    app_pid=
}
box=クモリアル untitled="無題 - クモリアル"

# 1. Untitled text, killed, restored with Yes.
start
wait_for "the main window" 15 has_window "$untitled"
focus "$window"
xdotool type --delay 40 'lost words'
wait_for "the recovery copy" 15 copy_holds 'lost words'
crash

start
wait_for "the question to restore" 15 has_window "$box"
focus "$window"
keys Return
wait_for "the restored window, untitled" 15 has_window "$untitled"
focus "$window"
# The pane holds the restored text: the next copy is made of it.
keys ctrl+End
xdotool type --delay 40 ' again'
wait_for "a copy of the restored text" 15 copy_holds 'lost words again'
keys alt+f
keys x
# Modified: the save question comes; No lets the text go and the copy with it.
wait_for "the save question" 10 has_window "$box"
focus "$window"
keys n
exit_normally
[[ ! -e $copy ]] || fail "the copy is still there after a normal exit"
[[ ! -e $backup ]] || fail "a backup was made although the copy was restored"

# 2. A named file, killed, restored with Yes and saved.
printf 'first line\r\n' >"$work/entry.txt"
start "$work/entry.txt"
wait_for "the window of entry.txt" 15 has_window "entry.txt - クモリアル"
focus "$window"
keys ctrl+End
xdotool type --delay 40 'added'
wait_for "the recovery copy" 15 copy_holds 'first line'$'\r\n''added'
crash

start
wait_for "the question to restore" 15 has_window "$box"
focus "$window"
keys Return
wait_for "the restored window of entry.txt" 15 has_window "entry.txt - クモリアル"
focus "$window"
keys ctrl+s
saved() { [[ $(od -An -tx1 "$work/entry.txt" | tr -d ' \n') == "$(printf 'first line\r\nadded' | od -An -tx1 | tr -d ' \n')" ]]; }
wait_for "the restored text saved into entry.txt" 10 saved
no_copy() { [[ ! -e $copy ]]; }
wait_for "the copy to go after the save" 5 no_copy
keys alt+f
keys x
exit_normally

# 3. Killed, answered No: kept as the backup, and the next start asks nothing.
start
wait_for "the main window" 15 has_window "$untitled"
focus "$window"
xdotool type --delay 40 'keep me'
wait_for "the recovery copy" 15 copy_holds 'keep me'
crash
printf 'an older backup' >"$backup"

start
wait_for "the question to restore" 15 has_window "$box"
focus "$window"
keys n
wait_for "the main window" 15 has_window "$untitled"
[[ ! -e $copy ]] || fail "the copy is still in place after No"
grep -qF 'keep me' "$backup" || fail "the backup does not hold the text after No"
focus "$window"
keys alt+f
keys x
exit_normally

start
wait_for "the main window" 15 has_window "$untitled"
sleep 1
[[ -z $(window_titled "$box") ]] || fail "a question came at the start after No"
focus "$window"
keys alt+f
keys x
exit_normally
grep -qF 'keep me' "$backup" || fail "the backup went at a later start"
echo "e2e: restored untitled and named text after SIGKILL; No kept the backup and the next start asked nothing"
