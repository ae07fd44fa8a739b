#!/usr/bin/env bash
# Runs update-make on game folders made here, one table row per case: the update folder it makes
# (update.ini byte for byte, exactly the data files, the summary), its disc image read back, and
# what it refuses, naming every offender and leaving no half-made folder behind.
#
# usage: make_test.sh UPDATE_MAKE PACKAGE_SCRIPT [CASE]
# Without CASE every row runs. update.exe is a stand-in made here, passed with --exe. With
# MAKE_TEST_OWNER set, each row's folders are given to that user (the Windows build runs as it).
set -euo pipefail
# The progress line from the first tick of any work: a fast disk makes every row short, and the
# rows redirected must show none all the same.
export UPDATE_MAKE_PROGRESS_AFTER_MS=0

[ $# -ge 2 ] || { echo "usage: $0 UPDATE_MAKE PACKAGE_SCRIPT [CASE]" >&2; exit 2; }
# Absolute: a row may run the program from another folder.
readonly MAKE="$(realpath "$1")" PACKAGE="$(realpath "$2")" ONLY="${3:-}"

scratch="$(mktemp -d "${TMPDIR:-/tmp}/make-test.XXXXXX")"
trap 'chmod -R u+w "$scratch"; rm -rf -- "$scratch"' EXIT
readonly FAKE_EXE="$scratch/update.exe"
# The headers of a 64-bit Windows program (MZ, PE, an executable's file header, an optional header
# with its 16 data directories) and nothing to run: what the tools check update.exe for.
{
  printf 'MZ' && head -c 58 /dev/zero && printf '\x40\0\0\0'
  printf 'PE\0\0\x64\x86' && head -c 14 /dev/zero && printf '\xf0\0\x22\0'
  printf '\x0b\x02' && head -c 106 /dev/zero && printf '\x10\0\0\0' && head -c 128 /dev/zero
  printf 'stand-in for update.exe\n'
} >"$FAKE_EXE"

failures=0
ran=0

# ---------------------------------------------------------------------------------------------
# Game folders. Each maker fills $1/old and $1/new, and sets OPTS (the options of a plain run),
# DATA (the data folder), FILES (the data files a plain run puts on the disc, in list order) and
# LIST (the lines of update.ini, UTF-8).

# Files with distinct contents, so that a file copied to the wrong place shows.
put() {
  local dir="$1" rel
  shift
  for rel in "$@"; do
    mkdir -p "$(dirname "$dir/$rel")"
    printf 'contents of %s\n' "$rel" >"$dir/$rel"
  done
}

readonly DEMO_RECORD=('#TITLE "星空の図書館"' '#TITLE_OLD "星空の図書館"' '#PATH "データ"'
  '#REG_P "Software"' '#REG_S "DEMOSOFT"' '#REG_T "星空の図書館"')

# The demo's game: a changed program and readme, an unchanged save, a removed manual, and new
# files in a new folder and in a folder inside it. 表 and ソ end in the byte 0x5C; 話.txt sorts
# after the folder 表, yet must come first: it makes シナリオ, which 表 needs.
make_demo() {
  put "$1/old" game.exe readme.txt save.dat manual.txt
  mkdir -p "$1/new"
  cp "$1/old/save.dat" "$1/new/"
  put "$1/new" bgm.dat シナリオ/話.txt シナリオ/表/ソフト.txt
  printf 'new game program 1.1\n' >"$1/new/game.exe"
  printf 'ゲームの説明書 1.1\n' >"$1/new/readme.txt"
  OPTS=(--title 星空の図書館 --reg-s DEMOSOFT --reg-t 星空の図書館 --path データ --type 標準 --type 追加)
  DATA=データ
  FILES=(bgm.dat game.exe readme.txt シナリオ/話.txt シナリオ/表/ソフト.txt)
  LIST=("${DEMO_RECORD[@]}" '#INSTALL_LST' '[標準]' '[追加]' '#FILE' '[標準]' bgm.dat game.exe
    readme.txt 'シナリオ\話.txt' 'シナリオ\表\ソフト.txt')
}

# The same from the earlier disc's list: its record and types stay, its files keep their types,
# and a file it had under a type the updater doesn't copy (the ninth) goes under the first.
make_from_list() {
  make_demo "$1"
  printf '%s\r\n' '#TITLE "星空の図書館"' '#TITLE_OLD "星空の図書館"' '#PATH データ' '#REG_S DEMOSOFT' \
    '#REG_T 星空の図書館' '#INSTALL_LST' '[標準]' '[追加]' '[3]' '[4]' '[5]' '[6]' '[7]' '[8]' '[9]' \
    '#FILE' '[標準]' game.exe readme.txt '[追加]' BGM.DAT 'シナリオ\話.txt' '[9]' 'シナリオ\表\ソフト.txt' |
    iconv -f UTF-8 -t CP932 >"$1/earlier.ini"
  OPTS=(--from "$1/earlier.ini" --title-old 星空の図書館・旧版)
  LIST=('#TITLE "星空の図書館"' '#TITLE_OLD "星空の図書館・旧版"' "${DEMO_RECORD[@]:2}" '#INSTALL_LST'
    '[標準]' '[追加]' '[3]' '[4]' '[5]' '[6]' '[7]' '[8]' '[9]' '#FILE' '[追加]' bgm.dat '[標準]' game.exe
    readme.txt '[追加]' 'シナリオ\話.txt' '[標準]' 'シナリオ\表\ソフト.txt')
}

# No data folder: the files sit beside update.ini.
make_empty_path() {
  make_demo "$1"
  OPTS+=(--path '')
  DATA=
  LIST=("${LIST[@]/#'#PATH "データ"'/'#PATH ""'}")
}

# The hostile makers add offenders to the demo.
make_long_name() {
  make_demo "$1"
  put "$1/new" とても長い名前のファイルです.txt  # 32 bytes in code page 932
}
make_not_cp932() {
  make_demo "$1"
  put "$1/new" café.txt 波〜.txt ¥100.txt −1.txt  # 〜 (U+301C), ¥ and − (U+2212) convert one way only
}
make_many_files() {
  make_demo "$1"
  local i
  for i in $(seq -w 1 300); do put "$1/new" "many/f$i.dat"; done
}
make_small_files() {
  make_demo "$1"
  local i
  for i in $(seq -w 1 100); do put "$1/new" "small/f$i.dat"; done
}
make_read_only() {
  make_small_files "$1"
  chmod 444 "$1/new/bgm.dat" "$1/new/game.exe"  # copied as they are, read-only
}
make_two_levels() {
  make_demo "$1"
  put "$1/new" 追加/深い/a.txt
}
make_unsafe_names() {
  make_demo "$1"
  put "$1/new" CON.txt data/nul.dat '[x].txt' '#memo.txt' 'a:b.txt'
}
make_case_clash() {
  make_demo "$1"
  put "$1/new" Data.dat data.dat
}
make_case_clash_wide() {
  make_demo "$1"
  put "$1/new" ｄａｔａ.dat ＤＡＴＡ.dat ΔＩＲ/a.txt δｉｒ  # full-width and Greek letters fold too
}
make_old_clash() {
  make_demo "$1"
  put "$1/old" voice
  put "$1/new" voice/v001.ogg
}
make_old_clash_wide() {
  make_demo "$1"
  put "$1/old" ｖｏｉｃｅ Ⅱ/a.txt
  put "$1/new" ＶＯＩＣＥ/v001.ogg ⅱ
}
make_list_clash() {
  make_empty_path "$1"
  put "$1/new" update.ini
}
make_offenders() {
  make_long_name "$1"
  put "$1/new" CON.txt 追加/深い/a.txt
}
# OLD and NEW given the wrong way round: every changed file of "NEW" is older than OLD's.
make_swapped() {
  make_demo "$1"
  find "$1/old" -type f -exec touch -d 2026-01-01 {} +
  find "$1/new" -type f -exec touch -d 2026-02-01 {} +
  mv "$1/old" "$1/newer" && mv "$1/new" "$1/old" && mv "$1/newer" "$1/new"
  FILES=(game.exe manual.txt readme.txt)
  LIST=("${DEMO_RECORD[@]}" '#INSTALL_LST' '[標準]' '[追加]' '#FILE' '[標準]' game.exe manual.txt readme.txt)
}
# A title that makes a volume name: full-width letters, a blank and a dash.
make_latin_title() {
  make_demo "$1"
  OPTS=(--title 'Ｓｔａｒ lib-2' "${OPTS[@]:2}")
  LIST=('#TITLE "Ｓｔａｒ lib-2"' '#TITLE_OLD "Ｓｔａｒ lib-2"' "${LIST[@]:2}")
}
# NEW shares assets through links, as build farms do: a copy follows them (cp -L).
make_links() {
  make_demo "$1"
  put "$1/assets" voice/a.ogg voice/b.ogg e.dat
  ln -s ../assets/voice "$1/new/voice"
  ln -s ../assets/e.dat "$1/new/extra.dat"
  mkdir -p "$1/old-voice" && echo old >"$1/old-voice/a.ogg"
  ln -s ../old-voice "$1/old/voice"  # OLD reaches its files through a link too
  FILES=(bgm.dat extra.dat game.exe readme.txt voice/a.ogg voice/b.ogg シナリオ/話.txt シナリオ/表/ソフト.txt)
  LIST=("${DEMO_RECORD[@]}" '#INSTALL_LST' '[標準]' '[追加]' '#FILE' '[標準]' bgm.dat extra.dat game.exe
    readme.txt 'voice\a.ogg' 'voice\b.ogg' 'シナリオ\話.txt' 'シナリオ\表\ソフト.txt')
}
make_link_loop() {
  make_demo "$1"
  ln -s .. "$1/new/シナリオ/戻る"
}
# Entries that are neither files nor folders: refused in NEW, named when only OLD has them.
make_others_in_new() {
  make_demo "$1"
  mkfifo "$1/new/pipe"
  ln -s nowhere "$1/new/dangling.dat"
  mkfifo "$1/old/clash" && put "$1/new" clash
}
make_others_in_old() {
  make_demo "$1"
  mkfifo "$1/old/old-pipe"
}
# Kana with a separate voicing mark (NFD) go on the disc composed: が, not か and U+3099.
make_decomposed() {
  make_demo "$1"
  put "$1/new" "$(printf 'シナリオ/\xe3\x81\x8b\xe3\x82\x99.txt')"
}
# The same kana stored decomposed in OLD and changed in NEW: one game file, which the disc replaces.
make_decomposed_old() {
  make_demo "$1"
  local name
  name="$(printf 'シナリオ/\xe3\x81\x8b\xe3\x82\x99.txt')"
  put "$1/old" "$name"
  put "$1/new" "$name" && echo 1.1 >>"$1/new/$name"
}
# OLD as a copy of the previous disc holds it: read-only, as a disc's files are. Players' games
# need not be, so the disc is made, and the summary names them.
make_read_only_old() {
  make_demo "$1"
  chmod 444 "$1/old/game.exe" "$1/old/readme.txt"
}
# On Linux a name that starts with a dot is hidden only to Wine; Windows shows it like any other.
make_dot_name_old() {
  make_demo "$1"
  put "$1/old" config/.cfg
  put "$1/new" config/.cfg && echo 1.1 >>"$1/new/config/.cfg"
}
# The same name twice: composed, and with a separate voicing mark.
make_merged_names() {
  make_demo "$1"
  put "$1/new" "$(printf 'シナリオ/\xe3\x81\x8c.txt')" "$(printf 'シナリオ/\xe3\x81\x8b\xe3\x82\x99.txt')"
}
make_control_name() {
  make_demo "$1"
  put "$1/new" "$(printf 'bad\x1b[31mred.txt')"
}
make_old_control_name() {
  make_demo "$1"
  put "$1/old" "$(printf 'old\x07bell/x.dat')"
}
# A game archive of 2 GB, new in this version: written out, as a sparse one is copied in no time.
make_big() {
  make_demo "$1"
  head -c 2G /dev/zero >"$1/new/big.dat"
  FILES+=(big.dat)
}
# NEW as the publisher's own installed and played copy: saves, and settings the game rewrote
# after it was installed (the game's files keep their build's time, as installers keep it).
make_played() {
  make_demo "$1"
  put "$1/old" config.ini
  put "$1/new" config.ini save/data01.sav save/system.sav && echo 'volume=3' >>"$1/new/config.ini"
  find "$1/old" -type f -exec touch -d 2026-01-01 {} +
  find "$1/new" -type f -exec touch -d 2026-02-01 {} +
  touch -d 2026-02-03 "$1/new/config.ini" "$1/new/save/data01.sav" "$1/new/save/system.sav"
}
# The same settings changed by the game's developer with the rest of the version: the game's own.
make_settings_changed() {
  make_played "$1"
  rm -r "$1/new/save"
  touch -d 2026-02-01 "$1/new/config.ini"
}
# OLD as the files of the previous update disc: one file of the game.
make_partial_old() {
  make_demo "$1"
  rm "$1/old/readme.txt" "$1/old/save.dat" "$1/old/manual.txt"
}
# A disc of 5.2 GB: two archives (sparse: they take no room here).
make_big_disc() {
  make_demo "$1"
  truncate -s 2600000000 "$1/new/a.dat" "$1/new/b.dat"
}
# An archive of 4 GiB and one byte, which an image holds in two extents.
make_big_file() {
  make_demo "$1"
  truncate -s 4294967297 "$1/new/big.dat"
}
make_unchanged() {
  put "$1/old" game.exe sub/a.dat
  cp -r "$1/old" "$1/new"
  OPTS=(--title T --reg-s S --reg-t T)
}

# ---------------------------------------------------------------------------------------------
# Checks

fail() {
  echo "    FAIL: $*"
  failures=$((failures + 1))
  case_failed=1
}

# OUT holds update.exe, update.ini as LIST says, and exactly the FILES of NEW, byte for byte.
expect_disc() {
  local new="$1" out="$2" data="${DATA:+$DATA/}" want got rel
  [ -d "$out" ] || { fail "no OUT"; return; }
  want="$( (printf '%s\n' update.exe update.ini; printf "$data%s\n" "${FILES[@]}") | sort)"
  got="$(cd "$out" && find . -type f -printf '%P\n' | sort)"
  [ "$got" = "$want" ] || fail "disc files differ"$'\n'"      want: ${want//$'\n'/ }"$'\n'"      got:  ${got//$'\n'/ }"
  cmp -s "$FAKE_EXE" "$out/update.exe" || fail "update.exe is not the one given with --exe"
  for rel in "${FILES[@]}"; do
    [ -f "$out/$data$rel" ] && { cmp -s "$new/$rel" "$out/$data$rel" || fail "$rel differs from NEW's"; }
  done
  cmp -s <(printf '%s\r\n' "${LIST[@]}" | iconv -f UTF-8 -t CP932) "$out/update.ini" ||
    fail "update.ini differs:"$'\n'"$(diff <(printf '%s\n' "${LIST[@]}") <(iconv -f CP932 -t UTF-8 "$out/update.ini" | tr -d '\r'))"
}

# The image read back: its Joliet names (what Windows shows) are OUT's, and its files OUT's bytes.
expect_iso() {
  local iso="$1" out="$2" names want
  [ -f "$iso" ] || { fail "no image"; return; }
  names="$(xorriso -local_charset UTF-8 -read_fs norock -indev "$iso" -find / -type f 2>/dev/null |
    sed "s/^'\\/\\(.*\\)'$/\\1/" | sort)"
  want="$(cd "$out" && find . -type f -printf '%P\n' | sort)"
  [ "$names" = "$want" ] || fail "Joliet names differ: ${names//$'\n'/ }"
  xorriso -local_charset UTF-8 -read_fs norock -osirrox on -indev "$iso" -extract / "$iso.x" \
    >/dev/null 2>&1 || fail "xorriso can't extract the image"
  diff -r "$out" "$iso.x" >/dev/null || fail "the image's files differ from OUT's"
  local volume
  volume="$(xorriso -indev "$iso" -pvd_info 2>/dev/null | sed -n 's/^Volume Id *: //p')"
  grep -qF "volume $volume" "$log" || fail "the image's volume is $volume, not the summary's"
}

