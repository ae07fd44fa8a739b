# shellcheck shell=bash
# The demo game in two versions, the update disc that update-make makes from them, and the
# installed game it updates, laid out afresh: used by scripts/demo and by the tests of
# scripts/try-disc. Needs iconv, and update-make (UPDATE_MAKE, default build/linux/update-make).

DEMO_TITLE=星空の図書館
# shellcheck disable=SC2034  # read by the scripts that source this
DEMO_KEY="HKCU\\Software\\DEMOSOFT\\$DEMO_TITLE"

# write_cp932 FILE: stdin, UTF-8 with LF, becomes code page 932 with CR LF.
write_cp932() {
  sed 's/$/\r/' | iconv -f UTF-8 -t CP932 >"$1"
}

# demo_versions DIR: the game as players have it (DIR/old, version 1.0) and its new version
# (DIR/new, 1.1): a changed program and readme, an unchanged settings file, a manual the new
# version dropped, and new files: music, and a scenario in a new folder with its illustrations
# a folder further down (表紙 and ソ end in the byte 0x5C).
demo_versions() {
  local old=$1/old new=$1/new
  rm -rf "$old" "$new"
  mkdir -p "$old" "$new/シナリオ/表紙"
  printf 'old game program, version 1.0\n' >"$old/game.exe"
  printf 'ゲームの説明書 (version 1.0)\n' | write_cp932 "$old/readme.txt"
  printf '[画面]\nフルスクリーン=1\n' | write_cp932 "$old/設定.ini"
  printf 'the printed manual, version 1.0\n' >"$old/manual.txt"
  printf 'new game program, version 1.1\n' >"$new/game.exe"
  printf 'ゲームの説明書 (version 1.1)\n' | write_cp932 "$new/readme.txt"
  cp "$old/設定.ini" "$new/"
  head -c 40000 /dev/zero | tr '\0' 'm' >"$new/bgm.dat"
  printf '第1章：新しい物語\n' | write_cp932 "$new/シナリオ/第1章.txt"
  printf 'ソフトの表紙\n' | write_cp932 "$new/シナリオ/表紙/ソフト.txt"
}

# demo_disc DIR VERSIONS UPDATE.EXE: the update disc, made by update-make from VERSIONS (laid
# out by demo_versions), with UPDATE.EXE at its top. update-make's summary goes to stdout.
demo_disc() {
  rm -rf "$1"
  "${UPDATE_MAKE:-build/linux/update-make}" --title "$DEMO_TITLE" --reg-s DEMOSOFT \
    --reg-t "$DEMO_TITLE" --path データ --exe "$3" "$2/old" "$2/new" "$1"
}

# demo_game DIR VERSIONS: the installed game as a player's machine has it: the old version and
# a save file that the update leaves alone.
demo_game() {
  rm -rf "$1"
  cp -R "$2/old" "$1"
  printf 'the player'"'"'s save\n' >"$1/save.dat"
}
