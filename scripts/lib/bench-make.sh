# shellcheck shell=bash
# The publisher's cost: update-make against `diff -rq` on the same two versions of a game, which
# is the least any tool that finds the changed files must do (read every file both versions hold
# at one size). Sourced by scripts/bench for its --make rows, from the repository's root.
#
# Two games, made once in $1 (UPDATE_BENCH_MAKE_DIR, default build/bench-make) and kept:
#   large  3,000 files, 4.8 GB: 30 archives of 100 MB (sparse, a few real bytes each) and 2,970
#          files of 620 KB in 30 folders; in NEW 200 of them changed in their last byte (every
#          15th by name, two archives among them) and 20 new files
#   small  50,000 files of 2 KB in 500 folders; in NEW 200 changed in their last byte
# Each row runs update-make (the linux-release build: what publishers run; UPDATE_BENCH_MAKE_TOOL
# names another, an earlier version's) and `diff -rq`
# interleaved, RUNS times each, and prints the medians of the wall time, the user time and the
# peak resident memory (GNU time's %M), warm (the trees read once before) and, where the kernel
# lets this user drop the page cache, cold (UPDATE_BENCH_MAKE_COLD=0: warm only).

bench_make_seed() {  # FILE BYTES: random bytes
  head -c "$2" /dev/urandom >"$1"
}

# bench_make_change FILE: its last byte, changed.
bench_make_change() {
  local size last
  size=$(stat -c %s "$1")
  last=$(tail -c 1 "$1" | od -An -tu1 | tr -d ' ')
  printf "\\$(printf '%03o' $(((last + 1) % 256)))" |
    dd of="$1" bs=1 seek=$((size - 1)) conv=notrunc status=none
}

bench_make_large() {
  local game=$1 i j seed=$1/seed
  mkdir -p "$game/old/data"
  for i in $(seq -w 0 29); do
    truncate -s 100M "$game/old/data/arc$i.pak"
    printf 'archive %s' "$i" | dd of="$game/old/data/arc$i.pak" conv=notrunc status=none
  done
  bench_make_seed "$seed" 634880
  for i in $(seq -w 0 29); do
    mkdir -p "$game/old/files/d$i"
    for j in $(seq -w 0 98); do
      # A file's own first bytes, so that no two files hold the same bytes.
      { printf '%s/%s\n' "$i" "$j"; tail -c +12 "$seed"; } >"$game/old/files/d$i/f$j.dat"
    done
  done
  rm "$seed"
  cp -a "$game/old" "$game/new"
  (cd "$game/new" && find . -type f | LC_ALL=C sort | awk 'NR % 15 == 1' | head -n 200) |
    while IFS= read -r file; do bench_make_change "$game/new/$file"; done
  mkdir -p "$game/new/added"
  for i in $(seq -w 1 20); do printf 'new file %s\n' "$i" >"$game/new/added/n$i.dat"; done
}

bench_make_small() {
  local game=$1 i j seed=$1/seed
  bench_make_seed "$seed" 2048
  for i in $(seq -w 0 499); do
    mkdir -p "$game/old/d$i"
    for j in $(seq -w 0 99); do
      { printf '%s/%s\n' "$i" "$j"; tail -c +8 "$seed"; } >"$game/old/d$i/f$j.dat"
    done
  done
  rm "$seed"
  cp -a "$game/old" "$game/new"
  (cd "$game/new" && find . -type f | LC_ALL=C sort | awk 'NR % 250 == 1') |
    while IFS= read -r file; do bench_make_change "$game/new/$file"; done
}

# bench_make_game NAME: made once; a half-made game (its marker missing) is made again.
bench_make_game() {
  local game=$bench_make_dir/$1
  [ -e "$game/ready" ] && return 0
  echo "== laying out the game '$1' in $game (once)"
  rm -rf "$game" && mkdir -p "$game"
  "bench_make_$1" "$game"
  sync
  touch "$game/ready"
}

# Drops the page cache where this user may; says whether it could.
bench_make_drop_caches() {
  sync
  { echo 3 >/proc/sys/vm/drop_caches; } 2>/dev/null
}

# bench_make_time NAME COMMAND...: appends "WALL_MS USER_MS PEAK_KB" of one run to times[NAME].
bench_make_time() {
  local name=$1 out=$bench_make_dir/time.txt wall user peak
  shift
  /usr/bin/time -f '%e %U %M' -o "$out" "$@" >/dev/null 2>&1 || true
  # The last line: GNU time first says "Command exited with non-zero status 1" of diff -rq.
  read -r wall user peak < <(tail -n 1 "$out")
  times[$name]+="$(awk -v w="$wall" -v u="$user" 'BEGIN { printf "%d %d", w * 1000, u * 1000 }') $peak,"
}

bench_make_median() {  # FIELD (1 wall, 2 user, 3 peak) of the runs in $2, "a b c,a b c,..."
  tr ',' '\n' <<<"$2" | sed '/^$/d' | awk -v f="$1" '{ print $f }' | sort -n |
    awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : int((v[NR / 2] + v[NR / 2 + 1]) / 2) }'
}

