#!/usr/bin/env bash
# Runs scripts/package on publisher folders made here, one table row per case: what it puts on the
# disc (exactly which files, with identical bytes), what it refuses, and what it reports.
#
# usage: package_test.sh PACKAGE_SCRIPT UPDATE_CHECK [CASE]
# Without CASE every row runs. update.exe is a stand-in made here, passed with --exe.
set -euo pipefail

[ $# -ge 2 ] || { echo "usage: $0 PACKAGE_SCRIPT UPDATE_CHECK [CASE]" >&2; exit 2; }
readonly PACKAGE="$1" CHECK="$2" ONLY="${3:-}"

scratch="$(mktemp -d "${TMPDIR:-/tmp}/package-test.XXXXXX")"
trap 'rm -rf -- "$scratch"' EXIT
readonly FAKE_EXE="$scratch/update.exe"
printf 'MZ\x90\x00stand-in for update.exe\n' >"$FAKE_EXE"

failures=0
ran=0

# ---------------------------------------------------------------------------------------------
# Publisher folders. Each maker fills the folder $1 and sets EXPECT to the data files (paths
# below the folder, UTF-8) that a plain run puts on the disc.

EXPECT=()

# The lines given, as code page 932 with CR LF line ends, the way publishers save the list.
write_list() {
  local dir="$1"
  shift
  mkdir -p "$dir"
  printf '%s\r\n' "$@" | iconv -f UTF-8 -t CP932 >"$dir/update.ini"
}

# Files with distinct contents, so that a file copied to the wrong place shows.
put() {
  local dir="$1" rel
  shift
  for rel in "$@"; do
    mkdir -p "$(dirname "$dir/$rel")"
    printf 'contents of %s\n' "$rel" >"$dir/$rel"
  done
}

# Two types, a subfolder two levels deep, a Japanese name whose second byte is a backslash (ソ is
# 83 5C), a file listed twice, comments, a file under a type with a remark, and a readme beside
# the list that is not part of the data.
make_clean() {
  write_list "$1" \
    '# 星のかけら２ 修正ディスク' \
    '#TITLE "星のかけら２"' \
    '#TITLE_OLD "星のかけら２"' \
    '#PATH GAME' \
    '#REG_P Software' \
    '#REG_S Hoshizora' \
    '#REG_T HOSHI2' \
    '#INSTALL_LST' \
    '[標準] 通常のインストール' \
    '[フル]' \
    '##' \
    '#FILE' \
    '[標準]' \
    'hoshi2.exe' \
    'data\map01.dat' \
    'data\ソフト.txt' \
    '# the voice files come with the full install only' \
    '[フル]' \
    'voice\ch1\v001.ogg' \
    'data\map01.dat'
  put "$1" GAME/hoshi2.exe GAME/data/map01.dat GAME/data/ソフト.txt GAME/voice/ch1/v001.ogg readme.txt
  EXPECT=(GAME/hoshi2.exe GAME/data/map01.dat GAME/data/ソフト.txt GAME/voice/ch1/v001.ogg)
}

make_unlisted() {
  make_clean "$1"
  put "$1" GAME/data/old.bak GAME/Thumbs.db
}

make_missing_source() {
  make_clean "$1"
  rm "$1/GAME/data/ソフト.txt"
}

make_unsafe_name() {
  make_clean "$1"
  printf '..\\evil.dat\r\n' >>"$1/update.ini"
  put "$1" evil.dat
}

make_long_name() {
  make_clean "$1"
  printf 'data\\abcdefghijklmnopqrstuvwxyz0.dat\r\n' >>"$1/update.ini"  # 32 bytes
  put "$1" GAME/data/abcdefghijklmnopqrstuvwxyz0.dat
}

make_too_many_types() {
  local types=() i
  for i in $(seq 1 33); do types+=("[T$i]"); done
  write_list "$1" '#INSTALL_LST' "${types[@]}" '#FILE' '[T1]' 'a.dat'
  put "$1" GAME/a.dat
}

# A ninth type and a file under no type: both deliberately left for the install kit.
make_never_copied() {
  write_list "$1" '#INSTALL_LST' '[1]' '[2]' '[3]' '[4]' '[5]' '[6]' '[7]' '[8]' '[9]' \
    '#FILE' '[1]' 'hoshi2.exe' '[9]' 'extra\bonus.dat' '[]' 'manual.txt'
  put "$1" GAME/hoshi2.exe GAME/extra/bonus.dat GAME/manual.txt
  EXPECT=(GAME/hoshi2.exe)
}

make_never_copied_and_missing() {
  make_never_copied "$1"
  rm "$1/GAME/hoshi2.exe"
}

make_unknown_type() {
  make_clean "$1"
  printf '[ボーナス]\r\nbonus.dat\r\n' | iconv -f UTF-8 -t CP932 >>"$1/update.ini"
  put "$1" GAME/bonus.dat
}

make_bad_byte() {
  make_clean "$1"
  printf '#TITLE_OLD \xff\xfe\r\n' >>"$1/update.ini"
}

make_long_line() {
  make_clean "$1"
  { printf '# '; head -c 600 /dev/zero | tr '\0' x; printf '\r\n'; } >"$1/list.tmp"
  cat "$1/update.ini" >>"$1/list.tmp"
  mv "$1/list.tmp" "$1/update.ini"
}

make_no_list() {
  put "$1" GAME/a.dat
}

make_case_clash() {
  write_list "$1" '#INSTALL_LST' '[A]' '#FILE' '[A]' 'Data.dat' 'data.dat'
  put "$1" GAME/Data.dat GAME/data.dat
}

make_path_outside() {
  write_list "$1" '#PATH ..\GAME' '#INSTALL_LST' '[A]' '#FILE' '[A]' 'a.dat'
  put "$1" a.dat
  put "$1/.." GAME/a.dat
}

# No data folder of its own: PATH is empty, the files sit beside the list.
make_empty_path() {
  write_list "$1" '#PATH' '#INSTALL_LST' '[A]' '#FILE' '[A]' 'a.dat' 'sub\b.dat'
  put "$1" a.dat sub/b.dat
  EXPECT=(a.dat sub/b.dat)
}

# Saved with CR-only line ends: the whole list is one comment line, and nothing is copied.
make_cr_only() {
  make_clean "$1"
  tr -d '\n' <"$1/update.ini" >"$1/list.tmp"
  mv "$1/list.tmp" "$1/update.ini"
  EXPECT=()
}

# ---------------------------------------------------------------------------------------------
# Checks of the disc folder

fail() {
  echo "    FAIL: $*"
  failures=$((failures + 1))
  case_failed=1
}

# OUTPUT_DIR holds update.exe, update.ini and exactly the data files given, each with the bytes
# of its source.
expect_disc() {
  local src="$1" out="$2"
  shift 2
  local want got rel
  [ -d "$out" ] || { fail "no OUTPUT_DIR"; return; }
  want="$(printf '%s\n' update.exe update.ini "$@" | sort)"
  got="$(cd "$out" && find . -type f -printf '%P\n' | sort)"
  [ "$got" = "$want" ] || fail "disc files differ"$'\n'"      want: ${want//$'\n'/ }"$'\n'"      got:  ${got//$'\n'/ }"
  cmp -s "$FAKE_EXE" "$out/update.exe" || fail "update.exe is not the one given with --exe"
  cmp -s "$src/update.ini" "$out/update.ini" || fail "update.ini is not byte for byte the source's"
  for rel in "$@"; do
    [ -f "$out/$rel" ] || continue
    cmp -s "$src/$rel" "$out/$rel" || fail "$rel differs from its source"
  done
}

# ---------------------------------------------------------------------------------------------
# The table

# row NAME MAKER STATUS OUTPUT MESSAGE [OPTIONS...]
#   OUTPUT: disc    the maker's EXPECT files, and those given as +PATH among the options
#           absent  OUTPUT_DIR is not there afterwards
#           empty   OUTPUT_DIR existed empty and stays empty
#           kept    OUTPUT_DIR held one file and holds only it afterwards
#   MESSAGE: texts the run must print (on either stream), separated by "|"
#   OPTIONS: passed before the two folders, except "+PATH" (see OUTPUT), "@empty-out",
#            "@full-out" and "@out-inside" (the output folder made empty, holding a file, or
#            inside the publisher's folder) and "@no-exe" (--exe names a file that is no program)
row() {
  local name="$1" maker="$2" status="$3" output="$4" message="$5"
  shift 5
  [ -z "$ONLY" ] || [ "$ONLY" = "$name" ] || return 0
  ran=$((ran + 1))
  case_failed=0
  echo "--- $name"

  local dir="$scratch/$name" src out log got=0
  src="$dir/publisher"
  out="$dir/disc"
  mkdir -p "$src"
  EXPECT=()
  "make_$maker" "$src"

  local options=(--check "$CHECK" --exe "$FAKE_EXE") extra=() opt
  for opt in "$@"; do
    case "$opt" in
      +*) extra+=("${opt#+}") ;;
      @empty-out) mkdir -p "$out" ;;
      @full-out) mkdir -p "$out" && echo keep >"$out/keep.txt" ;;
      @out-inside) out="$src/GAME/disc" ;;
      @no-exe) options=(--check "$CHECK" --exe "$src/update.ini") ;;
      *) options+=("$opt") ;;
    esac
  done

  log="$dir/log"
  "$PACKAGE" "${options[@]}" "$src" "$out" >"$log" 2>&1 || got=$?
  [ "$got" -eq "$status" ] || fail "exit status $got, want $status"
  local texts text
  IFS='|' read -r -a texts <<<"$message"
  for text in "${texts[@]}"; do
    grep -qF -- "$text" "$log" || fail "no \"$text\" in the output"
  done
  # A refusal comes before the copy, not from a disc that failed its check afterwards.
  if [ "$status" -ne 0 ] && grep -q '^Packaged into' "$log"; then
    fail "refused only after copying"
  fi

  case "$output" in
    disc) expect_disc "$src" "$out" "${EXPECT[@]}" "${extra[@]}" ;;
    absent) [ ! -e "$out" ] || fail "OUTPUT_DIR was made: $(find "$out" | head -5 | tr '\n' ' ')" ;;
    empty) [ -z "$(find "$out" -mindepth 1)" ] || fail "OUTPUT_DIR is not empty any more" ;;
    kept) [ "$(find "$out" -mindepth 1)" = "$out/keep.txt" ] || fail "OUTPUT_DIR changed" ;;
  esac
  if [ "$case_failed" -ne 0 ]; then
    sed 's/^/      | /' "$log"
  fi
}

