#!/bin/sh
# Runs the Windows suite under Wine on a virtual X display.
#   run_suite.sh BUILD_DIR SUITE_EXE [suite arguments...]
# The prefix is BUILD_DIR/wineprefix; its desktop is a virtual one that
# paints the wallpaper. The suite's own exit status is this script's.
set -eu
build_dir=$1 suite=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)

if [ -z "${MORVELIN_IN_XVFB:-}" ]; then
  # -s: a screen deeper than xvfb-run's default 8 bits, so colours read back
  # exactly.
  MORVELIN_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$build_dir" "$suite" "$@"
fi

. "$source_dir/scripts/wine-env.sh"
wine_env_start "$build_dir"
status=0
"$WINE" "$suite" "$@" || status=$?
wine_env_stop
exit "$status"
