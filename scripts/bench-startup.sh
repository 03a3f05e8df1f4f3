#!/usr/bin/env bash
# How long the main window takes to appear, against a minimal Win32 window, under warm Wine.
#
#   scripts/bench-startup.sh [--runs N] VELMORA.EXE [OTHER-VELMORA.EXE...]
#
# Each run starts every program once, interleaved (the plain window first), each in a package
# folder of its own with an ip.ini, and times it from the start of `wine` until its top-level
# window is mapped on the X display; then the program is killed and the prefix is left to settle
# (no program of the prefix still running) before the next start. One untimed round warms Wine up.
# Prints each program's runs and median; the last line is VELMORA.EXE's median over the plain
# window's. Further programs (an earlier build) are measured in the same runs, for comparison.
#
# Needs what the Wine tests need, plus gcc and libx11-dev for the timer. Settings as in
# tests/e2e/wine-env.sh (VELMORA_WINEPREFIX, VELMORA_DISPLAY).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

runs=11
if [[ ${1:-} == --runs ]]; then
  runs=$2
  shift 2
fi
if [[ $# -lt 1 ]] || ! [[ $runs =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: $0 [--runs N] VELMORA.EXE [OTHER-VELMORA.EXE...]" >&2
  exit 2
fi
programs=()
for exe in "$@"; do
  [[ -f $exe ]] || {
    echo "bench-startup: no such program: $exe" >&2
    exit 2
  }
  programs+=("$(realpath "$exe")")
done
for tool in gcc x86_64-w64-mingw32-gcc wine; do
  command -v "$tool" >/dev/null || {
    echo "bench-startup: $tool is missing" >&2
    exit 1
  }
done
[[ -f /usr/include/X11/Xlib.h ]] || {
  echo "bench-startup: Xlib's headers are missing (install libx11-dev)" >&2
  exit 1
}

work=$(mktemp -d /tmp/velmora-bench.XXXXXX)
# shellcheck source=tests/e2e/wine-env.sh
source "$root/tests/e2e/wine-env.sh"
velmora_on_exit "rm -rf '$work'"

title='Velmora  安裝驅動程式  '
plain_title='Velmora plain window'

# The timer: starts a command, watches the root window for a mapped top-level window with the
# given title, prints the milliseconds in between, and kills the command's process.
cat >"$work/timer.c" <<'EOF'
#define _GNU_SOURCE
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double now_ms(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

/* Windows come and go while we look at them; their errors are expected. */
static int ignore_errors(Display* d, XErrorEvent* e) { (void)d; (void)e; return 0; }

static int titled(Display* d, Window w, const char* title) {
    Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
    Atom name = XInternAtom(d, "_NET_WM_NAME", False);
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = NULL;
    int same = 0;
    if (XGetWindowProperty(d, w, name, 0, 1024, False, utf8, &type, &format, &count, &after,
                           &data) == Success && data) {
        same = count == strlen(title) && memcmp(data, title, count) == 0;
        XFree(data);
    }
    return same;
}

static int mapped(Display* d, Window w) {
    XWindowAttributes a;
    return XGetWindowAttributes(d, w, &a) && a.map_state == IsViewable;
}

int main(int argc, char** argv) {
    if (argc < 4) {
        fprintf(stderr, "usage: timer TIMEOUT-MS TITLE COMMAND ARGS...\n");
        return 2;
    }
    double timeout = atof(argv[1]);
    const char* title = argv[2];
    Display* d = XOpenDisplay(NULL);
    if (!d) {
        fprintf(stderr, "timer: no display\n");
        return 1;
    }
    XSetErrorHandler(ignore_errors);
    Window root = DefaultRootWindow(d);
    XSelectInput(d, root, SubstructureNotifyMask);
    XSync(d, False);
    double start = now_ms();
    pid_t child = fork();
    if (child == 0) {
        execvp(argv[3], argv + 3);
        _exit(127);
    }
    int found = 0;
    while (!found) {
        double left = start + timeout - now_ms();
        if (left <= 0)
            break;
        if (!XPending(d)) {
            struct pollfd p = {ConnectionNumber(d), POLLIN, 0};
            poll(&p, 1, (int)left + 1);
            continue;
        }
        XEvent e;
        XNextEvent(d, &e);
        if (e.type == CreateNotify) {
            XSelectInput(d, e.xcreatewindow.window, PropertyChangeMask);
        } else if (e.type == MapNotify) {
            found = titled(d, e.xmap.window, title);
        } else if (e.type == PropertyNotify) {
            found = titled(d, e.xproperty.window, title) && mapped(d, e.xproperty.window);
        }
    }
    double elapsed = now_ms() - start;
    kill(child, SIGKILL);
    waitpid(child, NULL, 0);
    if (!found) {
        fprintf(stderr, "timer: no window \"%s\" within %.0f ms\n", title, timeout);
        return 1;
    }
    printf("%.0f\n", elapsed);
    return 0;
}
EOF

# The yardstick: a window and nothing else.
cat >"$work/plain.c" <<'EOF'
#include <windows.h>

static LRESULT CALLBACK proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_DESTROY)
        PostQuitMessage(0);
    return DefWindowProcW(w, m, wp, lp);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR line, int show) {
    (void)previous;
    (void)line;
    WNDCLASSW c = {0};
    c.lpfnWndProc = proc;
    c.hInstance = instance;
    c.hCursor = LoadCursorW(NULL, (LPCWSTR)IDC_ARROW);
    c.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    c.lpszClassName = L"PlainWindow";
    RegisterClassW(&c);
    HWND w = CreateWindowExW(0, L"PlainWindow", L"Velmora plain window", WS_OVERLAPPEDWINDOW,
                             CW_USEDEFAULT, CW_USEDEFAULT, 335, 190, NULL, NULL, instance, NULL);
    ShowWindow(w, show);
    UpdateWindow(w);
    MSG m;
    while (GetMessageW(&m, NULL, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
    return 0;
}
EOF

gcc -O2 -Wall -Wextra -Werror -o "$work/timer" "$work/timer.c" -lX11
mkdir -p "$work/plain"
x86_64-w64-mingw32-gcc -O2 -Wall -Wextra -Werror -municode -mwindows -o "$work/plain/plain.exe" \
  "$work/plain.c"

velmora_env_up

# Package folders: the plain window's, then one per program, each with the same profile.
folders=("$work/plain")
for i in "${!programs[@]}"; do
  folders+=("$work/p$i")
  mkdir -p "$work/p$i"
  cp "${programs[i]}" "$work/p$i/Velmora.exe"
  printf 'ip,192.168.0.250,Office,Model X,x.inf,100\r\n' >"$work/p$i/ip.ini"
done

# Processes of this prefix still at work (the program, or the command it started).
busy() {
  local pid
  for pid in $(pgrep -f -i 'velmora\.exe|plain\.exe|reg\.exe' || true); do
    [[ $(readlink "/proc/$pid/exe" 2>/dev/null) == *wine* ]] || continue
    if tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX"; then
      return 0
    fi
  done
  return 1
}
settled() { ! busy; }

# time_one INDEX: milliseconds to the window of folder INDEX.
time_one() {
  local folder=${folders[$1]} exe=Velmora.exe want=$title ms
  if (($1 == 0)); then
    exe=plain.exe
    want=$plain_title
  fi
  velmora_poll 30 settled || {
    echo "bench-startup: the prefix did not settle" >&2
    return 1
  }
  ms=$(cd "$folder" && "$work/timer" 30000 "$want" wine "$exe" 2>>"$VELMORA_E2E_LOG/wine.log") || {
    echo "bench-startup: $folder/$exe showed no window (see $VELMORA_E2E_LOG)" >&2
    return 1
  }
  echo "$ms"
}

median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

for i in "${!folders[@]}"; do time_one "$i" >/dev/null; done
declare -A times=()
for ((run = 1; run <= runs; run++)); do
  line="run $run:"
  for i in "${!folders[@]}"; do
    ms=$(time_one "$i")
    times[$i]+="$ms "
    line+=" $ms"
  done
  echo "# $line ms"
done

# shellcheck disable=SC2086  # the lists are numbers separated by blanks
plain=$(median ${times[0]})
echo "plain window: median $plain ms (${times[0]% })"
last=
for ((i = 1; i < ${#folders[@]}; i++)); do
  # shellcheck disable=SC2086
  m=$(median ${times[$i]})
  ratio=$(awk -v a="$m" -v b="$plain" 'BEGIN { printf "%.2f", a / b }')
  [[ -n $last ]] || last="ratio $ratio"
  echo "${programs[i - 1]}: median $m ms (${times[$i]% }), ${ratio}x the plain window"
done
echo "$last"
