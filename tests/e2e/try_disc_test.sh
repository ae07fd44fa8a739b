#!/usr/bin/env bash
# Runs scripts/try-disc (update-try.exe under Wine) on the demo's disc (made by update-make from
# the game's two versions) and the old game, one table row per case: its exit status, what its
# summary says, that the game folder given comes out exactly as it went in and its copy is gone,
# and that update-check --against foretold the files that failed. A clean run leaves the game's
# copy equal to the new version. The journal rows show the game's key put back byte for byte
# after a run, after Ctrl-C, and after update-try was killed and started again.
#
# usage: try_disc_test.sh TRY_DISC UPDATE_EXE CASE
# Environment: UPDATE_TRY_DISC_DIR and UPDATE_TRY_EXE, passed on to try-disc; STALL_EXE, a
# program that waits, put on a disc as its update.exe; UPDATE_MAKE and UPDATE_CHECK, the Linux
# builds of the two tools.
set -euo pipefail
[ $# -eq 3 ] || { echo "usage: $0 TRY_DISC UPDATE_EXE CASE" >&2; exit 2; }
readonly TRY_DISC=$1 UPDATE_EXE=$2 ONLY=$3
for tool in "${UPDATE_CHECK:?}" "${UPDATE_MAKE:?}"; do
  [ -x "$tool" ] || { echo "no $tool: build the linux preset first" >&2; exit 2; }
done
lib=$(cd "$(dirname "$0")/../../scripts/lib" && pwd)
. "$lib/demo-disc.sh"
. "$lib/wine.sh"
. "$lib/wine-user.sh"

scratch=$(mktemp -d "${TMPDIR:-/tmp}/try-disc-test.XXXXXX")
trap 'rm -rf -- "$scratch"' EXIT
chmod 755 "$scratch"  # the user that runs Wine reads the disc where it is

# What a run could change in a folder: names, kinds, modes, owners, sizes, times and bytes.
snapshot() {
  (cd "$1" && find . -printf '%P %y %m %U %G %s %T@\n' | LC_ALL=C sort &&
    find . -type f -print0 | LC_ALL=C sort -z | xargs -0 -r md5sum)
}

# Makers: each changes the demo's disc ($1) or game ($2), or sets try-disc's options (try_args)
# or its PATH.
try_args=()
make_clean() { :; }
make_foreign_folders() { :; }
make_signed() { :; }
make_read_only() { chmod 444 "$2/readme.txt"; }
make_no_exe() { rm "$1/update.exe"; }
make_exe_not_a_program() { printf MZ >"$1/update.exe"; }
make_no_game() { rm -rf "$2"; }
# A file the disc lacks, wallpapers two new folders down, a name that leaves the game folder and
# a header of no install type: each makes boxes of its own.
make_faults() {
  rm "$1/データ/bgm.dat"
  mkdir -p "$1/データ/おまけ/壁紙"
  echo wallpaper >"$1/データ/おまけ/壁紙/1.bmp"
  printf '%s\r\n' 'おまけ\壁紙\1.bmp' '..\evil.dat' '[ボーナス]' 'bonus.dat' |
    iconv -f UTF-8 -t CP932 >>"$1/update.ini"
}

# The list's key with a slip in its last part, as the game's installer writes it.
make_wrong_key() { try_args=(--key 'HKEY_CURRENT_USER\Software\DEMOSOFT\星空の図書舘'); }
# The right key from a regedit export, in other letter case: the registry takes both as one.
make_key_from_reg() {
  printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\DemoSoft\\%s]\r\n"GAMEPATH"="C:\\\\Game\\\\"\r\n' \
    "$DEMO_TITLE" | iconv -f UTF-8 -t UTF-16 >"$scratch/game.reg"
  try_args=(--reg "$scratch/game.reg")
}
# The list saved as UTF-8, with only ASCII names to copy: the run itself goes through, under a
# key that reads as mojibake.
make_unicode_list() {
  mv "$1/データ" "$1/DATA"
  iconv -f CP932 -t UTF-8 "$1/update.ini" | sed 's/^#PATH .*/#PATH DATA\r/' |
    grep -v -e シナリオ >"$scratch/utf8.ini"
  mv "$scratch/utf8.ini" "$1/update.ini"
}
make_outside_link() { ln -s /etc "$2/etc"; }
# A Wine that cannot load the program, as one whose installation changed under its prefix.
make_no_wine() {
  mkdir -p "$scratch/bin"
  printf '#!/bin/sh\ncase "$1" in *update-try.exe) echo "wine: could not load kernel32.dll, status c0000135" >&2; exit 1 ;; esac\nexec %q "$@"\n' \
    "$(command -v wine)" >"$scratch/bin/wine"
  chmod 755 "$scratch/bin/wine"
  export PATH=$scratch/bin:$PATH
}

