#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# Installs what is missing, builds, and runs the application from the build tree with its
# privileged helper on a private bus (see README). Without a display it runs on a virtual X
# display, saves a screenshot of the main window, prints its path and closes the application.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build="$top/build"

"$top/scripts/install-deps.sh"
"$top/scripts/build.sh" "$build" -DBUILD_TESTING=OFF
export KRO_BUILD_DIR="$build"
app="$build/app/kro-sosreport"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$top/scripts/with-private-bus.sh" -- "$app"
fi

# A demonstration run: its own settings, with the debug modules shipped in the source tree, so no
# question about a missing module folder holds the window back.
demo_config=$(mktemp -d)
mkdir -p "$demo_config/kro"
printf '[General]\ndebugjson=%s\n' "$top/data/debugmodules" > "$demo_config/kro/kro-sosreport.ini"
export XDG_CONFIG_HOME="$demo_config"

screenshot="${KRO_SCREENSHOT:-$top/kro-sosreport-screenshot.png}"
display=":$(( $$ % 1000 + 100 ))"
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$demo_config"' EXIT INT TERM
export DISPLAY="$display"
for _ in $(seq 50); do
    xdotool getmouselocation >/dev/null 2>&1 && break
    sleep 0.1
done

"$top/scripts/with-private-bus.sh" -- "$app" &
app_pid=$!
window=$(timeout 60 xdotool search --sync --onlyvisible --name '^System report center$' | head -n 1)
# The first frames are drawn right after mapping; wait until the window reports its full size.
timeout 10 sh -c "until xdotool getwindowgeometry $window | grep -q 'Geometry: [0-9]\{3,\}x'; do sleep 0.1; done"
sleep 1
import -window "$window" "$screenshot"
echo "Screenshot of the main window: $screenshot"

# Close through the window's own Exit action so that it saves its settings and quits normally.
xdotool windowfocus --sync "$window" key --clearmodifiers alt+f
sleep 0.5
xdotool key e
if ! timeout 20 sh -c "while kill -0 $app_pid 2>/dev/null; do sleep 0.2; done"; then
    kill "$app_pid" 2>/dev/null || true
fi
wait "$app_pid" || true
