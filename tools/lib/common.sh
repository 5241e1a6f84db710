# Shared by the scripts in tools/: where things are, logging, the Wine environment and a private X display.
# Source it; it never changes the caller's shell options.

BREVIN_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
BREVIN_BUILD=${BREVIN_BUILD:-$BREVIN_ROOT/build}
BREVIN_DEPS=$BREVIN_BUILD/deps
BREVIN_MINGW_PREFIX=$BREVIN_DEPS/mingw
BREVIN_TOOLCHAIN=$BREVIN_ROOT/cmake/mingw-w64-x86_64.cmake
BREVIN_WINE=/usr/lib/wine/wine64
BREVIN_WINE_LANG=${BREVIN_WINE_LANG:-zh_CN.UTF-8}

brevin_say() { printf '==> %s\n' "$*" >&2; }
brevin_die() { printf 'error: %s\n' "$*" >&2; exit 1; }

# Runs a command as root: directly when we are root, through sudo otherwise.
brevin_as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# The Wine environment every program of a run shares. BREVIN_WINEPREFIX lets a run use a private copy
# of the prefix so that two runs never share (and kill) one wineserver.
brevin_wine_env() {
  export WINEPREFIX=${BREVIN_WINEPREFIX:-$BREVIN_BUILD/wineprefix}
  export HOME=$BREVIN_BUILD/home
  export WINEDEBUG=${BREVIN_WINEDEBUG:--all}
  # Without winemenubuilder a shortcut made under Wine (by the installer) stays a Windows file and
  # adds no Linux menu entry or .desktop file to HOME.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  export WINEARCH=win64
  unset WINELOADER
  # Wine takes the Windows locale from the Unix one: a Chinese desktop (code page 936, 24-hour long
  # time format) as the program's users have, from a locale generated into the build tree. Handed
  # to Wine through env (brevin_wine) so that the calling shell does not try to switch to it.
  BREVIN_WINE_ENV_ARGS=(LANG="$BREVIN_WINE_LANG" LC_ALL="$BREVIN_WINE_LANG")
  [ "$BREVIN_WINE_LANG" = C.UTF-8 ] || BREVIN_WINE_ENV_ARGS+=(LOCPATH="$BREVIN_BUILD/locale")
}

# Runs the Wine loader in the environment brevin_wine_env prepared.
brevin_wine() { env "${BREVIN_WINE_ENV_ARGS[@]}" "$BREVIN_WINE" "$@"; }

# Starts Xvfb on a free display; sets DISPLAY and BREVIN_XVFB_PID. Geometry is WxHxDepth.
brevin_start_xvfb() {
  local geometry=${1:-1280x800x24} fifo dir
  dir=$(mktemp -d)
  fifo=$dir/displayfd
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "$geometry" -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
  BREVIN_XVFB_PID=$!
  local number=""
  read -r -t 20 number <"$fifo" || true
  rm -rf "$dir"
  if [ -z "$number" ]; then
    kill "$BREVIN_XVFB_PID" 2>/dev/null
    brevin_die "Xvfb did not start"
  fi
  export DISPLAY=:$number
}

brevin_stop_xvfb() {
  if [ -n "${BREVIN_XVFB_PID:-}" ]; then
    kill "$BREVIN_XVFB_PID" 2>/dev/null
    wait "$BREVIN_XVFB_PID" 2>/dev/null
    BREVIN_XVFB_PID=""
  fi
}

# Copies the prepared prefix into a private one for this run, so that runs side by side never share
# (or end) one wineserver. Wine never writes the big system DLL folders, so those are hard-linked;
# every other file (registry, ini files) is a real copy.
brevin_private_prefix() {
  local target=$1 src=$BREVIN_BUILD/wineprefix f
  rm -rf "$target"
  mkdir -p "$(dirname "$target")"
  cp -al "$src" "$target"
  while IFS= read -r -d '' f; do
    cp -p "$f" "$f.copy" && mv -f "$f.copy" "$f"
  done < <(find "$target" -type f -not -path '*/drive_c/windows/system32/*' \
             -not -path '*/drive_c/windows/winsxs/*' -print0)
  export BREVIN_WINEPREFIX=$target
}

# Everything a Wine run needs around it: a private X display and prefix and one wineserver kept
# alive for the whole run. brevin_wine_session_end undoes it; call it from an EXIT trap.
brevin_wine_session_begin() {
  local name=$1 stale
  # Prefixes left behind by runs that were killed (their names end in the owning process id).
  for stale in "$BREVIN_BUILD"/wine-runs/*-[0-9]*; do
    [ -d "$stale" ] && ! kill -0 "${stale##*-}" 2>/dev/null && rm -rf "$stale"
  done
  BREVIN_SESSION_PREFIX=$BREVIN_BUILD/wine-runs/$name
  brevin_private_prefix "$BREVIN_SESSION_PREFIX"
  brevin_start_xvfb "${BREVIN_SCREEN:-1280x800x24}"
  brevin_start_desktop
}

# True when this prefix's virtual desktop (its explorer) is running. Expects brevin_wine_env.
brevin_desktop_running() {
  local pid
  for pid in $(pgrep -f 'explorer'); do
    [ "$(readlink "/proc/$pid/exe" 2>/dev/null)" = "$BREVIN_WINE" ] || continue
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && return 0
  done
  return 1
}

# Keeps one wineserver alive and opens the virtual desktop before any test runs. Wine's background
# processes (the desktop's explorer, services) inherit the standard output of the program that
# starts them; started here they hold /dev/null rather than a test's output pipe, which ctest
# would otherwise wait on until its timeout. BREVIN_DESKTOP_SIZE (WxH, default 1024x768) gives a
# desktop of another size, e.g. one that a 200 % display fills as 1024 x 768 does at 100 %.
brevin_start_desktop() {
  (
    brevin_wine_env
    wineserver -p </dev/null >/dev/null 2>&1
    setsid env "${BREVIN_WINE_ENV_ARGS[@]}" "$BREVIN_WINE" explorer "/desktop=Default,${BREVIN_DESKTOP_SIZE:-1024x768}" </dev/null >/dev/null 2>&1 &
    local waited=0
    until xwininfo -root -tree 2>/dev/null | grep -q 'Wine desktop'; do
      sleep 0.2
      waited=$((waited + 1))
      [ $waited -lt 150 ] || { echo "the Wine virtual desktop did not appear" >&2; exit 1; }
    done
  )
}

brevin_wine_session_end() {
  if [ -n "${BREVIN_SESSION_PREFIX:-}" ]; then
    (brevin_wine_env; wineserver -k 2>/dev/null; wineserver -w 2>/dev/null)
    rm -rf "$BREVIN_SESSION_PREFIX"
    BREVIN_SESSION_PREFIX=""
  fi
  brevin_stop_xvfb
}
