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

# Run from the source tree, the application keeps its settings in the build folder and reads the
# debug modules shipped in the source tree, which are not installed in /usr/share yet.
run_config="$build/run-config"
if [ ! -f "$run_config/kro/kro-sosreport.ini" ]; then
    mkdir -p "$run_config/kro"
    printf '[General]\ndebugjson=%s\n' "$top/data/debugmodules" > "$run_config/kro/kro-sosreport.ini"
fi

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec env XDG_CONFIG_HOME="$run_config" "$top/scripts/with-private-bus.sh" -- "$app"
fi

# A demonstration run: its own settings, with the debug modules shipped in the source tree, so no
# question about a missing module folder holds the window back.
# The table lists a few sample archives, named as sos names them: a plain one, a protected one
# and an obfuscated one, so that the screenshots show every column and mark.
demo_config=$(mktemp -d)
demo_reports="$demo_config/reports"
mkdir -p "$demo_config/kro" "$demo_reports"
for name in sosreport-workstation-2024-05-02-kqzcvbn.tar.xz \
            sosreport-workstation-2024-05-03-obfuscated-hxwtrle.tar.xz \
            sosreport-workstation-2024-05-06-fmnpdqa.tar.xz.cpt; do
    head -c 2345678 /dev/zero > "$demo_reports/$name"
done
printf '[General]\ndebugjson=%s\ntmpdirs=%s\n' "$top/data/debugmodules" "$demo_reports" \
    > "$demo_config/kro/kro-sosreport.ini"
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

# Starts the application, saves a screenshot of its main window to $1 once it is drawn, and closes
# it through its own Exit action (Ctrl+Q) so that it saves its settings and quits normally.
screenshot_run() {
    "$top/scripts/with-private-bus.sh" -- "$app" &
    app_pid=$!
    # Found by its class: a title in another language is not matched reliably by name.
    window=$(timeout 60 xdotool search --sync --onlyvisible --class '^kro-sosreport$' | head -n 1 || true)
    if [ -z "$window" ]; then
        echo "No window of the application appeared; no screenshot $1" >&2
        kill "$app_pid" 2>/dev/null || true
        pkill -f "^$app" 2>/dev/null || true
        wait "$app_pid" || true
        return 0
    fi
    # The first frames are drawn right after mapping; wait until the window reports its full size.
    timeout 10 sh -c "until xdotool getwindowgeometry $window | grep -q 'Geometry: [0-9]\{3,\}x'; do sleep 0.1; done"
    sleep 1
    import -window "$window" "$1"
    xdotool windowfocus --sync "$window" key --clearmodifiers ctrl+q
    if ! timeout 20 sh -c "while kill -0 $app_pid 2>/dev/null; do sleep 0.2; done"; then
        kill "$app_pid" 2>/dev/null || true
    fi
    wait "$app_pid" || true
}

# In English under Adwaita, the icon theme that GNOME, Xfce, LXDE, MATE and Cinnamon give a Qt
# application, as a GNOME-like desktop gives it.
(
    export LANG=en_US.UTF-8 LANGUAGE=en XDG_CURRENT_DESKTOP=GNOME
    screenshot_run "$screenshot"
)
echo "Screenshot of the main window (English, Adwaita icons): $screenshot"

# The same window in Russian on a dark palette, given by qt5ct's "darker" colour scheme as a
# desktop with a dark scheme would give it; with no icon theme named, the application takes
# Breeze's dark variant.
dark_screenshot="${screenshot%.png}-ru-dark.png"
mkdir -p "$demo_config/qt5ct"
printf '[Appearance]\ncustom_palette=true\ncolor_scheme_path=/usr/share/qt5ct/colors/darker.conf\nstyle=Fusion\n' \
    > "$demo_config/qt5ct/qt5ct.conf"
export LANG=ru_RU.UTF-8 LANGUAGE=ru QT_QPA_PLATFORMTHEME=qt5ct
screenshot_run "$dark_screenshot"
echo "Screenshot in Russian on a dark palette: $dark_screenshot"
