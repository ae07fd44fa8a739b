#!/usr/bin/env bash
# What a publisher downloads, one table row per case: two runs of scripts/release give the same
# bytes; the bundles hold what they should, and every program in them states the project's
# version; the Windows tools from the zip, run under Wine, make and check a disc exactly as the
# Linux tools from the tarball do; the zip's update-try.exe tries a disc through scripts/try-disc.
#
# usage: release_test.sh CASE
# Environment: UPDATE_RELEASE_TEST_DIR, the working folder (its build trees are kept, so a second
# ctest run builds nothing); UPDATE_VERSION, the version every program must state; WINDRES.
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: $0 CASE" >&2; exit 2; }
readonly ONLY=$1
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
readonly ROOT work=${UPDATE_RELEASE_TEST_DIR:?} version=${UPDATE_VERSION:?}
readonly windows=update-$version-windows linux=update-$version-linux-x86_64
. "$ROOT/scripts/lib/wine.sh"
. "$ROOT/scripts/lib/demo-disc.sh"

failed=0
fail() {
  echo "FAIL $ONLY: $*"
  failed=1
}

# The bundles of the first run, unpacked: $work/unpacked/{windows,linux}.
unpacked() {
  [ -f "$work/dist/SHA256SUMS" ] || { echo "no bundles: the row reproducible makes them" >&2; exit 2; }
  rm -rf "$work/unpacked" && mkdir -p "$work/unpacked"
  unzip -q "$work/dist/$windows.zip" -d "$work/unpacked"
  tar -xzf "$work/dist/$linux.tar.gz" -C "$work/unpacked"
  win=$work/unpacked/$windows lin=$work/unpacked/$linux
}

