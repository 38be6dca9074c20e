# Sourced by the scripts that run Windows programs under Wine:
#   . scripts/wine-env.sh BUILD_DIR
# Gives BUILD_DIR a Wine prefix of its own (made once, about 15 s), and keeps
# a wineserver alive until wine_env_stop, so that each program started under
# it does not pay for a new server.
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
  wineserver -p
}

wine_env_stop() {
  wineserver -k 2>/dev/null || true
}
