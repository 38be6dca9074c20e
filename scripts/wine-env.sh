# Sourced by the scripts that run Windows programs under Wine:
#   . scripts/wine-env.sh
#   wine_env_start BUILD_DIR    ... "$WINE" PROGRAM.exe ...    wine_env_stop
# Gives BUILD_DIR a Wine prefix of its own (made once, about 15 s), and keeps
# a wineserver alive until wine_env_stop, so that each program started under
# it does not pay for a new server.
#
# Programs in the prefix run on a virtual desktop of 800 x 600 named
# "Morvelin" (HKCU\Software\Wine\Explorer): unlike the bare X root window it
# paints the wallpaper, and, unlike "explorer /desktop=...", a program run
# directly on it hands its exit status back. Running programs needs an X
# display (DISPLAY; e.g. under xvfb-run).
WINE_DESKTOP_NAME=Morvelin
WINE_DESKTOP_SIZE=800x600

wine_env_start() {
  export WINEPREFIX="$(cd "$1" && pwd)/wineprefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEARCH=win64
  WINE=/usr/lib/wine/wine64
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine-env: making a Wine prefix in $WINEPREFIX" >&2
    "$WINE" wineboot -i >/dev/null 2>&1
    wineserver -w
  fi
  wineserver -p 2>/dev/null || true  # one that already runs is used as it is
  wine_env_virtual_desktop
}

# The desktop setting is read when a program opens its desktop, so it takes
# effect for every program started after it is written.
wine_env_virtual_desktop() {
  if ! "$WINE" reg query 'HKCU\Software\Wine\Explorer\Desktops' /v "$WINE_DESKTOP_NAME" 2>/dev/null |
      grep -q "$WINE_DESKTOP_SIZE"; then
    "$WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d "$WINE_DESKTOP_NAME" /f >/dev/null
    "$WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v "$WINE_DESKTOP_NAME" \
      /d "$WINE_DESKTOP_SIZE" /f >/dev/null
  fi
}

wine_env_stop() {
  wineserver -k 2>/dev/null || true
}
