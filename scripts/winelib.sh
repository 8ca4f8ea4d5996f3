# Shared by the scripts: build configuration, a throw-away Wine prefix, the
# sandbox its programs run in, a virtual display and one wineserver for the run.
# Source it; call wl_* functions.

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

# Every Wine program of a run, the wineserver too (it renames and deletes files for its
# programs), runs from C:\ in a sandbox in which the host's files are read-only except the
# folders the run writes: a program started from a host folder gets that folder as its current
# directory, and any program can name host files as \\?\unix\... even without drive Z:. The
# sandboxes of a prefix share a /tmp of their own, PREFIX.tmp, where the wineserver's socket is.
# Where bwrap cannot make a sandbox, says so once.
wl_pick_sandbox() {
    WL_SANDBOX=bwrap
    bwrap --ro-bind / / --dev /dev --proc /proc --unshare-pid true 2>/dev/null || WL_SANDBOX=
    [ -n "$WL_SANDBOX" ] ||
        echo "note: bwrap can make no sandbox here; Wine programs run from C:\ but can change host files" >&2
    export WL_SANDBOX
}

# wl_sandbox DIR... [-- BWRAP-ARGS...]: Wine programs of WINEPREFIX may write in the DIRs only.
wl_sandbox() {
    WL_JAIL=()
    mkdir -p "$WINEPREFIX/drive_c"
    [ -n "${WL_SANDBOX:-}" ] || return 0
    mkdir -p -m 1777 "$WINEPREFIX.tmp"
    # The trees again, in case they are under /tmp; the displays.
    WL_JAIL=(bwrap --ro-bind / / --dev /dev --proc /proc --bind "$WINEPREFIX.tmp" /tmp
        --ro-bind-try "$WL_ROOT" "$WL_ROOT" --ro-bind-try "$WL_BUILD" "$WL_BUILD"
        --ro-bind-try /tmp/.X11-unix /tmp/.X11-unix)
    [ -z "${XAUTHORITY:-}" ] || WL_JAIL+=(--ro-bind-try "$XAUTHORITY" "$XAUTHORITY")
    while [ $# -gt 0 ] && [ "$1" != -- ]; do
        mkdir -p "$1"
        WL_JAIL+=(--bind "$1" "$1")
        shift
    done
    [ $# -eq 0 ] || shift
    WL_JAIL+=("$@" --)
}

# wl_jailed COMMAND...: runs it from C:\ in the sandbox; wl_wine runs a program of the prefix.
wl_jailed() { (cd "$WINEPREFIX/drive_c" && exec "${WL_JAIL[@]}" "$@"); }
wl_wine() { wl_jailed "$WL_WINE" "$@"; }

# wl_prefix DIR [WRITABLE...]: a fresh prefix with no drive mapped to the host's root, whose
# programs may write in it and in the WRITABLE folders.
wl_prefix() {
    export WINEPREFIX=$1 WINEARCH=$WL_WINEARCH WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    rm -rf "$WINEPREFIX" "$WINEPREFIX.tmp"
    wl_sandbox "$@"
    wl_wine wineboot -i >/dev/null 2>&1 </dev/null
    wl_wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 </dev/null
    # A crashing program ends at once instead of waiting behind a dialog nobody answers.
    wl_wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 </dev/null
    wl_jailed wineserver -w
    rm -f "$WINEPREFIX/dosdevices/z:"
}

# wl_map LETTER DIR: maps a drive letter of the prefix to a host folder.
wl_map() {
    rm -f "$WINEPREFIX/dosdevices/$1:"
    ln -s "$2" "$WINEPREFIX/dosdevices/$1:"
}

wl_start_display() {
    local file i
    file=$(mktemp) || return 1
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$file" >/dev/null 2>&1 </dev/null &
    WL_XVFB=$!
    for i in $(seq 200); do
        [ -s "$file" ] && break
        sleep 0.05
    done
    i=$(cat "$file")
    rm -f "$file"
    [ -n "$i" ] || { echo "FAILED: Xvfb gave no display" >&2; return 1; }
    export DISPLAY=:$i
}

wl_start_server() {
    wl_jailed wineserver -p
    wl_wine cmd /c exit >/dev/null 2>&1 </dev/null || true
}

wl_teardown() {
    [ -n "${WINEPREFIX:-}" ] && wl_jailed wineserver -k >/dev/null 2>&1 || true
    [ -n "${WL_XVFB:-}" ] && kill "$WL_XVFB" >/dev/null 2>&1 || true
    WL_XVFB=
}