# ---------------------------------------------------------------------------------------------
# The table

# row NAME MAKER STATUS OUTPUT MESSAGE [OPTIONS...]
#   OUTPUT: disc    the maker's FILES and LIST
#           made    OUT is there (what it holds is left to MESSAGE and update-check)
#           absent  OUT is not there afterwards
#           kept    OUT held one file and holds only it afterwards
#   MESSAGE: texts the run must print (on either stream), separated by "|"
#   OPTIONS: passed before the three folders, after the maker's OPTS, except: "@json=FILTER" (run
#            with --json; the jq FILTER must hold), "@iso" (--iso, the image read back), "@front"
#            (through scripts/package, told to run this update-make), "@no-opts" (without the maker's OPTS), "@full-out",
#            "@empty-out", "@out-in-new", "@new-in-old", "@not-exe" (--exe names a file that is no program),
#            "@iso-exists" and "@xorriso-fails" (a stand-in xorriso that fails), "@xorriso-stub"
#            (--iso with a stand-in xorriso that writes a small image, not read back), "@room" (the room
#            figure equals what update-check --against OLD reckons for OUT), "@stale" (an earlier
#            run's temporary is beside OUT), "@signal=SIG" (SIG sent while a stand-in xorriso runs),
#            "@growing=REL" (NEW's file REL keeps growing during the run), "@signal-copy=SIG" (SIG
#            sent while NEW's big.dat is being copied: the run must end within half a second),
#            "@out-here" (OUT given as ".", the current folder, made empty), "@out-empty" (OUT
#            given as ""), "@no-xorriso" (no xorriso on the PATH), "@under=DIR" (OLD, NEW and OUT
#            in the folder DIR), "@notes=KIND" (update-check --against OLD of OUT, by the same
#            build, notes KIND), "@terminal" (standard output and error on a terminal, a pty of
#            script(1); the log then holds both)
#   OUTPUT also: empty (OUT is an empty folder afterwards)
row() {
  local name="$1" maker="$2" status="$3" output="$4" message="$5"
  shift 5
  [ -z "$ONLY" ] || [ "$ONLY" = "$name" ] || return 0
  ran=$((ran + 1))
  case_failed=0
  echo "--- $name"

  local dir="$scratch/$name" new="$scratch/$name/new" out log got=0 room="" signal="" growing="" program="$MAKE" exe="$FAKE_EXE" iso="" iso_was="" filter=""
  local old="$dir/old" out_arg here="$dir" path_dirs="$dir/bin:$PATH" copy_signal="" notes="" terminal="" stub=""
  out="$dir/disc"
  mkdir -p "$dir"
  OPTS=() DATA="" FILES=() LIST=()
  "make_$maker" "$dir"
  if [ -n "${MAKE_TEST_OWNER:-}" ] && [ "$(id -u)" = 0 ]; then chmod 755 "$scratch" && chown -R "$MAKE_TEST_OWNER:" "$dir"; fi
  local options=("${OPTS[@]}") opt
  for opt in "$@"; do
    case "$opt" in
      @json=*) filter="${opt#@json=}" && options+=(--json) ;;
      @iso) iso="$dir/disc.iso" ;;
      @iso-exists) iso="$dir/disc.iso" iso_was=old && echo old >"$iso" ;;
      @xorriso-stub)
        iso="$dir/disc.iso" stub=1
        mkdir -p "$dir/bin"
        printf '#!/bin/sh\nfor a; do case "$a" in stdio:*) echo image >"${a#stdio:}" ;; esac; done\n' >"$dir/bin/xorriso"
        chmod +x "$dir/bin/xorriso"
        ;;
      @xorriso-fails)
        iso="$dir/disc.iso"
        mkdir -p "$dir/bin" && printf '#!/bin/sh\necho "write error" >&2\nexit 5\n' >"$dir/bin/xorriso"
        chmod +x "$dir/bin/xorriso"
        ;;
      @front) program="$PACKAGE" && export UPDATE_MAKE="$MAKE" ;;
      @stale) mkdir -p "$dir/.disc.making-1" ;;
      @growing=*) growing="$new/${opt#@growing=}" ;;
      @signal=*)
        signal="${opt#@signal=}" iso="$dir/disc.iso"
        mkdir -p "$dir/bin"
        printf '#!/bin/sh\nfor a; do case "$a" in stdio:*) echo part >"${a#stdio:}" ;; esac; done\ntouch "%s/started"\nexec sleep 30\n' "$dir" >"$dir/bin/xorriso"
        chmod +x "$dir/bin/xorriso"
        ;;
      @room) room=1 && options+=(--json) ;;
      @no-opts) options=() ;;
      @full-out) mkdir -p "$out" && echo keep >"$out/keep.txt" ;;
      @empty-out) mkdir -p "$out" ;;
      @out-in-new) out="$dir/new/disc" ;;
      @new-in-old) mv "$new" "$dir/old/" && new="$dir/old/new" ;;
      @not-exe) exe="$dir/new/game.exe" ;;
      @signal-copy=*) copy_signal="${opt#@signal-copy=}" ;;
      @out-here) mkdir -p "$out" && here="$out" ;;
      @out-empty) out="" ;;
      @no-xorriso) mkdir -p "$dir/bin" && path_dirs="$dir/bin" ;;
      @under=*)
        local under="$dir/${opt#@under=}"
        mkdir -p "$under" && mv "$old" "$new" "$under/"
        old="$under/old" new="$under/new" out="$under/disc"
        if [ -n "${MAKE_TEST_OWNER:-}" ] && [ "$(id -u)" = 0 ]; then chown -R "$MAKE_TEST_OWNER:" "$dir"; fi
        ;;
      @notes=*) notes="${opt#@notes=}" ;;
      @terminal) terminal=1 ;;
      *) options+=("$opt") ;;
    esac
  done
  [ -z "$iso" ] || options+=(--iso "$iso")
  out_arg="$out"
  [ "$here" = "$dir" ] || out_arg=.

  log="$dir/log"
  local appender=""
  if [ -n "$growing" ]; then
    (while :; do echo more >>"$growing"; done) &
    appender=$!
  fi
  if [ -n "$signal" ] || [ -n "$copy_signal" ]; then
    PATH="$path_dirs" "$program" "${options[@]}" --exe "$exe" "$old" "$new" "$out_arg" \
      >"$dir/stdout" 2>"$dir/stderr" &
    local pid=$! waited=0 sent ended
    if [ -n "$signal" ]; then
      while [ ! -e "$dir/started" ] && [ "$waited" -lt 200 ]; do sleep 0.05; waited=$((waited + 1)); done
    else
      signal=$copy_signal
      while ! compgen -G "$dir/.disc.making-*/$DATA/big.dat" >/dev/null && [ "$waited" -lt 400 ]; do
        sleep 0.05 && waited=$((waited + 1))
      done
      sleep 0.2  # well into the copy
    fi
    sent=$(date +%s%N)
    kill -s "$signal" "$pid"
    wait "$pid" || got=$?
    ended=$(date +%s%N)
    if [ -n "$copy_signal" ]; then
      echo "    from the signal to the end: $(((ended - sent) / 1000000)) ms"
      [ $(((ended - sent) / 1000000)) -le 500 ] || fail "the copy held the signal"
    fi
  elif [ -n "$terminal" ]; then
    local typed
    typed="$(printf '%q ' "$program" "${options[@]}" --exe "$exe" "$old" "$new" "$out_arg")"
    (cd "$here" && PATH="$path_dirs" script -qec "$typed" /dev/null) >"$dir/stdout" 2>"$dir/stderr" ||
      got=$?
  else
    (cd "$here" && PATH="$path_dirs" "$program" "${options[@]}" --exe "$exe" "$old" "$new" "$out_arg") \
      >"$dir/stdout" 2>"$dir/stderr" || got=$?
  fi
  [ -z "$appender" ] || kill "$appender"
  cat "$dir/stdout" "$dir/stderr" >"$log"
  [ "$got" -eq "$status" ] || fail "exit status $got, want $status"
  local texts text
  IFS='|' read -r -a texts <<<"$message"
  for text in "${texts[@]}"; do
    grep -qF -- "$text" "$log" || fail "no \"$text\" in the output"
  done
  [ -z "$filter" ] || jq -e "$filter" "$dir/stdout" >/dev/null || fail "jq: $filter is not true"
  if [ -n "$room" ]; then
    local made_room checked_room
    made_room="$(jq .bytes.game_drive_peak "$dir/stdout")"
    checked_room="$("$(dirname "$MAKE")/update-check" --json --against "$old" "$out" | jq .space.needed)"
    [ "$made_room" = "$checked_room" ] || fail "room $made_room, update-check --against OLD says $checked_room"
  fi
  if [ -n "$notes" ]; then
    # The same build's update-check: under Wine, update-check.exe through the same wrapper.
    if [ -n "${UPDATE_CHECK_EXE:-}" ]; then
      UPDATE_TOOL_EXE=$UPDATE_CHECK_EXE "$MAKE" --json --against "$old" "$out" >"$dir/check.json" || :
    else
      "$(dirname "$MAKE")/update-check" --json --against "$old" "$out" >"$dir/check.json" || :
    fi
    jq -e --arg kind "$notes" '[.notes[].kind] | index($kind)' "$dir/check.json" >/dev/null ||
      fail "update-check --against OLD gives no note $notes: $(tr -d '\r' <"$dir/check.json" | jq -c .notes 2>&1)"
  fi
  ! grep -q $'[\x01-\x08\x0b\x0c\x0e-\x1f\x7f]' "$log" || fail "a control character reached the output raw"
  # The progress line is for a person at a terminal: never in a file or a pipe.
  [ -n "$terminal" ] || ! grep -qE $'\r(reading OLD and NEW|copying|checking|making the image)' "$log" ||
    fail "a progress line went to a file"
  # Nothing of a half-made folder or image is left beside them.
  [ -z "$(find "$(dirname "$out")" -maxdepth 1 -name '.*.making*' ! -name .disc.making-1)" ] ||
    fail "a temporary is left: $(find "$(dirname "$out")" -maxdepth 1 -name '.*.making*')"

  case "$output" in
    disc) expect_disc "$new" "$out" ;;
    made) [ -f "$out/update.ini" ] || fail "no OUT" ;;
    absent) [ ! -e "$out" ] || fail "OUT was made: $(find "$out" | head -5 | tr '\n' ' ')" ;;
    kept) [ "$(find "$out" -mindepth 1)" = "$out/keep.txt" ] || fail "OUT changed" ;;
    empty) [ -d "$out" ] && [ -z "$(find "$out" -mindepth 1)" ] || fail "OUT is not an empty folder" ;;
  esac
  if [ -n "$iso" ] && [ "$status" -eq 0 ] && [ -z "$stub" ]; then
    expect_iso "$iso" "$out"
  elif [ -n "$iso" ] && [ -z "$stub" ]; then
    [ "$iso_was" = "$(cat "$iso" 2>/dev/null)" ] || fail "the image was made or changed"
  fi
  if [ "$case_failed" -ne 0 ]; then
    sed 's/^/      | /' "$log"
  fi
}

