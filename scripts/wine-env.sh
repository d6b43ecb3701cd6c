# Sourced by the scripts that start Windows programs: the prefix, quiet logging, no
# Mono/Gecko prompts, and the Wine loader:
# the one of PRISMORA_WINE_ARCH (i686 or x86_64, set for each test tree's programs), else
# the one of the tree that runs the whole Windows suite here (scripts/win-arch).
prismora_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX="${WINEPREFIX:-$prismora_root/.deps/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
prismora_arch=${PRISMORA_WINE_ARCH:-$("$prismora_root/scripts/win-arch")}
if [ "$prismora_arch" = i686 ]; then
  WINE=wine
else
  # The wine wrapper starts the 32-bit loader first; go to the 64-bit one directly.
  WINE=/usr/lib/wine/wine64
fi
export WINE WINESERVER=/usr/lib/wine/wineserver

# Wine's background services start with the first program and inherit its output; a
# test runner reading that output would wait for them. Start them detached first.
# They count as running only beside a wineserver of this prefix: the services of a
# server that was killed can outlive it, and the next program would then start new ones
# on its own output.
prismora_runs_in_prefix() {  # PGREP-ARGS: a process they find runs in this prefix
  local pid
  for pid in $(pgrep "$@" 2>/dev/null); do
    tr '\0' '\n' 2>/dev/null < "/proc/$pid/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX" && return 0
  done
  return 1
}
prismora_wine_warm() {
  prismora_runs_in_prefix -x 'wineserver(32|64)?' &&
    prismora_runs_in_prefix -f 'windows.system32.services.exe' && return 0
  "$WINE" wineboot </dev/null >/dev/null 2>&1 || true
}

# Runs FUNCTION however the script ends: normally, on an error, or by Ctrl-C or a kill
# (which then end it with the shell's usual codes), so the servers it started go too.
prismora_at_exit() {
  trap "$1" EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM
}

# Starts a private Xvfb on the first free display number from FIRST to LAST when no
# display is set; sets DISPLAY and prismora_xvfb_pid (empty when none was started).
prismora_start_xvfb() {
  prismora_xvfb_pid=""
  [ -z "${DISPLAY:-}" ] || return 0
  local n
  for n in $(seq "$1" "$2"); do
    [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    prismora_xvfb_pid=$!
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    if kill -0 "$prismora_xvfb_pid" 2>/dev/null; then export DISPLAY=":$n"; return 0; fi
    prismora_xvfb_pid=""
  done
}
prismora_stop_xvfb() {
  [ -z "${prismora_xvfb_pid:-}" ] || { kill "$prismora_xvfb_pid" 2>/dev/null; wait "$prismora_xvfb_pid" 2>/dev/null; }
  prismora_xvfb_pid=""
}
