# What a fresh Debian machine needs to build and test the updater, installed when missing.
# Sourced by scripts/test, scripts/demo and the CI entry point.

UPDATE_PACKAGES=(
  cmake ninja-build g++ clang libclang-rt-14-dev googletest libgtest-dev nlohmann-json3-dev
  g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine64 wine xvfb xauth x11-apps imagemagick
  locales fonts-ipafont-gothic fonts-wine clang-format clang-tidy cppcheck jq util-linux passwd
  xorriso libutf8proc-dev
  zip unzip osslsigncode openssl file
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

# Installs the missing packages and makes sure the Japanese locale exists. Never installs
# wine32: these machines run no 32-bit code, and with it /usr/bin/wine picks the 32-bit loader.
ensure_deps() {
  local missing=()
  local p
  for p in "${UPDATE_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "== installing: ${missing[*]}"
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