# Made.
row demo           demo      0 disc "changed           21  game.exe|added             43  シナリオ\\表\\ソフト.txt|Unchanged, left off the update: 1|Only in OLD|manual.txt|no problems."
row room           small_files 0 made "" @room '@json=.bytes.game_drive_peak >= 100 * .bytes.cluster_size'
row demo_json      demo      0 disc "" '@json=.added == ["bgm.dat","シナリオ\\話.txt","シナリオ\\表\\ソフト.txt"] and .changed == ["game.exe","readme.txt"] and .unchanged == ["save.dat"] and .only_in_old == ["manual.txt"] and .bytes.data == 143 and .bytes.update_exe == 352 and .bytes.total == .bytes.data + .bytes.update_exe + .bytes.update_ini and .smallest_medium == "cd" and .old_looks_partial == false and .player_data == []'
row played_allowed played  0 made "Players' data, put on the disc as --allow-player-data allows|save\\data01.sav|config.ini|no problems." --allow-player-data
row settings_changed settings_changed 0 made "changed           32  config.ini|no problems."
row partial_old    partial_old 0 made "Note: 5 of NEW's 6 files are added: OLD looks like a part of the game|no problems."
row big_disc       big_disc  0 made "" '@json=.smallest_medium == "dvd-dl" and .bytes.disc > 5200000000 and .large_files == []'
row big_file_iso   big_file  0 made "Note: big.dat is 4 GiB or more|several ISO 9660 extents" @xorriso-stub
row from_list      from_list 0 disc "no problems."
row empty_out      demo      0 disc "no problems." @empty-out
row iso            demo      0 disc "Disc image|volume UPDATE" @iso
row iso_title      latin_title 0 disc "volume STAR_LIB_2" @iso
row iso_volume     demo      0 disc "volume HOSHI2_102" @iso --volume HOSHI2_102
row allow_older    swapped   0 disc "no problems." --allow-older
row front          demo      0 disc "no problems." @front
row empty_path     empty_path 0 disc "beside update.ini"
row links          links     0 disc "changed           24  voice\\a.ogg|added             24  voice\\b.ogg|added             18  extra.dat|no problems."
row old_control_name old_control_name 0 disc "old\\x07bell\\x.dat"
row others_in_old  others_in_old 0 disc "Only in OLD, neither files nor folders|old-pipe"
row decomposed     decomposed 0 made "シナリオ\\が.txt|no problems."
row decomposed_old decomposed_old 0 made "" '@json=.changed == ["game.exe","readme.txt","シナリオ\\が.txt"]'
row read_only_old  read_only_old 0 disc "Read-only in OLD: a player's game that has them read-only too keeps them|to clear it in OLD: |no problems."
row read_only_old_json read_only_old 0 disc "" '@json=.read_only_in_old == ["game.exe","readme.txt"]'
row dot_name_old   dot_name_old 0 made "" '@json=.changed == ["game.exe","readme.txt","config\\.cfg"] and .read_only_in_old == []'
# Folders with characters code page 932 lacks and with Japanese ones: the same disc, and the
# same notes from update-check (under Wine, the Windows builds).
row foreign_folders swapped  0 disc "no problems." --allow-older @under=José/作業 @notes=older-than-installed

