#!/bin/bash
# Builds gridbloom.scr and runs it as the screen saver ("/S") under Wine.
#
# With $DISPLAY set, the saver covers that display until a key, a click or a
# pointer movement ends it. Without one, it runs on a virtual display of its
# own; a screenshot is saved and its path printed, and the saver is ended.
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$repo"

bash tools/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows

export WINEPREFIX="$repo/build/wine-run"
export WINEARCH=win32 WINEDEBUG=-all LANG=C.UTF-8
mkdir -p build/screenshots

xvfb_pid=""
saver_pid=""
cleanup() {
    if [ -n "$saver_pid" ] && kill -0 "$saver_pid" 2>/dev/null; then kill "$saver_pid" 2>/dev/null || true; fi
    wineserver -k 2>/dev/null || true
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
}
trap cleanup EXIT

interactive=1
if [ -z "${DISPLAY:-}" ]; then
    interactive=0
    exec {fd}< <(Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp 2>/dev/null & echo "pid $!"; wait)
    read -r _ xvfb_pid <&"$fd"
    read -r number <&"$fd"
    export DISPLAY=":$number"
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Preparing a Wine prefix in build/wine-run (once, about 15 s)..."
    wineboot -i >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
fi
if [ "$interactive" -eq 0 ]; then
    # No window manager runs on the virtual display.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
else
    wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f >/dev/null 2>&1 || true
fi

# Park the pointer away from where the saver ends on movement.
xdotool mousemove 400 300 2>/dev/null || true
wine build/windows/gridbloom.scr /S &
saver_pid=$!

if [ "$interactive" -eq 1 ]; then
    echo "The saver runs on $DISPLAY: press a key, click or move the pointer over the board to end it."
    wait "$saver_pid" || true
    saver_pid=""
    exit 0
fi

for _ in $(seq 150); do
    if xdotool search --onlyvisible --name '^グリッドブルーム$' >/dev/null 2>&1; then break; fi
    sleep 0.1
done
sleep 1.5  # a few generations, so the screenshot shows the board evolving
shot="build/screenshots/saver.png"
/usr/bin/python3 -c 'import sys; from PIL import ImageGrab; ImageGrab.grab(xdisplay=sys.argv[1]).save(sys.argv[2])' \
    "$DISPLAY" "$shot"
echo "Screenshot of the running saver: $repo/$shot"
xdotool key space
for _ in $(seq 50); do
    kill -0 "$saver_pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$saver_pid" 2>/dev/null; then
    echo "The saver did not end on a key press" >&2
    exit 1
fi
saver_pid=""
echo "The saver ended on a key press."
