# Shared by the scripts: build configuration, a throw-away Wine prefix, a
# virtual display and one wineserver for the run. Source it; call wl_* functions.

WL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
WL_BUILD=${BUILD_DIR:-$WL_ROOT/build}

# The installers are 32-bit programs. Where this machine cannot execute 32-bit
# code (so Wine has no 32-bit side), or WL_TRY_64=1 asks for it, the same
# sources are built for x86_64 and run in a 64-bit prefix; the 32-bit programs
# are still built.
wl_pick_arch() {
    if [ "${WL_TRY_64:-}" != 1 ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
        WL_ARCH=i686
        WL_WINE=/usr/lib/wine/wine
        WL_WINEARCH=win32
    else
        WL_ARCH=x86_64
        WL_WINE=/usr/lib/wine/wine64
        WL_WINEARCH=win64
        export WINELOADER=$WL_WINE
        echo "note: tests run a 64-bit build in a 64-bit prefix (no 32-bit code runs here, or WL_TRY_64=1)" >&2
    fi
    WL_TREE=$WL_BUILD/$WL_ARCH
}

# wl_configure TREE ARCH [cmake args...]
wl_configure() {
    local tree=$1 arch=$2
    shift 2
    cmake -S "$WL_ROOT" -B "$tree" -DCMAKE_TOOLCHAIN_FILE="$WL_ROOT/cmake/mingw-$arch.cmake" \
        "$@" >/dev/null
}

wl_build() {
    # Testing on: a 64-bit run may have left the 32-bit tree configured without.
    if [ "$WL_ARCH" = i686 ]; then
        wl_configure "$WL_TREE" i686 -DBUILD_TESTING=ON
    else
        # The host-side checks read the 32-bit programs of the other tree.
        wl_configure "$WL_TREE" "$WL_ARCH" -DBUILD_TESTING=ON -DSHIPPED_BUILD="$WL_BUILD/i686"
    fi
    cmake --build "$WL_TREE" -j"$(nproc)"
    if [ "$WL_ARCH" != i686 ]; then
        wl_configure "$WL_BUILD/i686" i686 -DBUILD_TESTING=OFF
        cmake --build "$WL_BUILD/i686" -j"$(nproc)"
    fi
}

# wl_prefix DIR: a fresh prefix with no drive mapped to the host's root.
wl_prefix() {
    export WINEPREFIX=$1 WINEARCH=$WL_WINEARCH WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    rm -rf "$WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
    "$WL_WINE" wineboot -i >/dev/null 2>&1 </dev/null
    "$WL_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 </dev/null
    # A crashing program ends at once instead of waiting behind a dialog nobody answers.
    "$WL_WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 </dev/null
    wineserver -w
    rm -f "$WINEPREFIX/dosdevices/z:"
}

# wl_map LETTER DIR: maps a drive letter of the prefix to a host folder.
wl_map() {
    rm -f "$WINEPREFIX/dosdevices/$1:"
    ln -s "$2" "$WINEPREFIX/dosdevices/$1:"
}

wl_start_display() {
    local n
    for n in $(seq 90 250); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 </dev/null &
        WL_XVFB=$!
        local i
        for i in $(seq 100); do
            [ -e "/tmp/.X11-unix/X$n" ] && break
            kill -0 "$WL_XVFB" 2>/dev/null || break
            sleep 0.05
        done
        if [ -e "/tmp/.X11-unix/X$n" ] && kill -0 "$WL_XVFB" 2>/dev/null; then
            export DISPLAY=":$n"
            return 0
        fi
    done
    echo "no free X display" >&2
    return 1
}

wl_start_server() {
    wineserver -p
    "$WL_WINE" cmd /c exit >/dev/null 2>&1 </dev/null || true
}

wl_teardown() {
    [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1 || true
    [ -n "${WL_XVFB:-}" ] && kill "$WL_XVFB" >/dev/null 2>&1 || true
    WL_XVFB=
}
