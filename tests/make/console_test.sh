#!/usr/bin/env bash
# The Windows tools started as Explorer starts them, in a console of their own, under Wine (with a
# screen of its own, where Wine's consoles are windows): what the console shows, and that the tool
# waits for a key before its window closes. console_driver.exe starts the tool, reads the console
# and presses the key.
#
# usage: console_test.sh CONSOLE_DRIVER TOOLS_DIR PREFIX [CASE]
# TOOLS_DIR holds update-check.exe and update-make.exe; PREFIX is the Wine prefix to use.
set -euo pipefail

[ $# -ge 3 ] || { echo "usage: $0 CONSOLE_DRIVER TOOLS_DIR PREFIX [CASE]" >&2; exit 2; }
lib="$(cd "$(dirname "$0")/../../scripts/lib" && pwd)"
. "$lib/wine.sh"
. "$lib/wine-user.sh"
. "$lib/xvfb.sh"
readonly DRIVER="$(realpath "$1")" TOOLS="$(realpath "$2")" PREFIX="$(realpath -m "$3")" ONLY="${4:-}"

wine_check_locale
wine_user_ensure
wine_user_mkdir "$(dirname "$PREFIX")"
wine_user_run bash -c '. "$1/wine.sh"; wine_env "$2"; wine_ensure_prefix' _ "$lib" "$PREFIX"
wine_env "$PREFIX"

# The prefix is shared with the other make.wine rows, which run with no screen: a wineserver of
# theirs still up would make this row's consoles without a window, in which no handle has a
# console mode and the tool can't tell it is alone. And ours must not outlive our screen.
stop_wineserver() {
  wine_user_run env WINEPREFIX="$PREFIX" wineserver -k 2>/dev/null || true
  wine_user_run env WINEPREFIX="$PREFIX" wineserver -w 2>/dev/null || true
}
stop_wineserver

scratch="$(mktemp -d "${TMPDIR:-/tmp}/console-test.XXXXXX")"
trap 'stop_wineserver; xvfb_stop; rm -rf -- "$scratch"' EXIT
chmod 755 "$scratch"
xvfb_start "$scratch"
export DISPLAY=$XVFB_DISPLAY

# A disc folder to drop (one problem: its update.exe is no program), and two game folders.
mkdir -p "$scratch/ディスク" "$scratch/old" "$scratch/new"
printf '%s\r\n' '#TITLE "星空の図書館"' '#INSTALL_LST' '[標準]' '#FILE' '[標準]' |
  iconv -f UTF-8 -t CP932 >"$scratch/ディスク/update.ini"
echo 'not a program' >"$scratch/ディスク/update.exe"
# A list saved as UTF-8, as editors on Windows save it by default.
mkdir -p "$scratch/utf8"
printf '%s\r\n' '#TITLE "星空の図書館"' '#INSTALL_LST' '[標準]' '#FILE' '[標準]' >"$scratch/utf8/update.ini"
cp "$scratch/ディスク/update.exe" "$scratch/utf8/"
wine_user_chown "$scratch"

failures=0
ran=0
fail() {
  echo "    FAIL: $*"
  failures=$((failures + 1))
  case_failed=1
}

# row NAME TOOL STATUS TEXTS [ARG...]
#   TOOL is started alone in a new console with the ARGs (paths below the scratch folder as
#   "@name"); it must show every one of TEXTS ("|" between them), wait for a key, then end with
#   STATUS.
row() {
  local name="$1" tool="$2" status="$3" message="$4"
  shift 4
  [ -z "$ONLY" ] || [ "$ONLY" = "$name" ] || return 0
  ran=$((ran + 1))
  case_failed=0
  echo "--- $name"
  local args=() arg log="$scratch/$name.log"
  for arg in "$@"; do
    case "$arg" in
      @*) args+=("$(wine_path "$scratch/${arg#@}")") ;;
      *) args+=("$arg") ;;
    esac
  done
  wine_user_run wine "$DRIVER" "$(wine_path "$TOOLS/$tool")" "${args[@]}" >"$log" 2>&1 || :
  tr -d '\r' <"$log" >"$log.txt"
  local texts text
  IFS='|' read -r -a texts <<<"$message"
  for text in "${texts[@]}" "Press any key to close this window." "waited" "exit $status"; do
    grep -qF -- "$text" "$log.txt" || fail "no \"$text\""
  done
  ! grep -qx "did not wait" "$log.txt" || fail "the window closed without a key"
  [ "$case_failed" -eq 0 ] || sed 's/^/      | /' "$log.txt"
}

# A double-click: how to run the tool, in Japanese and English.
row check_alone  update-check.exe 2 "update-check は、アップデートのディスクを|  update-check.exe \"C:\\Work\\disc\"|Drop the disc's folder"
row make_alone   update-make.exe  2 "update-make は、インストールされたゲーム|    \"C:\\Work\\old\" \"C:\\Work\\new\" \"C:\\Work\\disc\"|run it in a command prompt (cmd)"
# A folder dropped on update-check is checked as a disc; its report stays until a key.
row check_drop   update-check.exe 1 "Setup list|\"星空の図書館\"|Problems (1)|is not a Windows program" @ディスク
# The fix a Windows publisher can make: Notepad's "ANSI" on a Japanese Windows.
row check_utf8   update-check.exe 1 "the list is saved as UTF-8|open it in Notepad" @utf8
# Folders dropped on update-make can't give its options: the fault and how to run it.
row make_drop    update-make.exe  2 "update-make: give --title|update-make は、" @old @new

if [ "$ran" -eq 0 ]; then
  echo "no case named $ONLY" >&2
  exit 2
fi
echo "$ran case(s), $failures failure(s)"
[ "$failures" -eq 0 ]
