# shellcheck shell=bash
# Shell functions for running Wine as an unprivileged user when we are root. As root, Wine
# ignores the read-only attribute (it keeps it as file mode 0444, which root bypasses), so a copy
# over a read-only file would succeed where Windows refuses it. Sourced by the end-to-end
# harness and the demo, after wine.sh.

WINE_USER=${WINE_USER:-updtest}

wine_user_is_needed() {
  [ "$(id -u)" = 0 ]
}

# Creates the user when it is missing.
wine_user_ensure() {
  wine_user_is_needed || return 0
  id "$WINE_USER" >/dev/null 2>&1 && return 0
  useradd --create-home --user-group "$WINE_USER" 2>/dev/null ||
    id "$WINE_USER" >/dev/null 2>&1 || wine_die "cannot create the user $WINE_USER"
}

# Runs a command as that user, keeping the environment but HOME, USER and LOGNAME.
wine_user_run() {
  if wine_user_is_needed; then
    runuser -u "$WINE_USER" -- "$@"
  else
    "$@"
  fi
}

# Makes folders that the user owns.
wine_user_mkdir() {
  mkdir -p "$@"
  if wine_user_is_needed; then chown "$WINE_USER:" "$@"; fi
}

# Gives a whole tree to the user.
wine_user_chown() {
  if wine_user_is_needed; then chown -R "$WINE_USER:" "$@"; fi
}

# The Windows path of a Unix path: Wine's drive Z: is the Unix root.
wine_path() {
  local path
  path=$(realpath -m "$1")
  printf 'Z:%s' "${path//\//\\}"
}
