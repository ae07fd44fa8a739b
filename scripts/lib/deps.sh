# What a fresh Debian machine needs to build and test the updater, installed when missing.
# Sourced by scripts/test, scripts/demo and the CI entry point.

UPDATE_PACKAGES=(
  cmake ninja-build g++ clang libclang-rt-14-dev googletest libgtest-dev nlohmann-json3-dev
  g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine64 wine wine32:i386 xvfb xauth x11-apps imagemagick
  locales fonts-ipafont-gothic fonts-wine clang-format clang-tidy cppcheck jq util-linux passwd
  xorriso libutf8proc-dev zlib1g-dev
  zip unzip osslsigncode openssl file pandoc
)

# Runs a command as root: directly when we are root, through sudo otherwise.
as_root() {
  if [ "$(id -u)" -eq 0 ]; then
    "$@"
  elif command -v sudo >/dev/null 2>&1; then
    sudo "$@"
  else
    echo "error: need root (or sudo) to run: $*" >&2
    return 1
  fi
}

# deps_add_architecture PACKAGE...: adds the foreign architectures (the "i386" of
# "wine32:i386") that the packages named need and dpkg does not have yet. Wine's 32-bit half
# runs the x86 build's programs in the same 64-bit prefix.
deps_add_architecture() {
  local p arch
  for p in "$@"; do
    case $p in *:*) arch=${p##*:} ;; *) continue ;; esac
    [ "$arch" = "$(dpkg --print-architecture)" ] && continue
    dpkg --print-foreign-architectures | grep -qx "$arch" && continue
    echo "== adding the $arch architecture"
    as_root dpkg --add-architecture "$arch"
  done
}

# Installs the missing packages and makes sure the Japanese locale exists. Quick when all is
# there: one dpkg-query a package, no apt-get.
ensure_deps() {
  local missing=()
  local p
  for p in "${UPDATE_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "== installing: ${missing[*]}"
    deps_add_architecture "${missing[@]}"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
      "${missing[@]}" >/dev/null
  fi
  if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
    echo "== generating the ja_JP.UTF-8 locale"
    as_root sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
    as_root locale-gen >/dev/null
  fi
}
