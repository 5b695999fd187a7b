#!/bin/sh
# Runs Ostrevan.exe under Wine's relay trace, kept to MessageBoxW, and checks its one call with
# every argument: no owner, the notice, the caption and the flags 0 (MB_OK alone). A flag such as
# MB_TOPMOST changes nothing that Wine shows, so only the call tells.
#   ostrevan-box-call.sh WINE-RUN ARCH PREFIX OSTREVAN
# The prefix runs without a display: the box cannot be made, so MessageBoxW returns at once and
# nothing has to press OK. The box a user sees is checked by ostrevan_program.
set -eu
wine_run=$1
arch=$2
prefix=$3
program=$4
trace=$prefix.trace

env -u DISPLAY "$wine_run" --arch "$arch" --prefix "$prefix" \
  reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /t REG_SZ /d user32.MessageBoxW /f >/dev/null
# Ostrevan's own session of the prefix starts afresh, with the setting on disk.
"$wine_run" --arch "$arch" --prefix "$prefix" --wait
status=0
env -u DISPLAY WINEDEBUG=-all,+relay "$wine_run" --arch "$arch" --prefix "$prefix" "$program" 2>"$trace" \
  || status=$?
# The trace is whole only once every process of the prefix has ended.
"$wine_run" --arch "$arch" --prefix "$prefix" --wait
if [ "$status" -ne 0 ]; then
  echo "Ostrevan exited with $status" >&2
  exit 1
fi

calls=$(grep ':Call user32\.MessageBoxW(' "$trace" || true)
# 32-bit Wine prints a pointer in 8 digits, 64-bit Wine in as many as it needs.
expected='^[0-9a-f]+:Call user32\.MessageBoxW\(0+,[0-9a-f]+ L"DirectX 6 hardware mode is no longer supported\.",[0-9a-f]+ L"Vantorel: Dawnmere",0+\) ret=[0-9a-f]+$'
if [ "$(printf '%s\n' "$calls" | grep -c .)" -ne 1 ] || ! printf '%s\n' "$calls" | grep -Eq "$expected"; then
  echo 'expected one call MessageBoxW(null, L"DirectX 6 hardware mode is no longer supported.", L"Vantorel: Dawnmere", 0); the trace shows:' >&2
  printf '%s\n' "${calls:-(no call)}" >&2
  exit 1
fi
