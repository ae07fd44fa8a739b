# Shell functions for running our Windows programs under Wine: a private prefix, the Japanese
# locale (so the ANSI code page is 932) and the dialog font mapped to a Japanese face.
# Sourced by the test runners and the demo.

wine_die() {
  echo "error: $*" >&2
  exit 1
}

# Wine takes its ANSI code page from the Unix locale and silently falls back to 1252 when the
# locale is missing.
wine_check_locale() {
  locale -a 2>/dev/null | grep -qix 'ja_JP.utf8' ||
    wine_die "the ja_JP.UTF-8 locale is missing: Wine would run with code page 1252, not 932 (enable it in /etc/locale.gen and run locale-gen)"
}

# wine_env PREFIX [LOCALE]: the environment of every Wine call; the Japanese locale unless told
# otherwise (C.UTF-8 makes a Western system: code page 1252, file names still in UTF-8).
wine_env() {
  export WINEPREFIX=$1
  export WINEARCH=win64
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree=;mshtml="
  export LANG=${2:-ja_JP.UTF-8}
  export LC_ALL=$LANG
}

# wine_make_prefix: a new prefix at $WINEPREFIX, ready for our dialogs.
wine_make_prefix() {
  wineboot -i >/dev/null 2>&1 || wine_die "wineboot failed for $WINEPREFIX"
  # Without a window manager every window close would cost about two seconds.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null
  # The dialogs ask for "ＭＳ Ｐゴシック"; render it with a proportional Japanese face.
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ Ｐゴシック' /d IPAPGothic /f >/dev/null
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ ゴシック' /d IPAGothic /f >/dev/null
  # No crash dialog: a crash must end the test, not wait for a click.
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null
  wineserver -w
}

# wine_fingerprint: the Wine installation a prefix is made by. A prefix made by another one may
# not run under this one: one made before the 32-bit half (wine32:i386) was installed fails with
# "could not load kernel32.dll". The packages of both architectures, and the version for a Wine
# that dpkg does not know.
wine_fingerprint() {
  wine --version 2>/dev/null || echo "no wine"
  if command -v dpkg-query >/dev/null 2>&1; then
    dpkg-query -W -f='${db:Status-Abbrev} ${binary:Package} ${Version}\n' 'wine*' 'libwine*' \
      2>/dev/null | grep '^ii' | LC_ALL=C sort
  fi
  return 0
}

# wine_prefix_is_ready PREFIX: whether the prefix was made whole by the Wine installed now; its
# marker holds the fingerprint of the Wine that made it.
wine_prefix_is_ready() {
  local marker=$1/.update-ready
  [ -f "$marker" ] && [ "$(cat "$marker")" = "$(wine_fingerprint)" ]
}

# wine_ensure_prefix: makes $WINEPREFIX once, also when several tests ask at the same time, and
# again when the Wine installation has changed since.
wine_ensure_prefix() {
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    wine_prefix_is_ready "$WINEPREFIX" && exit 0
    if [ -d "$WINEPREFIX" ]; then
      wineserver -k 2>/dev/null || true
      rm -rf "$WINEPREFIX"
    fi
    wine_make_prefix
    wine_fingerprint >"$WINEPREFIX/.update-ready"
  ) 9>"$WINEPREFIX.lock"
}

# wine_add_caption_font: Wine draws the caption buttons with Marlett. This Wine does not load
# the fonts of its data folder (fonts-wine), so without a copy in the prefix the close box shows
# the letter "r" instead of its cross.
wine_add_caption_font() {
  local font=/usr/share/wine/fonts/marlett.ttf
  [ -f "$font" ] || return 0
  cp "$font" "$WINEPREFIX/drive_c/windows/Fonts/"
}
