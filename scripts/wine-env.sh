# Sourced by the scripts that start Windows programs: the prefix, quiet logging, no
# Mono/Gecko prompts, the Inno Setup compiler on the search path, and the Wine loader
# that matches the architecture the Windows tree is built for.
prismora_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX="${WINEPREFIX:-$prismora_root/.deps/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
prismora_arch=$("$prismora_root/scripts/win-arch")
if [ "$prismora_arch" = i686 ]; then
  WINE=wine
else
  # The wine wrapper starts the 32-bit loader first; go to the 64-bit one directly.
  WINE=/usr/lib/wine/wine64
fi
export WINE WINESERVER=/usr/lib/wine/wineserver
iscc_bin="$prismora_root/.deps/innosetup/node_modules/innosetup/bin"
# Wine's Z: drive is the Unix root.
case "${WINEPATH:-}" in *innosetup*) ;; *) export WINEPATH="${WINEPATH:+$WINEPATH;}Z:${iscc_bin//\//\\}";; esac

# Wine's background services start with the first program and inherit its output; a
# test runner reading that output would wait for them. Start them detached first.
prismora_wine_warm() {
  local pid
  for pid in $(pgrep -f 'windows.system32.services.exe' 2>/dev/null); do
    tr '\0' '\n' < "/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && return 0
  done
  "$WINE" wineboot </dev/null >/dev/null 2>&1 || true
}
