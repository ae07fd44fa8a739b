# shellcheck shell=bash
# An X server of our own for Wine's windows, for runs without a screen (the end-to-end tests and
# the headless demo). Sourced after wine.sh.

# xvfb_start DIR: starts Xvfb, its log and display number in DIR; sets XVFB_PID and
# XVFB_DISPLAY. Xvfb picks a free display itself (-displayfd), so parallel runs never collide.
# It runs in a session of its own: a Ctrl-C typed at the terminal reaches the whole group of
# the script, and Xvfb ends on it, which would take the screen from a program still putting
# things back. (A script's background job leads no group, so setsid runs Xvfb in its own
# process: $! is Xvfb.)
xvfb_start() {
  local number=$1/xvfb.display log=$1/xvfb.log _
  rm -f "$number"  # a number left by an earlier run must not be taken for this one's
  setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$number" 2>"$log" &
  XVFB_PID=$!
  for _ in $(seq 200); do
    [ -s "$number" ] && break
    kill -0 "$XVFB_PID" 2>/dev/null || wine_die "Xvfb did not start: $(cat "$log")"
    sleep 0.05
  done
  [ -s "$number" ] || wine_die "Xvfb gave no display number in 10 s"
  # shellcheck disable=SC2034  # read by the caller
  XVFB_DISPLAY=:$(head -n 1 "$number")
}

xvfb_stop() {
  [ -n "${XVFB_PID:-}" ] || return 0
  kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
  XVFB_PID=
  return 0
}
