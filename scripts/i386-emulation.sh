# Sourced by scripts/bootstrap.sh. Where the kernel refuses 32-bit code, Wine's 32-bit side
# (the Inno Setup compiler, the setup programs it writes, the shipped i686 programs) runs
# under QEMU's user-mode emulator, registered with binfmt_misc for i386 ELF files.
# QEMU 10 is needed: 7.2 treats Wine's MAP_FIXED_NOREPLACE mapping as a hint and Wine
# stops, so the emulator comes from the release's backports suite. Its qemu-i386 is a
# static program: it is unpacked into .deps, nothing of it is installed system-wide.
# Idempotent; does nothing where 32-bit code runs natively.
prismora_i386_emulation() {
  local deps=$1 log=$2
  local qemu="$deps/qemu/qemu-i386" binfmt=/proc/sys/fs/binfmt_misc entry=qemu-i386
  [ "$("$root/scripts/i386-support")" != native ] || return 0

  if [ ! -x "$qemu" ]; then
    say "unpacking the i386 emulator (QEMU 10, backports)"
    local codename suites=/etc/apt/sources.list.d/prismora-backports.sources
    codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
    if [ ! -s "$suites" ]; then
      # The machine's own Debian entries with the suite changed: no host name is written here.
      local f
      for f in /etc/apt/sources.list.d/*.sources; do
        case "$f" in */prismora-*) continue;; esac  # our own source entries: no twice-listed suite
        awk -v RS= -v ORS='\n\n' '/Types: deb/ && /debian/ && !/security/' "$f"
      done 2>/dev/null |
        sed -e '/^Types:/c Types: deb' -e "/^Suites:/c Suites: $codename-backports" > "$suites"
      [ -s "$suites" ] || { rm -f "$suites"; say "no Debian source entries to derive the backports suite from"; return 1; }
      apt-get update -q >>"$log" 2>&1
    fi
    local tmp; tmp=$(mktemp -d)
    (cd "$tmp" && apt-get download -q "qemu-user/$codename-backports" >>"$log" 2>&1) || {
      rm -rf "$tmp"; say "could not download qemu-user from $codename-backports"; return 1; }
    dpkg-deb -x "$tmp"/qemu-user_*.deb "$tmp/x"
    mkdir -p "$deps/qemu"
    install -m 755 "$tmp/x/usr/bin/qemu-i386" "$qemu"
    rm -rf "$tmp"
  fi

  [ -f "$binfmt/register" ] || mount -t binfmt_misc binfmt_misc "$binfmt" >>"$log" 2>&1 || {
    say "binfmt_misc cannot be mounted: 32-bit programs will not run"; return 1; }
  local want; want=$(readlink -f "$qemu")
  if [ -f "$binfmt/$entry" ]; then
    # An entry of another emulator (or of another checkout's copy) is replaced.
    grep -qx "interpreter $want" "$binfmt/$entry" && grep -qx enabled "$binfmt/$entry" && return 0
    echo -1 > "$binfmt/$entry"
  fi
  # F: the kernel opens the emulator now, so it serves every mount namespace and survives
  # this checkout being moved.
  printf ':%s:M::%s:%s:%s:F\n' "$entry" \
    '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00' \
    '\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff' \
    "$want" > "$binfmt/register"
  say "registered the i386 emulator: $(scripts/i386-support) 32-bit programs"
}
