# Shared by scripts/build, scripts/test and scripts/run. Sourced, not run.
set -euo pipefail

REPO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_ROOT="${BUILD_ROOT:-$REPO_ROOT/build}"
export WINEPREFIX="${WINEPREFIX:-$BUILD_ROOT/wine}"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winealsa.drv,winepulse.drv="

say() { printf '\n==> %s\n' "$*"; }
die() { printf '\nerror: %s\n' "$*" >&2; exit 1; }

# Everything a fresh Debian 12 machine lacks for building and testing both trees.
APT_PACKAGES=(cmake make g++ clang clang-format libclang-rt-14-dev googletest
              g++-mingw-w64-x86-64-posix wine wine64 xvfb xauth locales
              imagemagick x11-apps x11-utils sox xdotool mdbtools)

ensure_packages() {
    local missing=()
    for p in "${APT_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    if ((${#missing[@]})); then
        say "installing missing packages: ${missing[*]}"
        local sudo=""
        [ "$(id -u)" -eq 0 ] || sudo="sudo"
        $sudo apt-get update -q || die "apt-get update failed"
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}" \
            || die "could not install: ${missing[*]}"
    fi
    # Turkish file names only survive the trip between Linux and the W APIs under a UTF-8 locale.
    if ! locale -a 2>/dev/null | grep -qi '^tr_TR\.utf-\?8$'; then
        say "generating the tr_TR.UTF-8 locale"
        local sudo=""
        [ "$(id -u)" -eq 0 ] || sudo="sudo"
        $sudo localedef -i tr_TR -f UTF-8 tr_TR.UTF-8 || die "could not generate tr_TR.UTF-8"
    fi
}

wine_env() {
    export LC_ALL=tr_TR.UTF-8
}

# A private prefix, made once and reused: fonts copied in (Debian's Wine looks in the wrong folder),
# one virtual desktop so that top-level windows behave as under a window manager.
ensure_prefix() {
    wine_env
    if [ ! -f "$WINEPREFIX/.firmabakim-ready" ]; then
        say "creating the Wine prefix $WINEPREFIX"
        mkdir -p "$WINEPREFIX"
        wineboot -i >/dev/null 2>&1 || true
        wineserver -w || true
        mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
        cp -n /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
        wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
        wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
        wineserver -w || true
        touch "$WINEPREFIX/.firmabakim-ready"
    fi
}

XVFB_PID=""
DESKTOP_PID=""

# Starts a virtual display (unless USE_DISPLAY is set and one is given), a persistent wineserver
# and the desktop process, so that each Windows program starts in a tenth of a second.
start_wine_session() {
    ensure_prefix
    if [ -z "${USE_DISPLAY:-}" ] || [ -z "${DISPLAY:-}" ]; then
        local n
        for n in $(seq 91 140); do
            [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || break
        done
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
        XVFB_PID=$!
        export DISPLAY=":$n"
        local i
        for i in $(seq 1 50); do
            [ -e "/tmp/.X11-unix/X$n" ] && break
            sleep 0.1
        done
        [ -e "/tmp/.X11-unix/X$n" ] || die "Xvfb did not start on $DISPLAY"
    fi
    wineserver -p
    wine explorer /desktop=Default,1024x768 >/dev/null 2>&1 &
    DESKTOP_PID=$!
    sleep 1
    trap stop_wine_session EXIT
}

stop_wine_session() {
    wineserver -k 2>/dev/null || true
    [ -n "$DESKTOP_PID" ] && kill "$DESKTOP_PID" 2>/dev/null || true
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=""
    DESKTOP_PID=""
}
