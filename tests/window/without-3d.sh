#!/bin/sh
# Runs a test program in a Wine prefix of its own in which Wine offers no Direct3D device.
#   without-3d.sh WINE-RUN ARCH PREFIX PROGRAM [ARGUMENTS...]
# Wine reads the renderer when Direct3D starts in a process, so it is set before the program runs.
set -eu
wine_run=$1
arch=$2
prefix=$3
shift 3
"$wine_run" --arch "$arch" --prefix "$prefix" reg add 'HKCU\Software\Wine\Direct3D' /v renderer /t REG_SZ /d no3d /f >/dev/null
# On disk before the program's session of the prefix starts, whatever the server's timing.
"$wine_run" --arch "$arch" --prefix "$prefix" --wait
exec "$wine_run" --arch "$arch" --prefix "$prefix" "$@"
