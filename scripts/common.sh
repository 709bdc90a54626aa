# Shared by ./run and ./test: installing what is missing, and the build trees.

ZORBEL_PACKAGES=(cmake ninja-build g++ libgtest-dev googletest libcli11-dev nlohmann-json3-dev libtomlplusplus-dev
  g++-mingw-w64-i686 wine wine32:i386 xvfb imagemagick libpng-dev zlib1g-dev libstb-dev
  emscripten nodejs chromium firefox-esr webkit2gtk-driver libturbojpeg0-dev libgif-dev libheif-dev libxml2-utils)

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

# node's package manager: with Debian's nodejs it is a package of its own.
ensure_npm() {
  command -v npm >/dev/null || ensure_packages npm
}

# The browser tests' JavaScript packages, as package-lock.json pins them
# (puppeteer-core drives the system's browsers; it downloads none).
install_browser_test_packages() {
  ensure_npm && (cd tests/web/browser && npm ci --no-audit --no-fund --loglevel=error)
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

# A virtual screen when there is none, 1280x1024 unless given another size
# (start_display 3840x2160); stop_display ends it.
ZORBEL_XVFB_PID=""
start_display() {
  local size=${1:-1280x1024}
  [ -n "${DISPLAY:-}" ] && return 0
  local n=91
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
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

# The release's folder and zip from built programs: assemble_package
# NATIVE_QUIZMAKE WINDOWS_BIN OUT_FOLDER writes OUT_FOLDER/zorbel-VERSION-win32.zip
# and OUT_FOLDER/SHA256SUMS, the unzipped tree in OUT_FOLDER/stage.
assemble_package() {
  local quizmake=$1 bin=$2 out=$3
  local version
  version=$(sed -nE 's/^#define ZORBEL_VERSION_TEXT "(.*)"/\1/p' "$bin/../generated/zorbel_version.h")
  local stage="$out/stage"
  rm -rf "$stage" && mkdir -p "$stage/exemples/pictures"
  cp "$bin/zorbel.exe" "$bin/atelier.exe" "$bin/quizmake.exe" "$bin/atelier.html" "$stage/"
  cp samples/demo/demo.toml "$stage/exemples/"
  cp samples/demo/pictures/*.jpg "$stage/exemples/pictures/"
  # The demo as quizmake makes it from the examples, with the packaged player.
  "$quizmake" build "$stage/exemples/demo.toml" -o "$stage/demo.exe" --player "$stage/zorbel.exe"
  release_text release/LISEZMOI.txt "$version" >"$stage/LISEZMOI.txt"
  { cat release/LICENCE.txt; third_party_licences; } | release_text /dev/stdin "$version" >"$stage/LICENCE.txt"
  local zip="zorbel-$version-win32.zip"
  rm -f "$out/$zip"
  python3 scripts/make_zip.py "$stage" "$out/$zip" zorbel.exe atelier.exe atelier.html quizmake.exe demo.exe LISEZMOI.txt \
    LICENCE.txt exemples/demo.toml
  (cd "$out" && sha256sum "$zip" >SHA256SUMS)
  echo "$out/$zip"
}

# A text for Notepad: the version filled in, UTF-8 with a byte-order mark, CR LF.
release_text() {
  printf '\xEF\xBB\xBF'
  sed -e "s/@VERSION@/$2/g" -e 's/$/\r/' "$1"
}

# The licences of the libraries inside the programs, as Debian ships them.
third_party_licences() {
  local package
  for package in libtomlplusplus-dev libcli11-dev nlohmann-json3-dev libstb-dev; do
    printf '\n\n==== %s ====\n\n' "${package%-dev}"
    cat "/usr/share/doc/$package/copyright"
  done
}

# The system DLLs a Windows program of ours may import: nothing to install beside it.
ZORBEL_SYSTEM_DLLS="advapi32.dll comctl32.dll comdlg32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll oleaut32.dll
  shell32.dll user32.dll"

# Every quiz carries the player: the bytes it may take (it took 125 KB when
# this was set; the C++ runtime's exception machinery, linked back by mistake,
# would add about 150 KB).
ZORBEL_PLAYER_BUDGET=250000

# Prints what a shipped executable should not hold (debug sections; for the
# player, bytes beyond its budget); silent when it is clean.
unshipped_contents() {
  local sections
  sections=$(i686-w64-mingw32-objdump -h "$1" | awk '$2 ~ /^\.debug_/ {print $2}' | tr '\n' ' ')
  [ -z "$sections" ] || echo "$1 holds debug information: $sections"
  if [ "$(basename "$1")" = zorbel.exe ] && [ "$(stat -c %s "$1")" -gt "$ZORBEL_PLAYER_BUDGET" ]; then
    echo "$1 is $(stat -c %s "$1") bytes, over the player's budget of $ZORBEL_PLAYER_BUDGET"
  fi
  # The programs that read photos of up to 200 megapixels need more than 2 GB
  # of address space: large-address aware (bit 0x20 of the PE characteristics).
  case "$(basename "$1")" in
    atelier.exe|quizmake.exe)
      local characteristics
      characteristics=$(i686-w64-mingw32-objdump -p "$1" | awk '/^Characteristics/ {print $2; exit}')
      (( characteristics & 0x20 )) || echo "$1 is not large-address aware"
      ;;
  esac
}

# Prints each DLL of an executable that is not a system DLL; silent when all are.
foreign_imports() {
  local dll
  for dll in $(i686-w64-mingw32-objdump -p "$1" | sed -nE 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z'); do
    [[ " $(echo $ZORBEL_SYSTEM_DLLS) " == *" $dll "* ]] || echo "$1 imports $dll"
  done
}
