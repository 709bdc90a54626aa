# Shared by ./run and ./test: installing what is missing, and the build trees.

ZORBEL_PACKAGES=(cmake ninja-build g++ libgtest-dev libcli11-dev nlohmann-json3-dev g++-mingw-w64-i686)

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
    -DZORBEL_WERROR=ON -DZORBEL_TESTS=OFF -DZORBEL_TOOLS=OFF \
    -DZORBEL_QUIZMAKE="$PWD/build/native/tools/quizmake/quizmake" >/dev/null &&
    ninja -C build/mingw
}