# bench_make_row GAME STATE: RUNS rounds, each starting with the other tool than the last.
bench_make_row() {
  local game=$bench_make_dir/$1 state=$2 round tool
  local -A times=([make]="" [diff]="")
  local out=$game/disc
  for round in $(seq "$bench_make_runs"); do
    for tool in $([ $((round % 2)) = 1 ] && echo make diff || echo diff make); do
      [ "$tool" = diff ] || rm -rf "$out" "$game"/.disc.making-*
      if [ "$state" = cold ]; then bench_make_drop_caches; else sync; fi
      case $tool in
        make)
          bench_make_time make "$bench_make_tool" --title BENCH --reg-s BENCHSOFT --reg-t BENCH \
            --exe "$bench_make_exe" "$game/old" "$game/new" "$out"
          [ -f "$out/update.ini" ] || wine_die "update-make made no disc of $1: run it by hand to see why"
          ;;
        diff) bench_make_time diff diff -rq "$game/old" "$game/new" ;;
      esac
    done
  done
  local m_wall d_wall m_user d_user m_peak d_peak
  m_wall=$(bench_make_median 1 "${times[make]}") && d_wall=$(bench_make_median 1 "${times[diff]}")
  m_user=$(bench_make_median 2 "${times[make]}") && d_user=$(bench_make_median 2 "${times[diff]}")
  m_peak=$(bench_make_median 3 "${times[make]}") && d_peak=$(bench_make_median 3 "${times[diff]}")
  printf '| %-6s | %-4s | %8s ms | %8s ms | %5sx | %6s ms | %6s ms | %6s MB | %6s MB |\n' "$1" "$state" \
    "$m_wall" "$d_wall" "$(awk -v a="$m_wall" -v b="$d_wall" 'BEGIN { printf "%.2f", a / (b > 0 ? b : 1) }')" \
    "$m_user" "$d_user" "$((m_peak / 1024))" "$((d_peak / 1024))"
  bench_make_notes+="- $1 $state, runs (wall ms, user ms, peak KB): update-make ${times[make]%,}; diff -rq ${times[diff]%,}
"
}

# bench_make RUNS: the whole section.
bench_make() {
  bench_make_runs=$1
  bench_make_dir=${UPDATE_BENCH_MAKE_DIR:-$PWD/build/bench-make}
  mkdir -p "$bench_make_dir"
  command -v /usr/bin/time >/dev/null || wine_die "the --make rows need GNU time (Debian's package time)"
  bench_make_tool=${UPDATE_BENCH_MAKE_TOOL:-$PWD/build/linux-release/update-make}
  if [ -z "${UPDATE_BENCH_MAKE_TOOL:-}" ]; then
    echo "== building update-make (linux-release)"
    { cmake --preset linux-release && cmake --build --preset linux-release --target update-make; } >/dev/null ||
      wine_die "the build failed"
  fi
  bench_make_exe=$bench_make_dir/update.exe
  # A program's headers: update-make checks them, and copies the file.
  { printf 'MZ' && head -c 58 /dev/zero && printf '\x40\0\0\0'
    printf 'PE\0\0\x64\x86' && head -c 14 /dev/zero && printf '\xf0\0\x22\0'
    printf '\x0b\x02' && head -c 106 /dev/zero && printf '\x10\0\0\0' && head -c 128 /dev/zero
  } >"$bench_make_exe"
  local games=${UPDATE_BENCH_MAKE_GAMES:-large small} game state states=warm
  for game in $games; do bench_make_game "$game"; done
  if [ "${UPDATE_BENCH_MAKE_COLD:-1}" = 0 ]; then
    echo "== warm rows only (UPDATE_BENCH_MAKE_COLD=0)"
  elif bench_make_drop_caches; then states="warm cold"; else
    echo "== this user can't drop the page cache (/proc/sys/vm/drop_caches): warm rows only"
  fi
  echo "== update-make against diff -rq: median of $bench_make_runs interleaved runs of each; load: $(uptime | sed 's/.*load average: //')"
  printf '| %-6s | %-4s | %11s | %11s | %6s | %9s | %9s | %9s | %9s |\n' game cache update-make "diff -rq" ratio \
    "make user" "diff user" "make peak" "diff peak"
  printf '|%s|%s|%s|%s|%s|%s|%s|%s|%s|\n' -------- ------ ------------- ------------- -------- \
    ----------- ----------- ----------- -----------
  bench_make_notes=
  for game in $games; do
    for game_state in $states; do
      # The trees read once, so that the first warm run finds what the others find.
      [ "$game_state" = cold ] || diff -rq "$bench_make_dir/$game/old" "$bench_make_dir/$game/new" >/dev/null || true
      bench_make_row "$game" "$game_state"
    done
  done
  printf '\n%s' "$bench_make_notes"
  echo "load after: $(uptime | sed 's/.*load average: //')"
}
