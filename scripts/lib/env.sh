# Shared environment of the build, test and run scripts. Source it; do not run it.
# Everything Wine does here happens in a prefix owned by the build, never the user's own.
VT_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
VT_BUILD=${VT_BUILD_DIR:-$VT_ROOT/build/win}
export VT_ROOT VT_BUILD
export VT_DEPS_DIR=${VT_DEPS_DIR:-$VT_ROOT/build/deps}
export WINEPREFIX=${VT_WINEPREFIX:-$VT_ROOT/build/wineprefix}
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export VT_IMAGE=$VT_BUILD/image

vt_say() { echo "${VT_SCRIPT:-vt}: $*"; }

# Boots the prefix once, with the crash dialog off and "Arial" mapped to a metric-compatible font.
vt_prefix_init() {
  local stamp=$WINEPREFIX/.vt-ready-2
  [ -f "$stamp" ] && return 0
  mkdir -p "$WINEPREFIX"
  (
    flock -w 300 9 || { echo "wine prefix lock timed out" >&2; exit 1; }
    [ -f "$stamp" ] && exit 0
    vt_say "booting wine prefix $WINEPREFIX"
    timeout 300 wineboot -i >/dev/null 2>&1 || true
    timeout 60 wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    # Unmanaged windows: without a window manager Wine otherwise waits up to a second on every hide.
    timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    timeout 60 wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /t REG_SZ /d 'Liberation Sans' /f >/dev/null 2>&1
    timeout 60 wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Arial Bold' /t REG_SZ /d 'Liberation Sans Bold' /f >/dev/null 2>&1
    timeout 60 wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Times New Roman' /t REG_SZ /d 'Liberation Serif' /f >/dev/null 2>&1
    timeout 60 wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Courier New' /t REG_SZ /d 'Liberation Mono' /f >/dev/null 2>&1
    timeout 60 wineserver -w
    touch "$stamp"
  ) 9>"$WINEPREFIX.lock"
}

