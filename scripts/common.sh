# Shared by ./run and ./test: installing what is missing, and the build trees.

ZORBEL_PACKAGES=(cmake ninja-build g++ libgtest-dev googletest libcli11-dev nlohmann-json3-dev libtomlplusplus-dev
  g++-mingw-w64-i686 wine wine32:i386 xvfb imagemagick libpng-dev zlib1g-dev libstb-dev)

# Installs the Debian packages that are not there yet; quiet when all are.
ensure_packages() {
  local missing=()
  local package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  # Wine runs the 32-bit player through the i386 architecture.
  if [[ " ${missing[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  $sudo apt-get update -qq >/dev/null
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# The native tree: core libraries, unit tests under the sanitizers, quizmake.
build_native() {
  cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZORBEL_SANITIZE=ON -DZORBEL_WERROR=ON >/dev/null &&
    ninja -C build/native
}

# The cross tree: the player and the quiz executables for 32-bit Windows,
# packed with the native tree's quizmake.
build_cross() {
  cmake -S . -B build/mingw -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release \
    -DZORBEL_WERROR=ON -DZORBEL_TESTS=ON -DZORBEL_BENCH=ON -DZORBEL_TOOLS=ON -DCMAKE_CROSSCOMPILING_EMULATOR=wine \
    -DZORBEL_QUIZMAKE="$PWD/build/native/tools/quizmake/quizmake" >/dev/null &&
    ninja -C build/mingw
}

# Wine in a prefix of our own, quiet, with code page 1252 as the ANSI page.
wine_environment() {
  export WINEPREFIX="$PWD/build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    wineserver -w
  fi
}

# A virtual screen when there is none; stop_display ends it.
ZORBEL_XVFB_PID=""
start_display() {
  [ -n "${DISPLAY:-}" ] && return 0
  local n=91
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  ZORBEL_XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && return 0; sleep 0.1; done
}
stop_display() {
  if [ -n "$ZORBEL_XVFB_PID" ]; then
    kill "$ZORBEL_XVFB_PID" 2>/dev/null
    wait "$ZORBEL_XVFB_PID" 2>/dev/null
    ZORBEL_XVFB_PID=""
    unset DISPLAY
  fi
}