# Refused: NEW has what the updater can't carry. Every offender is named.
row long_name      long_name 1 absent "とても長い名前のファイルです.txt is 32 bytes|at most 31"
row not_cp932      not_cp932 1 absent "café.txt has no code page 932 form for é (U+00E9)|波〜.txt has no code page 932 form for 〜 (U+301C; use ～ (U+FF5E), which looks the same)|¥100.txt has no code page 932 form for ¥ (U+00A5; use ￥ (U+FFE5), which looks the same)|−1.txt has no code page 932 form for − (U+2212; use － (U+FF0D)"
row many_files     many_files 1 absent "305 files differ from OLD; the updater carries at most 256|many\\f254.dat|シナリオ\\表\\ソフト.txt"
row two_levels     two_levels 1 absent "the new folder 追加\\深い can't be made|Put a file directly in 追加"
row unsafe_names   unsafe_names 1 absent "CON.txt would land outside|data\\nul.dat would land outside|[x].txt begins with '['|#memo.txt begins with '#'|a:b.txt would land outside"
row case_clash     case_clash 1 absent "Data.dat and data.dat are one name on Windows"
row case_clash_wide case_clash_wide 1 absent "ＤＡＴＡ.dat and ｄａｔａ.dat are one name on Windows|ΔＩＲ and δｉｒ are one name"
row old_clash      old_clash 1 absent "voice\\v001.ogg needs the folder voice, which is the file voice in the game"
row old_clash_wide old_clash_wide 1 absent "ＶＯＩＣＥ\\v001.ogg needs the folder ＶＯＩＣＥ, which is the file ｖｏｉｃｅ in the game|ⅱ is the folder Ⅱ in the game"
row offenders      offenders 1 absent "3 problem(s)|とても長い名前のファイルです.txt is 32 bytes|CON.txt would land outside|追加\\深い can't be made"
row bad_record     demo      1 absent "REG_S is empty|TITLE \"a\"b\" holds a double quote" --reg-s '' --title 'a"b'
row nothing_new    unchanged 1 absent "nothing to update"
row played         played    1 absent "3 file(s) of NEW look like what a game writes while it is played|config.ini (settings written after every other file of NEW)|save\\data01.sav (in a save folder)|save\\system.sav (in a save folder)|--allow-player-data"
row swapped        swapped   1 absent "every changed file is older in NEW than in OLD|--allow-older"
row bad_type       demo      1 absent "install type 0 \"[]x\" can't head files" @no-opts --title T --reg-s S --reg-t T --type '[]x'
row list_clash     list_clash 1 absent "update.ini is the name of the disc's own update.ini"
row others_in_new  others_in_new 1 absent "pipe in NEW is neither a file nor a folder|dangling.dat in NEW is neither|clash in OLD is neither a file nor a folder, and NEW has"
row merged_names   merged_names 1 absent "two names in NEW become シナリオ\\が.txt in code page 932"
row control_name   control_name 1 absent "bad\\x1B[31mred.txt has a character that Windows does not allow"
row link_loop      link_loop 2 absent "戻る leads back to"

