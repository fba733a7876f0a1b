# Sourced by the scripts that drive the real program on X: start_xvfb starts a private Xvfb,
# waits until it accepts clients (it writes its display number to a pipe only then) and
# exports DISPLAY; stop_xvfb ends it. Fails with a message after 20 s instead of waiting on.
#   source tests/support/xvfb.sh; start_xvfb || exit 1; trap stop_xvfb EXIT
xvfb_pid=

start_xvfb() {
    local fifo_dir display=
    fifo_dir=$(mktemp -d)
    mkfifo "$fifo_dir/display"
    # -noreset: a client killed in a test must not make the server reset under the next one.
    Xvfb -displayfd 3 -noreset -screen 0 1280x800x24 -nolisten tcp 3>"$fifo_dir/display" >"$fifo_dir/log" 2>&1 &
    xvfb_pid=$!
    # The read ends at the number, at Xvfb's exit (end of file) or at the deadline.
    read -r -t 20 display <"$fifo_dir/display" || true
    if [[ -z $display ]] || ! kill -0 "$xvfb_pid" 2>/dev/null; then
        echo "xvfb: no X display within 20 s: $(tail -3 "$fifo_dir/log" 2>/dev/null)" >&2
        rm -rf "$fifo_dir"
        stop_xvfb
        return 1
    fi
    rm -rf "$fifo_dir"
    export DISPLAY=":$display"
}

stop_xvfb() {
    if [[ -n $xvfb_pid ]]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
        xvfb_pid=
    fi
}