# Packaged.
row clean                clean          0 disc   "update-check on"
row existing_empty_out   clean          0 disc   "no problems." @empty-out
row empty_path           empty_path     0 disc   "no problems."
row unlisted_left_out    unlisted       0 disc   "GAME/data/old.bak"
row unlisted_all_data    unlisted       0 disc   "Copied with --all-data" --all-data \
  +GAME/Thumbs.db +GAME/data/old.bak
row never_copied_forced  never_copied   0 disc   "GAME/extra/bonus.dat" --force
row copies_nothing       cr_only        0 disc   "the list copies no files"

# Refused: the list has problems. "What to do:" heads the advice that only a refused list gets.
row missing_source       missing_source 1 absent "What to do:|missing-source"
row missing_source_force missing_source 1 absent "What to do:|missing-source" --force
row unsafe_name          unsafe_name    1 absent "What to do:|unsafe-name" --force
row long_name            long_name      1 absent "What to do:|the limit is 31" --force
row too_many_types       too_many_types 1 absent "What to do:|over the limit of 32 types" --force
row unknown_type         unknown_type   1 absent "What to do:|unknown-type" --force
row bad_byte             bad_byte       1 absent "What to do:|encoding" --force
row long_line            long_line      1 absent "What to do:|line-split" --force
row never_copied         never_copied   1 absent "What to do:|--force"
row never_copied_missing never_copied_and_missing 1 absent "What to do:|missing-source" --force
row problems_empty_out   missing_source 1 empty  "What to do:|missing-source" @empty-out

# Refused: the disc would not work, or the folders are wrong.
row case_clash           case_clash     1 absent "would be the same file on the disc"
row path_outside         path_outside   1 absent "leads out of SOURCE_DIR"
row full_out             clean          1 kept   "is not empty" @full-out
row out_inside_source    clean          1 absent "inside SOURCE_DIR" @out-inside
row exe_not_windows      clean          1 absent "not a Windows program" @no-exe
row no_list              no_list        2 absent "cannot open"

if [ "$ran" -eq 0 ]; then
  echo "no case named $ONLY" >&2
  exit 2
fi
echo "$ran case(s), $failures failure(s)"
[ "$failures" -eq 0 ]