# The journal rows: the key as the test PC holds it (GAMEPATH the string C:\real, the same text
# as an expandable string with a character code page 932 lacks, or no key at all), given to
# try-disc as the installer's key in other letter case, so that the list's key and the
# installer's are one key with two entries in the journal; and how the run ends.
installer_key='HKCU\Software\DemoSoft\星空の図書館'
journal_row() {  # STATE END
  try_args=(--key "$installer_key")
  seed_key "$1"
  ending=$2
}
make_journal_string_run() { journal_row string run; }
make_journal_string_ctrl_c() { journal_row string ctrl_c; }
make_journal_string_kill() { journal_row string kill; }
make_journal_type_run() { journal_row type run; }
make_journal_type_ctrl_c() { journal_row type ctrl_c; }
make_journal_type_kill() { journal_row type kill; }
make_journal_absent_run() { journal_row absent run; }
make_journal_absent_ctrl_c() { journal_row absent ctrl_c; }
make_journal_absent_kill() { journal_row absent kill; }

# wine_in_prefix COMMAND...: a Wine command in try-disc's prefix, as the user that runs Wine.
wine_in_prefix() {
  wine_user_run env WINEPREFIX="$UPDATE_TRY_DISC_DIR/prefix" bash -c '. "$1"; wine_env "$WINEPREFIX"
    wine_ensure_prefix; shift; "$@"; status=$?; wineserver -w; exit $status' _ "$scratch/wine.sh" "$@"
}

