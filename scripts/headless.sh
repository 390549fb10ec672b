# Sourced by the scripts: a private X display and a private Wine prefix for this run,
# both stopped when the calling script exits (also on failure).

headless_start() {
    local prefix=$1 announced display
    # Xvfb picks a free display itself and names it once it accepts clients.
    announced=$(mktemp -u)
    mkfifo "$announced"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$announced" >/dev/null 2>&1 &
    HEADLESS_XVFB_PID=$!
    read -r display <"$announced" || true
    rm -f "$announced"
    if [ -z "$display" ]; then
        echo "headless: Xvfb did not start" >&2
        return 1
    fi
    export DISPLAY=":${display}"
    wine_prefix_start "$prefix"
    # With no window manager on the private display, Wine must place and focus its windows itself;
    # left "managed" it waits two seconds for a manager that never comes each time a popup closes.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
    trap headless_stop EXIT
}

# The private Wine prefix alone, on whatever display is current; headless_stop ends its server.
wine_prefix_start() {
    # Wine takes only an absolute prefix; a relative one would fail every command below without a word.
    HEADLESS_WINEPREFIX=$(realpath -m "$1")
    export WINEPREFIX=$HEADLESS_WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY no_proxy NO_PROXY
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "Creating Wine prefix $WINEPREFIX"
        wineboot -i >/dev/null 2>&1 || true
    fi
    wineserver -w
    # Keep one server and its services up for the whole run: the first processes of a fresh server race
    # with its start-up, and a test that starts two at once can then stall.
    wineserver -p
    # A real display has a window manager: let it manage the windows (a headless run turns this off).
    wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f >/dev/null 2>&1 || true
}

# Ends only what these functions started: never the server of some other prefix.
headless_stop() {
    if [ -n "${HEADLESS_WINEPREFIX:-}" ]; then
        WINEPREFIX=$HEADLESS_WINEPREFIX wineserver -k >/dev/null 2>&1 || true
    fi
    if [ -n "${HEADLESS_XVFB_PID:-}" ]; then
        kill "$HEADLESS_XVFB_PID" 2>/dev/null || true
        wait "$HEADLESS_XVFB_PID" 2>/dev/null || true
    fi
}
