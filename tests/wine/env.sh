# Environment of every wine run of the tests (sourced; $state is the state folder
# in the build tree, where the prefix, the display number and the logs live).
# state: set by the caller
export WINEPREFIX="$state/prefix"
export WINEDEBUG=-all
# No installer dialogs for Mono or Gecko.
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
# OpenGL through Mesa's software renderer: the same pictures on every machine.
export LIBGL_ALWAYS_SOFTWARE=1
loader=${KYT_WINE_LOADER:-/usr/lib/wine/wine64}
server=${KYT_WINE_SERVER:-/usr/lib/wine/wineserver}
if [ -f "$state/display" ]; then
  export DISPLAY=":$(cat "$state/display")"
fi