VT_XVFB_PID=
VT_WINESERVER_STARTED=
VT_HOLD_PID=
VT_POOL_PIDS=()
VT_POOL_DIR=
# Starts an X display (when none is set) and a persistent wineserver for the duration of a command.
vt_session_start() {
  vt_prefix_init
  if [ -z "${DISPLAY:-}" ]; then
    local n=${VT_DISPLAY_NUM:-$(( 90 + RANDOM % 400 ))}
    while [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    VT_XVFB_PID=$!
    export DISPLAY=":$n"
    local i
    for i in $(seq 1 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    vt_say "Xvfb on $DISPLAY (pid $VT_XVFB_PID)"
  fi
  if wineserver -p 2>/dev/null; then VT_WINESERVER_STARTED=1; fi
  trap vt_session_stop EXIT
  # Bring up Wine's own services now, detached from any pipe of ours: a service started by a later
  # command inside $(...) or a pipeline would keep that pipe open and hang its reader.
  timeout 120 wine cmd /c exit </dev/null >/dev/null 2>&1 || true
  # Likewise the default desktop: Wine closes a desktop a moment after its last program ends, and the
  # next program to need it starts the desktop's process with that program's standard streams, which
  # then stay open as long as the desktop lives (a test "hangs" after it has passed). A program that
  # stays on the desktop for the whole session keeps it open.
  local tool=$VT_BUILD/tests/vtdesktop.exe
  if [ -f "$tool" ]; then
    wine "$tool" hold </dev/null >/dev/null 2>&1 &
    VT_HOLD_PID=$!
  fi
}

# Starts N X displays for the programs that run on a desktop of their own (scripts/wine-exec
# --own-desktop): each takes one for its run, so that what one shows, and where its pointer is, never
# reach another. Exports VT_DISPLAY_POOL (the displays) and VT_DISPLAY_CLAIMS (who holds which).
vt_display_pool_start() {
  local n=$1 i f displays=()
  VT_POOL_DIR=$(mktemp -d "${TMPDIR:-/tmp}/vt-displays.XXXXXX")
  for i in $(seq 1 "$n"); do
    # Xvfb picks a free display number itself and writes it to the file.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$VT_POOL_DIR/display.$i" >/dev/null 2>&1 &
    VT_POOL_PIDS+=($!)
  done
  for i in $(seq 1 "$n"); do
    f=$VT_POOL_DIR/display.$i
    local t
    for t in $(seq 1 300); do grep -q '^[0-9]' "$f" 2>/dev/null && break; sleep 0.1; done
    grep -q '^[0-9]' "$f" 2>/dev/null && displays+=(":$(head -n1 "$f")")
  done
  [ ${#displays[@]} -gt 0 ] || { vt_say "no X display of the pool started"; return 1; }
  mkdir -p "$VT_POOL_DIR/claims"
  export VT_DISPLAY_POOL="${displays[*]}" VT_DISPLAY_CLAIMS=$VT_POOL_DIR/claims
  vt_say "X displays for window tests: $VT_DISPLAY_POOL"
}

# Sets DISPLAY to a display of the pool that no running program holds, and holds it for this
# process ($$, which runs the program and waits for it): a display is free again once its holder
# has ended, however it ended. Without a pool DISPLAY stays as it is.
vt_claim_display() {
  [ -n "${VT_DISPLAY_POOL:-}" ] && [ -d "${VT_DISPLAY_CLAIMS:-}" ] || return 0
  local i d
  for i in $(seq 1 3000); do
    if d=$(
      exec 9>"$VT_DISPLAY_CLAIMS/lock"
      flock -w 30 9 || exit 1
      for d in $VT_DISPLAY_POOL; do
        f=$VT_DISPLAY_CLAIMS/${d#:}
        owner=$(cat "$f" 2>/dev/null || true)
        if [ -z "$owner" ] || ! kill -0 "$owner" 2>/dev/null; then
          echo $$ >"$f"
          echo "$d"
          exit 0
        fi
      done
      exit 1); then
      export DISPLAY=$d
      return 0
    fi
    sleep 0.2
  done
  echo "no display of the pool ($VT_DISPLAY_POOL) came free within 10 minutes" >&2
  return 1
}

vt_session_stop() {
  if [ -n "$VT_HOLD_PID" ]; then kill "$VT_HOLD_PID" 2>/dev/null || true; wait "$VT_HOLD_PID" 2>/dev/null || true; fi
  if [ -n "$VT_WINESERVER_STARTED" ]; then timeout 30 wineserver -k >/dev/null 2>&1 || true; fi
  if [ -n "$VT_XVFB_PID" ]; then kill "$VT_XVFB_PID" 2>/dev/null || true; wait "$VT_XVFB_PID" 2>/dev/null || true; fi
  local p
  for p in "${VT_POOL_PIDS[@]}"; do kill "$p" 2>/dev/null || true; wait "$p" 2>/dev/null || true; done
  if [ -n "$VT_POOL_DIR" ]; then rm -rf "$VT_POOL_DIR"; fi
  VT_XVFB_PID=; VT_WINESERVER_STARTED=; VT_HOLD_PID=; VT_POOL_PIDS=(); VT_POOL_DIR=
}

# Configures and builds the Windows tree.
vt_build() {
  local gen=()
  [ -f "$VT_BUILD/CMakeCache.txt" ] || gen=(-G Ninja -DCMAKE_BUILD_TYPE=${VT_BUILD_TYPE:-Release} -DCMAKE_TOOLCHAIN_FILE="$VT_ROOT/cmake/mingw-w64-x86_64.cmake")
  cmake -S "$VT_ROOT" -B "$VT_BUILD" "${gen[@]}" -DVT_DEPS_DIR="$VT_DEPS_DIR" >/dev/null
  cmake --build "$VT_BUILD" -j "${VT_JOBS:-$(nproc)}"
}

# Registers the COM servers of the install image and writes the install's registry values.
vt_register() {
  "$VT_ROOT/scripts/register"
}