# The key as the state says, and as exported then, in one start of the Wine server: each start
# lasts until the server has gone, about 3 s after its last program (one left running without a
# screen would spoil the windows of the next run).
seed_key() {
  cp "$lib/wine.sh" "$scratch/wine.sh"
  wine_user_ensure
  wine_user_mkdir "$UPDATE_TRY_DISC_DIR" "$scratch/reg"
  # A journal left by a row that was itself stopped would be put back first.
  rm -f "$UPDATE_TRY_DISC_DIR"/prefix/drive_c/users/*/AppData/Local/update-try/journal.txt
  local add=:
  case $1 in
    string) add="wine reg add 'HKCU\\Software\\DEMOSOFT\\$DEMO_TITLE' /v GAMEPATH /d 'C:\\real' /f" ;;
    type) add="wine reg add 'HKCU\\Software\\DEMOSOFT\\$DEMO_TITLE' /v GAMEPATH /t REG_EXPAND_SZ /d 'C:\\José' /f" ;;
  esac
  wine_in_prefix bash -c "wine reg delete 'HKCU\\Software\\DEMOSOFT' /f; $add; $export_key" \
    >/dev/null 2>&1 || :
  exported_text >"$scratch/reg-before"
}

# The game's keys as regedit exports them (strings in quotes, other types as their bytes in hex),
# in UTF-8, or "no key".
export_key="wine reg export 'HKCU\\Software\\DEMOSOFT' '$(wine_path "$scratch/reg/out.reg")' /y"
exported() {
  wine_in_prefix bash -c "$export_key" >/dev/null 2>&1 || :
  exported_text
}
exported_text() {
  if [ -s "$scratch/reg/out.reg" ]; then iconv -f UTF-16 -t UTF-8 "$scratch/reg/out.reg"; else echo "no key"; fi
  rm -f "$scratch/reg/out.reg"
}

# try-disc in a session of its own, stopped once update-try runs update.exe: Ctrl-C reaches the
# whole session, as it reaches a script started at a terminal; TerminateProcess, the end Wine
# gives a Windows process killed from outside, is SIGKILL to update-try.exe alone.
run_stopped() {  # ctrl_c | kill
  setsid "$TRY_DISC" "${try_args[@]}" "$disc" "$game" >"$log" 2>&1 &
  local session=$! i pid=
  for i in $(seq 1200); do
    grep -q '^== running update.exe' "$log" && break
    sleep 0.1
  done
  if [ "$1" = ctrl_c ]; then
    kill -INT -- "-$session"
  else
    pid=$(ps -s "$session" -o pid=,comm= | awk '$2 == "update-try.exe" { print $1; exit }')
    if [ -n "$pid" ]; then kill -KILL "$pid"; else fail "no update-try.exe running in the session"; fi
  fi
  for i in $(seq 600); do
    kill -0 "$session" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$session" 2>/dev/null; then
    fail "try-disc did not end in 60 s; its session is killed"
    kill -KILL -- "-$session"
  fi
  wait "$session" || got=$?
}

failed=0
fail() {
  echo "FAIL $ONLY: $*"
  failed=1
}

# The files the preview says will fail, and those that failed in the run, one name a line.
foretold_failures() {
  jq -r '.entries[] | select(.outcome == "fails") | .file_name' "$1" | LC_ALL=C sort
}
run_failures() {
  awk -F '\t' '$1 == "failure" { print $3 }' "$1" | LC_ALL=C sort
}

# Every file of the new version is in the game's copy after the run, byte for byte; the listing
# names them as Windows does, with backslashes.
expect_new_version() {
  local file md5
  while IFS= read -r file; do
    md5=$(md5sum <"$versions/new/$file" | cut -c 1-32)
    grep -qP "\t\Q$md5\E\t\Q${file//\//\\}\E\$" "$1" || fail "the game's $file is not the new version's"
  done < <(cd "$versions/new" && find . -type f -printf '%P\n')
}

# update.exe signed as a publisher signs it, with a throwaway certificate made here.
signed_exe() {
  openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj "/CN=Throwaway test publisher" \
    -addext extendedKeyUsage=codeSigning -keyout "$scratch/key.pem" -out "$scratch/cert.pem" 2>/dev/null
  osslsigncode sign -certs "$scratch/cert.pem" -key "$scratch/key.pem" -h sha256 -n "$DEMO_TITLE" \
    -in "$UPDATE_EXE" -out "$scratch/signed.exe" >/dev/null
  echo "$scratch/signed.exe"
}

# Whether update-make's summary and update-check's notes say the disc's update.exe is unsigned.
expect_unsigned_said() {
  local said=no notes=no
  grep -q 'no Authenticode signature' "$scratch/made" && said=yes
  jq -e '.notes | map(.kind) | index("unsigned-exe")' "$scratch/preview.json" >/dev/null && notes=yes
  [ "$said $notes" = "$1 $1" ] ||
    fail "unsigned said by update-make: $said, by update-check: $notes; want $1"
}

# row NAME STATUS TEXTS: TEXTS, separated by "|", must all be in try-disc's output.
row() {
  local name=$1 status=$2 texts=$3 text got=0 ending=run
  [ "$ONLY" = "$name" ] || return 0
  local disc=$scratch/disc game=$scratch/game log=$scratch/log before versions=$scratch/versions
  # é has no code page 932 form: update.exe reaches the disc by its short name.
  if [ "$name" = foreign_folders ]; then
    disc=$scratch/José/作業/disc game=$scratch/作業/José/game
    mkdir -p "${disc%/*}" "${game%/*}"
  fi
  local result=${UPDATE_TRY_DISC_DIR:?}/result
  local exe=$UPDATE_EXE
  if [ "$name" = signed ]; then exe=$(signed_exe); fi
  demo_versions "$versions"
  demo_disc "$disc" "$versions" "$exe" >"$scratch/made" || fail "update-make failed"
  grep -qx '  manual.txt' "$scratch/made" || fail "update-make's summary does not name manual.txt"
  demo_game "$game" "$versions"
  "make_$name" "$disc" "$game"
  before=$(snapshot "$game" 2>/dev/null || true)
  [ ! -d "$game" ] || "$UPDATE_CHECK" --against "$game" --json "$disc" >"$scratch/preview.json" || :
  case $ending in
    run) "$TRY_DISC" "${try_args[@]}" "$disc" "$game" >"$log" 2>&1 || got=$? ;;
    ctrl_c)
      cp "$STALL_EXE" "$disc/update.exe"
      run_stopped ctrl_c ;;
    kill)
      cp "$STALL_EXE" "$disc/update.exe"
      run_stopped kill
      [ "$got" = 2 ] && grep -q 'update-try.exe ended without finishing' "$log" ||
        fail "try-disc did not say that update-try was killed (exit status $got)"
      [ "$(exported)" != "$(cat "$scratch/reg-before")" ] ||
        fail "the key was not changed when update-try was killed: it shows nothing"
      # The second start, of a whole run.
      cp "$UPDATE_EXE" "$disc/update.exe"
      got=0
      "$TRY_DISC" "${try_args[@]}" "$disc" "$game" >"$log" 2>&1 || got=$? ;;
  esac
  [ "$got" = "$status" ] || fail "exit status $got, want $status"
  IFS='|' read -r -a texts <<<"$texts"
  for text in "${texts[@]}"; do
    grep -qF -- "$text" "$log" || fail "no \"$text\" in the output"
  done
  [ "$(snapshot "$game" 2>/dev/null || true)" = "$before" ] || fail "the game folder given changed"
  if [ "$status" != 2 ]; then
    [ "$(foretold_failures "$scratch/preview.json")" = "$(run_failures "$result/record.txt")" ] ||
      fail "update-check --against foretold other failures than the run had"
  fi
  case $name in
    clean) expect_new_version "$result/after.txt" && expect_unsigned_said yes ;;
    signed) expect_new_version "$result/after.txt" && expect_unsigned_said no ;;
    journal_*) [ "$(exported)" = "$(cat "$scratch/reg-before")" ] ||
      fail "the game's key is not as it was: $(exported | tr '\r\n' '  ')" ;;
  esac
  [ ! -e "$result/game" ] || fail "the copy of the game is left in $result/game"
  if [ "$failed" != 0 ]; then sed 's/^/      | /' "$log"; fi
  exit "$failed"
}

completed='final message: 星空の図書館のＵＰＤＡＴＥ / ＵＰＤＡＴＥが完了しました。 (the completion message)'
list_key='HKCU\Software\DEMOSOFT\星空の図書館'
not_installed='(the run stopped: the game'"'"'s key holds no GAMEPATH'
row clean     0 "failure boxes: 0|copied: 5 file(s): 3 new, 2 replaced, 0 unchanged|$completed|key: taken from the list itself ($list_key)"
row key_from_reg 0 "registered under the installer's key HKCU\Software\DemoSoft\星空の図書館|$completed"
row wrong_key 1 "wrong key: the list names $list_key, the game's installer writes HKCU\Software\DEMOSOFT\星空の図書舘|$not_installed|update-check found problems"
row unicode_list 1 "copied: 3 file(s)|update-check found problems"
row signed    0 "failure boxes: 0|copied: 5 file(s): 3 new, 2 replaced, 0 unchanged|$completed"
row read_only 1 "failure boxes: 1|1. readme.txt: read-only game file|$completed|    replaced   game.exe"
row faults    1 "failure boxes: 3|1. bgm.dat: missing source on the disc|2. おまけ\\壁紙\\1.bmp: missing folder level: the game has no folder \"おまけ\"|3. ..\\evil.dat: name refused as unsafe|install type \"[ボーナス]\" not found|TEST: not list type|$completed"
row foreign_folders 0 "José\\作業\\disc|failure boxes: 0|copied: 5 file(s): 3 new, 2 replaced, 0 unchanged|$completed"
row no_exe    2 "no update.exe in"
row exe_not_a_program 2 "update-exe|is not a Windows program|no program to run"
row no_game   2 "no such game folder"
row outside_link 2 "leads outside it (to /etc)"
row no_wine   2 "could not load kernel32.dll|Wine cannot start update-try.exe"
put_back='registry: HKCU\Software\DEMOSOFT\星空の図書館\GAMEPATH put back: '
stopped='interrupted: the registry is as it was before the run|try-disc: interrupted'
mended='an earlier run of update-try was ended before it could put things back|the copy of the game '
row journal_string_run 0 "$put_back\"C:\real\" (REG_SZ, 16 bytes)|$completed"
row journal_string_ctrl_c 130 "$stopped"
row journal_string_kill 0 "$mended|$put_back\"C:\real\" (REG_SZ, 16 bytes)|$completed"
row journal_type_run 0 "$put_back\"C:\José\" (REG_EXPAND_SZ, 16 bytes)|$completed"
row journal_type_ctrl_c 130 "$stopped"
row journal_type_kill 0 "$mended|$completed"
row journal_absent_run 0 "${put_back}no value|$completed"
row journal_absent_ctrl_c 130 "$stopped"
row journal_absent_kill 0 "$mended|$completed"
echo "no row named $ONLY" >&2
exit 2
