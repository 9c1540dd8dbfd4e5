# Shared by the project's Wine scripts (sourced, not run).
#
# Two architectures: win32 (the 32-bit program, Wine's 32-bit loader) and
# win64 (the 64-bit build, Wine's 64-bit loader).  Each has its own build
# tree, build/win32 or build/win64, and its prefixes inside it.  Some
# machines cannot execute 32-bit Linux programs at all; there only win64
# runs.  VMT_WINE_ARCHS (for example "win64") limits the architectures the
# scripts run on any machine.

VMT_WINE32_LOADER=${VMT_WINE32_LOADER:-/usr/lib/wine/wine}
VMT_WINE64_LOADER=${VMT_WINE64_LOADER:-/usr/lib/wine/wine64}

# The loader of an architecture.
wine_loader() {
  case "$1" in
    win32) echo "$VMT_WINE32_LOADER" ;;
    win64) echo "$VMT_WINE64_LOADER" ;;
    *) echo "unknown Wine architecture '$1' (win32 or win64)" >&2; return 2 ;;
  esac
}

# True when this machine runs the architecture's loader.  WINE_WHY says why
# not otherwise.  Asks the loader for its version: instant where it runs.
# Exit 126 is a loader that could not be executed: for the 32-bit one, the
# sign of a machine without 32-bit execution; for the 64-bit one, whatever
# its message names (a permission, say).
wine_runs() {
  local loader out rc
  loader=$(wine_loader "$1") || return 2
  if [ ! -e "$loader" ]; then
    WINE_WHY="Wine's $1 loader $loader is not installed (scripts/deps.sh installs it)"
    return 1
  fi
  if [ ! -x "$loader" ]; then
    WINE_WHY="Wine's $1 loader $loader is not executable (check its permissions)"
    return 1
  fi
  out=$("$loader" --version 2>&1 </dev/null) && return 0
  rc=$?
  case "$1:$rc:$out" in
    win32:126:*|win32:*"Exec format error"*)
      WINE_WHY="this machine cannot execute 32-bit programs ($loader --version: exit $rc, ${out##*: })" ;;
    *:126:*)
      WINE_WHY="$loader could not be executed ($loader --version: exit $rc, ${out##*: })" ;;
    *) WINE_WHY="$loader --version failed (exit $rc): $(printf '%s' "$out" | tail -n 1)" ;;
  esac
  return 1
}