# Refused: the folders, the image or the program are wrong. OUT is never left half-made.
row full_out       demo      1 kept   "is not empty" @full-out
row early_out      link_loop 1 kept   "1 problem(s)|is not empty" @full-out
row early_record   link_loop 1 absent "1 problem(s)|REG_S is empty" --reg-s ''
row early_line     link_loop 1 absent "its line in update.ini would be 512, and the updater reads at most 511" --reg-s "$(printf '%0502d' 0)"
row out_in_new     demo      1 absent "lies inside NEW" @out-in-new
row new_in_old     demo      1 absent "OLD and NEW lie one inside the other" @new-in-old
row not_exe        demo      1 absent "is not a Windows program" @not-exe
row iso_exists     demo      1 absent "exists already" @iso-exists
row xorriso_fails  demo      1 absent "xorriso failed|write error|nothing was made" @xorriso-fails
row bad_volume     demo      1 absent "the volume name hoshi 2 has 'h'" @iso --volume 'hoshi 2'
row new_changes    small_files 1 absent "f100.dat in NEW changed while update-make ran" @growing=small/f100.dat
row read_only      read_only 1 absent "f100.dat in NEW changed while update-make ran" @growing=small/f100.dat
row stale          demo      0 disc ".disc.making-1 is left from an earlier run that was stopped" @stale
row sigterm        demo      143 absent "" @signal=TERM
row sighup         demo      129 absent "" @signal=HUP
row sigterm_copy   big       143 absent "" @signal-copy=TERM
# Long work shows how far it is on a terminal, in one line rewritten in place; redirected, nothing.
row progress       big       0 made   $'\rcopying: |of 2.1 GB  big.dat|no problems.' @terminal
row progress_file  big       0 made   "no problems."
row out_here       demo      1 empty  "1 problem(s)|. is the current folder" @out-here
row out_empty      demo      2 absent "OUT is an empty argument" @out-empty
row early_xorriso  link_loop 1 absent "1 problem(s)|xorriso" @iso @no-xorriso
row no_record      demo      2 absent "give --title, --reg-s and --reg-t" @no-opts
row type_and_from  from_list 2 absent "--type and --from" --type X

if [ "$ran" -eq 0 ]; then
  echo "no case named $ONLY" >&2
  exit 2
fi
echo "$ran case(s), $failures failure(s)"
[ "$failures" -eq 0 ]
