# shellcheck shell=bash
# A disc played through under Wine by the test driver's player, and what it recorded read back:
# the game folder before and after, each message box, the likely cause of each failure, and the
# final message. Shared by scripts/try-disc and scripts/demo; sourced after showcase.sh.

# game_listing DIR: one line per file, sorted by name: inode, size, mode, md5 and the name below
# DIR, separated by tabs. A file the update replaced has a new inode: it is renamed into place.
game_listing() {
  local file
  (cd "$1" && find . -type f -printf '%P\n' | LC_ALL=C sort | while IFS= read -r file; do
    printf '%s\t%s\t%s\n' "$(stat --printf '%i\t%s\t%a' -- "$file")" \
      "$(md5sum <"$file" | cut -c 1-32)" "$file"
  done)
}

# print_listing FILE: a listing as people read it; a read-only file is marked.
print_listing() {
  local inode size mode md5 name mark
  while IFS=$'\t' read -r inode size mode md5 name; do
    mark=
    (((8#$mode & 8#200) == 0)) && mark='  read-only'
    printf '    %-24s %8s bytes  md5 %.8s%s\n' "$name" "$size" "$md5" "$mark"
  done <"$1"
  [ -s "$1" ] || echo "    (no files)"
}

# player_play DISC UPDATE.EXE GAME OUT [KEY]: runs UPDATE.EXE from DISC with GAME registered (under
# KEY, below HKCU, when given; else under the list's key), under the showcase's prefix on a
# virtual screen. The record goes to OUT/record.txt, the pictures to OUT/shots as PNG. Returns
# the driver's status.
player_play() {
  local out=$4 status=0 bmp
  rm -rf "$out/shots" "$out/bmp"
  wine_user_mkdir "$out" "$out/bmp"
  showcase_driver --player "$(wine_path "$2")" "$(wine_path "$1")" "$(wine_path "$3")\\" \
    "$(wine_path "$out/bmp")" ${5:+"$5"} >"$out/record.txt" || status=$?
  mkdir -p "$out/shots"
  for bmp in "$out/bmp"/*.bmp; do
    [ -e "$bmp" ] && convert "$bmp" "$out/shots/$(basename "${bmp%.bmp}").png"
  done
  rm -rf "$out/bmp"
  return "$status"
}

# record_fields LINE: the fields of a record line in the array F, decoded.
record_fields() {
  local line=$1 field
  F=()
  while :; do
    field=${line%%$'\t'*}
    field=${field//%09/$'\t'}
    field=${field//%0A/$'\n'}
    field=${field//%0D/}
    F+=("${field//%25/%}")
    [[ $line == *$'\t'* ]] || break
    line=${line#*$'\t'}
  done
}

# cause_text CAUSE DETAIL: what a failure's cause means, for the publisher.
cause_text() {
  case $1 in
    read-only) echo "read-only game file: Windows refuses to replace it. The player sees this box, then the completion message; the file keeps its old bytes but loses its read-only flag, so a second run replaces it." ;;
    hidden-system) echo "hidden or system game file: the updater keeps it, as Windows' own copy refuses it; the game's installer should not mark the file hidden or system." ;;
    missing-folder-level) echo "missing folder level: the game has no folder \"$2\", and the updater makes only one new folder level per file. List a file in \"$2\" before this one." ;;
    folder-not-made) echo "the folder \"$2\" could not be made in the game (a file of that name is in the way?)." ;;
    missing-source) echo "missing source on the disc: $2" ;;
    unsafe-name) echo "name refused as unsafe: it could land outside the game folder." ;;
    path-too-long) echo "path too long: the game folder and the name's folders make 260 bytes or more." ;;
    folder-in-the-way) echo "a folder of that name is in the game." ;;
    disk-full) echo "disk full on the game's drive ($2)." ;;
    *) echo "unknown: the file may be open in another program, or the disc unreadable." ;;
  esac
}

# final_text KIND: what the run's last message box says about the run.
final_text() {
  case $1 in
    completion) echo "the completion message" ;;
    not-installed) echo "the run stopped: the game's key holds no GAMEPATH (is the list's key the one the game's installer writes? try-disc --key checks it)" ;;
    limit) echo "the run stopped: the list goes over a limit, nothing was copied" ;;
    no-folder) echo "the run stopped: the game folder does not exist" ;;
    folder-is-file) echo "the run stopped: the game folder is a file" ;;
    no-room) echo "the run stopped before the first copy: the disc does not fit on the game's drive" ;;
    no-window) echo "the run stopped: a window could not be shown, nothing was copied" ;;
    code-page) echo "the run stopped: this Windows does not run the updater in code page 932" ;;
    *) echo "another message" ;;
  esac
}

# copied_summary BEFORE AFTER: the files the update copied, from the two listings: new, replaced
# (other bytes) or unchanged (the same bytes again); and any file that went away.
copied_summary() {
  local -A inode_of md5_of after
  local inode size mode md5 name lines=() new=0 replaced=0 same=0
  while IFS=$'\t' read -r inode size mode md5 name; do
    inode_of[$name]=$inode
    md5_of[$name]=$md5
  done <"$1"
  while IFS=$'\t' read -r inode size mode md5 name; do
    after[$name]=1
    if [ -z "${inode_of[$name]:-}" ]; then
      lines+=("    new        $name") && new=$((new + 1))
    elif [ "${inode_of[$name]}" = "$inode" ]; then
      continue
    elif [ "${md5_of[$name]}" != "$md5" ]; then
      lines+=("    replaced   $name") && replaced=$((replaced + 1))
    else
      lines+=("    unchanged  $name (copied, the same bytes as before)") && same=$((same + 1))
    fi
  done <"$2"
  echo "copied: $((new + replaced + same)) file(s): $new new, $replaced replaced, $same unchanged"
  [ ${#lines[@]} -eq 0 ] || printf '%s\n' "${lines[@]}"
  for name in "${!inode_of[@]}"; do
    [ -n "${after[$name]:-}" ] || echo "    GONE       $name (in the game before the run)"
  done
}

# player_summary RECORD BEFORE AFTER: what the run did, from the driver's record and the game's
# listings. Returns 0 when the run ended with the completion message, showed no other box and,
# given the installer's key, found GAMEPATH under the list's.
player_summary() {
  local line boxes=0 failures=0 final=none final_box='' failure_box='' exit_code='' error='' F
  local list_key='' other_key=''
  local -a failure_lines=() other_boxes=()
  while IFS= read -r line; do
    record_fields "$line"
    case ${F[0]} in
      list)
        echo "list: \"${F[2]}\", key HKCU\\${F[5]}, data folder \"${F[4]}\"; the updater copies ${F[6]} of its ${F[7]} file line(s)"
        list_key=${F[5]}
        [ "${F[6]}" != 0 ] || echo "  warning: the list copies no files (saved with CR-only line ends, or no #FILE section?)" ;;
      unknown-type) echo "  list line ${F[1]}: install type \"${F[2]}\" not found: the player sees two \"TEST\" boxes, and the files under it are not copied" ;;
      limit) echo "  list line ${F[1]}: over a limit of the updater: ${F[2]}" ;;
      gamepath) echo "game folder: ${F[2]} (GAMEPATH ${F[1]})" ;;
      key)
        echo "key: GAMEPATH registered under the installer's key HKCU\\${F[1]}, as on a player's PC"
        [ "${F[2]}" = same ] || other_key=${F[1]} ;;
      box)
        boxes=$((boxes + 1))
        final=none
        case ${F[1]} in
          failure) failure_box="${F[2]}: ${F[3]}" ;;
          test) other_boxes+=("    TEST: ${F[3]}") ;;
          *) final=${F[1]} final_box="${F[2]} / ${F[3]}" ;;
        esac ;;
      failure)
        failures=$((failures + 1))
        failure_lines+=("  $failures. ${F[2]}: $(cause_text "${F[3]}" "${F[4]}")"
          "     the box: $failure_box") ;;
      end) exit_code=${F[1]} ;;
      error) error=${F[1]} ;;
    esac
  done <"$1"
  if [ -n "$other_key" ]; then
    echo "  wrong key: the list names HKCU\\$list_key, the game's installer writes HKCU\\$other_key:"
    echo "  the updater finds no GAMEPATH, and every player gets the \"not installed\" message"
  fi
  copied_summary "$2" "$3"
  echo "failure boxes: $failures"
  [ "$failures" -eq 0 ] || printf '%s\n' "${failure_lines[@]}"
  if [ ${#other_boxes[@]} -gt 0 ]; then
    echo "other boxes before the end:"
    printf '%s\n' "${other_boxes[@]}"
  fi
  if [ -n "$error" ] || [ -z "$exit_code" ]; then
    echo "final message: none: the run could not be followed to its end${error:+: $error}"
  elif [ "$final" = none ]; then
    echo "final message: none: update.exe ended (exit code ${exit_code:-?}) without one"
  else
    echo "final message: ${final_box//$'\n'/ } ($(final_text "$final"))"
  fi
  [ "$final" = completion ] && [ "$boxes" -eq 1 ] && [ -n "$exit_code" ] && [ -z "$other_key" ]
}
