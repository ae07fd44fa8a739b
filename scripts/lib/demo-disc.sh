# shellcheck shell=bash
# The demo's update disc and the installed demo game it updates, laid out afresh: used by
# scripts/demo and by the tests of scripts/try-disc. Needs iconv.

DEMO_TITLE=星空の図書館
# shellcheck disable=SC2034  # read by the scripts that source this
DEMO_KEY="HKCU\\Software\\DEMOSOFT\\$DEMO_TITLE"

# write_cp932 FILE: stdin, UTF-8 with LF, becomes code page 932 with CR LF.
write_cp932() {
  sed 's/$/\r/' | iconv -f UTF-8 -t CP932 >"$1"
}

# demo_disc DIR [UPDATE.EXE]: update.ini and its data folder データ (two types, a new folder),
# and the updater beside them when one is given.
demo_disc() {
  local m=$1
  rm -rf "$m"
  mkdir -p "$m/データ/シナリオ"
  write_cp932 "$m/update.ini" <<EOF
#TITLE "$DEMO_TITLE"
#TITLE_OLD "$DEMO_TITLE"
#PATH データ
#REG_S DEMOSOFT
#REG_T $DEMO_TITLE
#INSTALL_LST
[標準]
[追加]
#FILE
[標準]
game.exe
readme.txt
[追加]
bgm.dat
シナリオ\\第1章.txt
EOF
  printf 'new game program, version 1.1\n' >"$m/データ/game.exe"
  printf 'ゲームの説明書 (version 1.1)\n' | write_cp932 "$m/データ/readme.txt"
  head -c 40000 /dev/zero | tr '\0' 'm' >"$m/データ/bgm.dat"
  printf '第1章：新しい物語\n' | write_cp932 "$m/データ/シナリオ/第1章.txt"
  if [ -n "${2:-}" ]; then cp "$2" "$m/update.exe"; fi
}

# demo_game DIR: the installed game as a player's machine has it: an old game.exe and readme.txt
# that the update replaces, and a save file it leaves alone.
demo_game() {
  local g=$1
  rm -rf "$g"
  mkdir -p "$g"
  printf 'old game program, version 1.0\n' >"$g/game.exe"
  printf 'ゲームの説明書 (version 1.0)\n' | write_cp932 "$g/readme.txt"
  printf 'the player'"'"'s save\n' >"$g/save.dat"
}
