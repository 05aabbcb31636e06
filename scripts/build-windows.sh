#!/usr/bin/env bash
# The Windows build: installs the cross tools and Wine, builds Lua 5.1 and Xerces-C for i686
# Windows from Debian's source packages, cross-builds the project into build-win/ and runs its
# Windows tests under Wine and Xvfb. Every step skips what an earlier run already did.
#   scripts/build-windows.sh [--no-test]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/build-win"
deps="$out/deps"
run_tests=1
[ "${1:-}" = "--no-test" ] && run_tests=0
jobs=${HALVEX_JOBS:-2}
sudo_cmd=""
[ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
apt_get() { DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get -o DPkg::Lock::Timeout=900 "$@"; }
step() { echo "build-windows: $*" >&2; }

# ---- Packages ---------------------------------------------------------------------------------
packages=(gcc-mingw-w64-i686 g++-mingw-w64-i686 binutils-mingw-w64-i686 wine wine32:i386 xvfb fonts-wine
  cmake ninja-build libgtest-dev libboost-dev libcli11-dev dpkg-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  step "installing ${missing[*]}"
  dpkg --print-foreign-architectures | grep -qx i386 || $sudo_cmd dpkg --add-architecture i386
  apt_get update -qq
  apt_get install -y -qq --no-install-recommends "${missing[@]}"
fi

# ---- Source packages --------------------------------------------------------------------------
sources_list=/etc/apt/sources.list.d/debian.sources
mkdir -p "$deps/src"
fetch_source() {  # fetch_source PACKAGE DIR-GLOB
  if ! compgen -G "$deps/src/$2" >/dev/null; then
    if [ -f "$sources_list" ] && ! grep -q "deb-src" "$sources_list"; then
      step "enabling deb-src in $sources_list"
      $sudo_cmd sed -i 's/^Types: deb$/Types: deb deb-src/' "$sources_list"
      apt_get update -qq
    fi
    step "apt-get source $1"
    (cd "$deps/src" && apt-get source -qq "$1" >/dev/null 2>&1)
  fi
  compgen -G "$deps/src/$2" | head -n1
}
lua_src=$(fetch_source lua5.1 'lua5.1-5.1*/')
xerces_src=$(fetch_source xerces-c 'xerces-c-3*/')

# ---- Lua 5.1: its Makefile wants libtool, so the library's C files are compiled directly -------
if [ ! -f "$deps/lua/lib/liblua.a" ]; then
  step "building Lua for i686 Windows"
  mkdir -p "$deps/lua/obj" "$deps/lua/lib" "$deps/lua/include"
  for c in "$lua_src"/src/*.c; do
    case "$(basename "$c")" in lua.c | luac.c | print.c) continue ;; esac
    nice i686-w64-mingw32-gcc -O2 -c "$c" -o "$deps/lua/obj/$(basename "$c" .c).o"
  done
  i686-w64-mingw32-ar rcs "$deps/lua/lib/liblua.a" "$deps/lua/obj"/*.o
  cp "$lua_src"/src/{lua.h,luaconf.h,lualib.h,lauxlib.h} "$deps/lua/include/"
  [ -f "$lua_src/etc/lua.hpp" ] && cp "$lua_src/etc/lua.hpp" "$deps/lua/include/"
fi

# ---- Xerces-C: static, Windows transcoder, no network ----------------------------------------
if [ ! -f "$deps/xerces/build/src/libxerces-c.a" ]; then
  step "building Xerces-C for i686 Windows"
  cmake -S "$xerces_src" -B "$deps/xerces/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_C_COMPILER=i686-w64-mingw32-gcc-posix \
    -DCMAKE_CXX_COMPILER=i686-w64-mingw32-g++-posix -DCMAKE_RC_COMPILER=i686-w64-mingw32-windres \
    -DBUILD_SHARED_LIBS=OFF -Dnetwork=OFF -Dtranscoder=windows -Dmessage-loader=inmemory \
    -Dxmlch-type=wchar_t >/dev/null
  nice ninja -C "$deps/xerces/build" -j "$jobs" xerces-c >/dev/null
fi

# ---- Header-only libraries, seen by the cross compiler without the rest of /usr/include ------
mkdir -p "$deps/include"
for h in boost CLI; do
  [ -e "$deps/include/$h" ] || ln -s "/usr/include/$h" "$deps/include/$h"
done

# ---- The project --------------------------------------------------------------------------------
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
if [ ! -f "$out/build.ninja" ]; then
  step "configuring $out"
  cmake -S "$root" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release -DHALVEX_WERROR=$werror -DHALVEX_BENCH=OFF \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/MingwI686.cmake" -DHALVEX_WINDOWS_DEPS="$deps" \
    -DXERCES_SOURCE_DIR="$xerces_src" "${launcher[@]}" >/dev/null
fi
step "building"
nice cmake --build "$out" -j "$jobs"
[ "$run_tests" -eq 1 ] || exit 0

# ---- Where the tests can run -------------------------------------------------------------------
# Wine runs a 32-bit Windows program as a 32-bit Linux process. A kernel without 32-bit support
# cannot: then the Windows tests are built as 64-bit Windows programs (the same sources, the same
# Win32 calls) into build-win64/ and run under 64-bit Wine.
test_build="$out" winearch=win32 wine=wine wineserver=wineserver
if ! /lib/i386-linux-gnu/ld-linux.so.2 --help >/dev/null 2>&1; then
  step "WARNING: this kernel runs no 32-bit programs; the Windows tests run as 64-bit programs (build-win64/)"
  test_build="$root/build-win64" winearch=win64 wine=/usr/lib/wine/wine64 wineserver=/usr/lib/wine/wineserver64
  export WINELOADER=$wine WINESERVER=$wineserver  # Debian's wrapper would pick the 32-bit Wine
  missing=()
  for p in wine64 gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] || apt_get install -y -qq --no-install-recommends "${missing[@]}"
  if [ ! -f "$test_build/build.ninja" ]; then
    cmake -S "$root" -B "$test_build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DHALVEX_WERROR=$werror -DHALVEX_BENCH=OFF \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/MingwX8664.cmake" -DHALVEX_WINDOWS_DEPS="$deps" \
      -DXERCES_SOURCE_DIR="$xerces_src" "${launcher[@]}" >/dev/null
  fi
  # Only the programs that need neither Lua nor Xerces (those are built for i686 only).
  nice cmake --build "$test_build" -j "$jobs" --target windows_platform_tests windows_dataserver_tests \
    windows_simlink_tests halvex-server windows_exchange_timing
fi

# ---- Wine prefix with the "Tahoma" face, and a virtual display ---------------------------------
export WINEPREFIX="$test_build/wine" WINEARCH=$winearch WINEDEBUG=-all
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  step "creating the Wine prefix"
  "$wine" wineboot -i >/dev/null 2>&1
  "$wineserver" -w
fi
fonts="$WINEPREFIX/drive_c/windows/Fonts"
mkdir -p "$fonts"
for f in tahoma.ttf tahomabd.ttf; do
  [ -f "$fonts/$f" ] || cp "/usr/share/wine/fonts/$f" "$fonts/"
done

display=99
while [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 </dev/null &
xvfb_pid=$!
cleanup() {
  "$wineserver" -k 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
export DISPLAY=":$display"
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
# One server and one set of Wine's own services for all the test programs, started with their
# output on /dev/null: services started by a test would keep ctest's pipes open after it ends.
"$wineserver" -p >/dev/null 2>&1 </dev/null
"$wine" wineboot >/dev/null 2>&1 </dev/null
step "running the Windows tests"
(cd "$test_build" && ctest --output-on-failure -j 1)
step "exchange timing (halvex-server.exe and a client, real window messages)"
"$wine" "$test_build/tests/windows/windows_exchange_timing.exe" 500