# Sets WINE_ARCHS to the architectures to run, in order (win32 first), from
# VMT_WINE_ARCHS (default both) and what this machine runs, and WINE_LEFT_OUT
# to why any is left out; prints one line that says both.  Fails when none is
# left, or when VMT_WINE_ARCHS names an unknown architecture.
wine_plan() {
  local wanted=${VMT_WINE_ARCHS:-win32 win64} a why=""
  wanted=${wanted//,/ }
  for a in $wanted; do
    case "$a" in win32|win64) ;; *)
      echo "VMT_WINE_ARCHS='$VMT_WINE_ARCHS': unknown architecture '$a' (use win32, win64 or both)" >&2
      return 2 ;;
    esac
  done
  WINE_ARCHS=""
  for a in win32 win64; do
    case " $wanted " in
      *" $a "*)
        if wine_runs "$a"; then WINE_ARCHS="$WINE_ARCHS $a"
        else why="$why; $a not run: $WINE_WHY"; fi ;;
      *) why="$why; $a not run: VMT_WINE_ARCHS=$VMT_WINE_ARCHS" ;;
    esac
  done
  WINE_ARCHS=${WINE_ARCHS# }
  WINE_LEFT_OUT=${why#; }
  if [ -z "$WINE_ARCHS" ]; then
    echo "Wine: no architecture can run here${WINE_LEFT_OUT:+ ($WINE_LEFT_OUT)}" >&2
    return 1
  fi
  echo "Wine: running ${WINE_ARCHS// / and }${WINE_LEFT_OUT:+ ($WINE_LEFT_OUT)}"
}

# Runs a command with its output in a file.  On failure prints the command,
# its exit code, the last lines of its output and, where the cause is known,
# a hint; returns the command's exit code.
wine_try() {
  local log rc
  log=$(mktemp)
  "$@" </dev/null >"$log" 2>&1 && { rm -f "$log"; return 0; }
  rc=$?
  {
    echo "FAILED (exit $rc): $*"
    tail -n 15 "$log" | sed 's/^/  | /'
    wine_hint "$rc" "$log"
  } >&2
  rm -f "$log"
  return $rc
}

# A hint for a failed Wine command, from its exit code and output file.  Only
# an "Exec format error" of a 32-bit program (WINEARCH win32) means a machine
# without 32-bit execution; another exit 126 is a program not executable.
wine_hint() {
  if [ "${WINEARCH:-win32}" = win32 ] && grep -q 'Exec format error' "$2" 2>/dev/null; then
    echo "  hint: this machine cannot execute 32-bit programs; run the 64-bit build (VMT_WINE_ARCHS=win64)"
  elif [ "$1" = 126 ]; then
    echo "  hint: the program could not be executed (its message is above); check that it is executable and that its file system allows execution"
  elif [ "$1" = 127 ] || grep -q 'not found' "$2" 2>/dev/null; then
    echo "  hint: a package is missing; scripts/deps.sh installs Wine and the cross compilers"
  elif grep -qiE "cannot open display|no driver could be loaded|X server" "$2" 2>/dev/null; then
    echo "  hint: no display; unset DISPLAY to let the scripts start Xvfb, or start one"
  elif grep -q 'is a 32-bit installation\|is a 64-bit installation\|WINEARCH set to' "$2" 2>/dev/null; then
    echo "  hint: the prefix was made for the other architecture; delete it to have it made anew"
  fi
}

# Runs a Windows program with the selected architecture's loader.
vmt_wine() {
  "$(wine_loader "$WINEARCH")" "$@"
}

# The architecture recorded in an existing prefix (win32 or win64), if any.
prefix_arch() {
  sed -n 's/^#arch=//p' "$1/system.reg" 2>/dev/null | head -n 1
}

# Selects the prefix (made absolute) and its architecture, and creates the
# prefix when missing.  The architecture is the second argument, else
# WINEARCH, else the one the prefix was made with, else win32.  Creation is
# serialised, so parallel callers wait for one wineboot; a failure says why.
prefix_create() {
  mkdir -p "$1"
  export WINEPREFIX
  WINEPREFIX=$(cd "$1" && pwd)
  export WINEARCH=${2:-${WINEARCH:-$(prefix_arch "$WINEPREFIX")}}
  WINEARCH=${WINEARCH:-win32}
  export WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
  if [ "$WINEARCH" = win64 ]; then export WINELOADER=$VMT_WINE64_LOADER; else unset WINELOADER; fi
  local made
  made=$(prefix_arch "$WINEPREFIX")
  if [ -n "$made" ] && [ "$made" != "$WINEARCH" ]; then
    echo "prefix $WINEPREFIX is $made, not $WINEARCH; delete it to have it made anew" >&2
    return 1
  fi
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    ( flock 9
      if [ ! -f "$WINEPREFIX/system.reg" ]; then
        wine_try vmt_wine wineboot -i || {
          echo "could not create the $WINEARCH Wine prefix $WINEPREFIX" >&2
          rm -f "$WINEPREFIX/system.reg"
          exit 1
        }
      fi
      wineserver -w
    ) 9>"$WINEPREFIX.lock"
  fi
}

# Starts a private Xvfb on a free display of the given size and exports
# DISPLAY; XVFB_PID is the server's process.  Xvfb writes the display's
# number once it accepts clients.  When no number comes, or the server has
# gone, prints Xvfb's command, exit code and own error output, ends it and
# fails.
start_xvfb() {
  local err num dnum="" rc=0
  err=$(mktemp); num=$(mktemp)
  local cmd=(Xvfb -displayfd 3 -screen 0 "${1:-1024x768x24}" -nolisten tcp)
  "${cmd[@]}" 3>"$num" 2>"$err" </dev/null &
  XVFB_PID=$!
  for _ in $(seq 300); do
    read -r dnum <"$num" || true
    [ -n "$dnum" ] && break
    kill -0 "$XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  if [ -n "$dnum" ] && kill -0 "$XVFB_PID" 2>/dev/null; then
    rm -f "$err" "$num"
    export DISPLAY=":$dnum"
    return 0
  fi
  if kill -0 "$XVFB_PID" 2>/dev/null; then
    kill "$XVFB_PID" 2>/dev/null || true
    echo "Xvfb gave no display number within 30 s" >>"$err"
  fi
  wait "$XVFB_PID" || rc=$?
  {
    echo "FAILED (exit $rc): ${cmd[*]}"
    tail -n 15 "$err" | sed 's/^/  | /'
    [ "$rc" != 127 ] || echo "  hint: Xvfb is missing; scripts/deps.sh installs it"
    echo "Xvfb did not start: there is no display to run the program on"
  } >&2
  rm -f "$err" "$num"
  XVFB_PID=""
  return 1
}
