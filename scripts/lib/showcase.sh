# shellcheck shell=bash
# What the demo, the benchmark and try-disc share: the Windows builds of update.exe, update-try
# and the test driver, a folder the Wine user can reach, a private prefix with the game
# registered, and runs on a virtual screen. Sourced after deps.sh, wine.sh, wine-user.sh and
# xvfb.sh, from the repository's root.

# showcase_deps: the part of deps.sh's list that running update.exe needs.
showcase_deps() {
  [ "${UPDATE_SKIP_DEPS:-0}" = 1 ] && return 0
  # fonts-wine draws the caption buttons.
  UPDATE_PACKAGES=(
    cmake ninja-build googletest g++ nlohmann-json3-dev g++-mingw-w64-x86-64 g++-mingw-w64-i686
    wine64 wine wine32:i386 xvfb xauth x11-apps imagemagick locales fonts-ipafont-gothic fonts-wine
    util-linux passwd
  )
  ensure_deps
}

# showcase_build [TARGET...]: programs for 64-bit Windows; by default update.exe and the test
# driver.
showcase_build() {
  [ $# -gt 0 ] || set -- update e2e_driver
  echo "== building $* (windows-x64)"
  mkdir -p build
  local log=build/showcase-build.log
  if ! { cmake --preset windows-x64 && cmake --build --preset windows-x64 --target "$@"; } \
    >"$log" 2>&1; then
    cat "$log"
    wine_die "the build failed"
  fi
}

# showcase_build_make: update-make, for Linux, which makes the demo's disc.
showcase_build_make() {
  showcase_build_tool linux update-make
}

# showcase_build_tool PRESET TARGET: one tool, built with one preset.
showcase_build_tool() {
  echo "== building $2 ($1)"
  mkdir -p build
  local log=build/showcase-build-$2.log
  if ! { cmake --preset "$1" && cmake --build --preset "$1" --target "$2"; } >"$log" 2>&1; then
    cat "$log"
    wine_die "the build failed"
  fi
}

# showcase_dir NAME [PROGRAM...]: sets $showcase to build/NAME (or UPDATE_<NAME>_DIR, a dash
# read as an underscore), made for the Wine user, with the programs (by default update.exe and
# the test driver) in bin/. A checkout under /root, say, is out of that user's reach: then the
# folder goes to /tmp.
showcase_dir() {
  local name=$1 override
  shift
  override=UPDATE_${name^^}_DIR
  override=${override//-/_}
  showcase=${!override:-$PWD/build/$name}
  wine_user_mkdir "$showcase"
  if ! wine_user_run test -x "$showcase"; then
    showcase=/tmp/update-$name
    wine_user_mkdir "$showcase"
  fi
  showcase=$(cd "$showcase" && pwd)
  wine_user_mkdir "$showcase/bin"
  [ $# -gt 0 ] || set -- build/windows-x64/update.exe build/windows-x64/tests/e2e/e2e_driver.exe
  cp "$@" scripts/lib/wine.sh "$showcase/bin/"
}

# showcase_prefix [KEY GAME-FOLDER]: a Wine prefix of the showcase's own, made once, with the
# game registered afresh when a key is given. The Wine server is let go at the end: a server (and
# its desktop) started without a screen would make every later window of the same prefix fail.
showcase_prefix() {
  export WINEPREFIX=$showcase/prefix
  wine_prefix_is_ready "$WINEPREFIX" ||
    echo "== making a Wine prefix (once for each Wine installation, about 30 s)"
  wine_user_run bash -c '. "$3"; wine_env "$WINEPREFIX"; wine_ensure_prefix
    wine_add_caption_font
    if [ -n "$1" ]; then
      wine reg delete "$1" /f >/dev/null 2>&1 || true
      wine reg add "$1" /v GAMEPATH /d "$2" /f >/dev/null
    fi
    wineserver -w' _ "${1:-}" "${2:+$(wine_path "$2")}" "$showcase/bin/wine.sh"
}

# showcase_try ARGS...: update-try.exe of bin/ (the update-check.exe it runs beside it) under Wine
# on a virtual screen of its own. Returns its exit status.
showcase_try() {
  showcase_run "$showcase/bin/update-try.exe" "$@"
}

# showcase_driver ARGS...: the test driver under Wine on a virtual screen of its own.
showcase_driver() {
  showcase_run "$showcase/bin/e2e_driver.exe" "$@"
}

# showcase_run PROGRAM ARGS...: a Windows program under Wine, as the Wine user, on a virtual
# screen of its own, which goes after the Wine server.
showcase_run() {
  xvfb_start "$showcase"
  local status=0
  wine_user_run env DISPLAY="$XVFB_DISPLAY" bash -c '. "$1"; wine_env "$WINEPREFIX"; shift
    exec wine "$@"' _ "$showcase/bin/wine.sh" "$@" || status=$?
  wine_user_run wineserver -k 2>/dev/null || true  # before its screen goes away
  xvfb_stop
  return "$status"
}