# Two runs; the second relinks every program, so a link time or a path in them would show.
case_reproducible() {
  local sums
  # One commit's time for both runs, whatever is committed meanwhile.
  export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$ROOT" log -1 --format=%ct)}
  rm -rf "$work/dist" "$work/dist2"
  UPDATE_RELEASE_BUILD=$work/build "$ROOT/scripts/release" --out "$work/dist" >/dev/null
  rm -f "$work"/build/*/update.exe "$work"/build/*/update-make* "$work"/build/*/update-check*
  UPDATE_RELEASE_BUILD=$work/build "$ROOT/scripts/release" --out "$work/dist2" >/dev/null
  for f in "$windows.zip" "$linux.tar.gz" SHA256SUMS; do
    cmp "$work/dist/$f" "$work/dist2/$f" || fail "$f differs between two runs"
  done
  sums=$(cd "$work/dist" && sha256sum -c SHA256SUMS 2>&1) || fail "SHA256SUMS: $sums"
  [ "$(wc -l <"$work/dist/SHA256SUMS")" = 2 ] || fail "SHA256SUMS holds other than the two bundles"
  # Every entry carries the commit's time, no owner.
  local epoch=$SOURCE_DATE_EPOCH when
  when=$(date -u -d "@$epoch" '+%Y-%m-%d %H:%M')
  tar -tvzf "$work/dist/$linux.tar.gz" --full-time | grep -v " 0/0 .* $when:" &&
    fail "a tar entry has another owner or time than 0/0 and $when"
  # zip keeps local time to two seconds: every entry the same, on the commit's day (in UTC).
  [ "$(TZ=UTC unzip -Z -T "$work/dist/$windows.zip" | awk '/^[-d]/ { print $7 }' | sort -u |
    grep -c "^$(date -u -d "@$epoch" +%Y%m%d)")" = 1 ] || fail "the zip entries have other times than $when"
  return 0
}

# Exactly the files item by item, the tools without sanitizers and stripped.
case_contents() {
  unpacked
  local docs='README.md CONTENTS.txt docs/publishers.md docs/publishers.html docs/images/code-page-stop.png docs/images/complete.png docs/images/console-started-alone.png docs/images/filecopy-dialog.png docs/images/filecopy-progress.png docs/images/folder-name-stop.png docs/images/in-use.png docs/images/no-room.png docs/images/update-dialog.png'
  local want_win want_lin
  want_win=$(printf '%s\n' update.exe update-make.exe update-check.exe update-try.exe x86/update.exe $docs | sort)
  want_lin=$(printf '%s\n' update.exe update-make update-check x86/update.exe windows/update-try.exe \
    windows/update-check.exe $docs | sort)
  [ "$(cd "$win" && find . -type f -printf '%P\n' | sort)" = "$want_win" ] || fail "the zip holds other files"
  [ "$(cd "$lin" && find . -type f -printf '%P\n' | sort)" = "$want_lin" ] || fail "the tarball holds other files"
  cmp -s "$win/update.exe" "$lin/update.exe" && cmp -s "$win/x86/update.exe" "$lin/x86/update.exe" ||
    fail "the bundles hold different update.exe builds"
  file "$win/update.exe" | grep -q 'PE32+ executable (GUI) x86-64' || fail "update.exe is not the x64 build"
  file "$win/x86/update.exe" | grep -q 'PE32 executable (GUI) Intel 80386' || fail "x86/update.exe is not the x86 build"
  file "$win/update-make.exe" | grep -q 'PE32+ executable (console) x86-64' || fail "update-make.exe is not the x64 console build"
  file "$win/update-try.exe" | grep -q 'PE32+ executable (console) x86-64' || fail "update-try.exe is not the x64 console build"
  cmp -s "$win/update-try.exe" "$lin/windows/update-try.exe" && cmp -s "$win/update-check.exe" "$lin/windows/update-check.exe" ||
    fail "the tarball's update-try.exe and update-check.exe are not the zip's"
  # It runs from a publisher's download folder: what it imports must come with Windows.
  local dll
  for dll in $(x86_64-w64-mingw32-objdump -p "$win/update-try.exe" | sed -n 's/^\s*DLL Name: //p'); do
    grep -qiE '^(advapi32|gdi32|kernel32|msvcrt|normaliz|shell32|user32)\.dll$' <<<"$dll" ||
      fail "update-try.exe imports $dll"
  done
  local tool
  for tool in "$lin/update-make" "$lin/update-check"; do
    file "$tool" | grep -q 'x86-64.*, stripped' || fail "$tool is not a stripped x86-64 program"
    ! grep -qa __asan_init "$tool" || fail "$tool is built with sanitizers"
  done
  grep -q $'update-make.exe --exe x86\\\\update.exe \.\.\.\r$' "$win/CONTENTS.txt" ||
    fail "CONTENTS.txt of the zip does not say where the x86 update.exe is, in CR LF"
  grep -q '^docs\\publishers.html ' "$win/CONTENTS.txt" || fail "CONTENTS.txt of the zip does not name the HTML guide"
  # The web page is the whole guide, both halves, and every picture it shows is in the bundle.
  local html=$win/docs/publishers.html src
  grep -q '<h1 id="日本語">日本語</h1>' "$html" && grep -q '<h1 id="english">English</h1>' "$html" ||
    fail "the HTML guide lacks a half"
  [ "$(grep -c '<img src=' "$html")" = "$(grep -c '!\[' "$win/docs/publishers.md")" ] ||
    fail "the HTML guide shows other pictures than the Markdown"
  for src in $(grep -o '<img src="[^"]*"' "$html" | sed 's/<img src="//; s/"$//'); do
    [ -f "$win/docs/$src" ] || fail "the HTML guide shows $src, which the zip lacks"
  done
  return 0
}

# One version: README, --version of both builds of the tools, the version resource of every exe.
case_versions() {
  unpacked
  grep -q "version $version" "$lin/README.md" || fail "the README does not say it describes version $version"
  local tool
  for tool in update-make update-check; do
    [ "$("$lin/$tool" --version)" = "$tool $version" ] || fail "$tool --version: $("$lin/$tool" --version)"
  done
  local exe rc
  for exe in "$win/update.exe" "$win/x86/update.exe" "$win/update-make.exe" "$win/update-check.exe" \
    "$win/update-try.exe"; do
    rc=$("${WINDRES:-x86_64-w64-mingw32-windres}" -i "$exe" -O rc 2>/dev/null)
    grep -q "^ FILEVERSION ${version//./, }, 0\$" <<<"$rc" || fail "${exe#"$win"/}: FILEVERSION is not $version"
    grep -q "^ PRODUCTVERSION ${version//./, }, 0\$" <<<"$rc" || fail "${exe#"$win"/}: PRODUCTVERSION is not $version"
    grep -q "VALUE \"FileVersion\", \"$version\"" <<<"$rc" || fail "${exe#"$win"/}: FileVersion is not $version"
    grep -q "VALUE \"ProductVersion\", \"$version\"" <<<"$rc" || fail "${exe#"$win"/}: ProductVersion is not $version"
  done
  return 0
}

# A report with what must differ between two runs on two systems made alike: the line ends and
# the separator of the paths on this machine (not the list's names), and the free space.
same_host() {
  sed -E -e 's/\r$//' -e '/^Setup list |^ +source |"source": /{s/\\\\/\//g; s/\\/\//g}' \
    -e 's/[0-9]+ bytes free:/N bytes free:/; s/"free": [0-9]+/"free": N/' "$1"
}

# Under Wine, from the unpacked zip, update-make.exe makes the disc the Linux build makes, both
# with the update.exe beside them; update-check.exe says what the Linux build says of it, also
# --against a game. Each build runs in a folder of its own with the same relative names.
case_windows_tools() {
  unpacked
  wine_check_locale
  wine_env "$work/wine-prefix"
  wine_ensure_prefix
  local t=$work/tools
  rm -rf "$t" && mkdir -p "$t/windows" "$t/linux"
  demo_versions "$t/versions"
  demo_game "$t/game" "$t/versions"
  local args=(--title "$DEMO_TITLE" --reg-s DEMOSOFT --reg-t "$DEMO_TITLE" --path データ ../versions/old ../versions/new disc)
  (cd "$t/windows" && wine "$win/update-make.exe" "${args[@]}" >make.txt 2>&1) || fail "update-make.exe failed: $(cat "$t/windows/make.txt")"
  (cd "$t/linux" && "$lin/update-make" "${args[@]}" >make.txt 2>&1) || fail "update-make failed: $(cat "$t/linux/make.txt")"
  diff -r "$t/windows/disc" "$t/linux/disc" || fail "the discs differ"
  grep -q 'no Authenticode signature' "$t/windows/make.txt" ||
    fail "update-make.exe does not say that the bundle's update.exe is unsigned"
  [ -f "$t/windows/disc/シナリオ/表紙/ソフト.txt" ] || [ -f "$t/windows/disc/データ/シナリオ/表紙/ソフト.txt" ] ||
    fail "no シナリオ/表紙/ソフト.txt on the disc"
  diff <(same_host "$t/windows/make.txt" | grep -v '^update.exe from ') \
    <(grep -v '^update.exe from ' "$t/linux/make.txt") ||
    fail "the summaries differ"
  local tool run
  for tool in update-make update-check; do
    [ "$(wine "$win/$tool.exe" --version | tr -d '\r')" = "$tool $version" ] ||
      fail "$tool.exe --version does not say $version"
  done
  for run in "disc" "--json disc" "--against ../game disc" "--against ../game --json disc"; do
    # shellcheck disable=SC2086  # the options are words
    (cd "$t/windows" && wine "$win/update-check.exe" $run >check.txt 2>&1) || :
    # shellcheck disable=SC2086
    (cd "$t/linux" && "$lin/update-check" $run >check.txt 2>&1) || :
    diff <(same_host "$t/windows/check.txt") <(same_host "$t/linux/check.txt") ||
      fail "update-check $run: the builds differ"
  done
  return 0
}

# scripts/try-disc with the zip's update-try.exe (and the update-check.exe beside it) on the demo's
# disc, made by the tarball's update-make: the run a Windows publisher makes, under Wine.
case_try_disc() {
  unpacked
  local t=$work/try log status=0
  rm -rf "$t" && mkdir -p "$t" && chmod 755 "$t"
  demo_versions "$t/versions"
  UPDATE_MAKE=$lin/update-make demo_disc "$t/disc" "$t/versions" "$win/update.exe" >/dev/null ||
    fail "the tarball's update-make made no disc"
  demo_game "$t/game" "$t/versions"
  chmod -R a+rX "$t"
  log=$(UPDATE_TRY_EXE=$win/update-try.exe UPDATE_TRY_DISC_DIR=$work/try-disc \
    "$ROOT/scripts/try-disc" "$t/disc" "$t/game" 2>&1) || status=$?
  [ "$status" = 0 ] || fail "try-disc with the zip's update-try.exe: exit status $status"
  grep -qF 'ＵＰＤＡＴＥが完了しました。 (the completion message)' <<<"$log" ||
    fail "no completion message in: $log"
  [ "$(cat "$work/try-disc/result/shots"/*-completion.png | head -c 4 | tail -c 3)" = PNG ] ||
    fail "no picture of the completion message"
  return 0
}

case "$ONLY" in
  reproducible | contents | versions | windows_tools | try_disc) "case_$ONLY" ;;
  *) echo "no case named $ONLY" >&2 && exit 2 ;;
esac
exit "$failed"
