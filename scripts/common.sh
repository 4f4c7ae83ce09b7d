# Sourced by the scripts in this folder.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
JOBS="${JOBS:-$(nproc)}"
# ccache keeps its default cache (~/.cache/ccache), shared by every checkout on this machine.

# configure BUILD_DIR [cmake args...]: configures the folder when it has no
# build yet or when the arguments differ from those of its last configuration
# (kept in BUILD_DIR/configure-args); otherwise the build alone keeps it current.
configure() {
  local dir="$1"; shift
  local stamp="$dir/configure-args" args
  args="$(printf '%s\n' "$@")"
  if [ ! -f "$dir/build.ninja" ] || [ ! -f "$stamp" ] || [ "$(cat "$stamp")" != "$args" ]; then
    # A fresh cache: an argument no longer passed must not live on in the old one.
    rm -f "$dir/CMakeCache.txt" "$stamp"
    cmake -S "$ROOT" -B "$dir" -G Ninja "$@" >/dev/null
    printf '%s\n' "$args" >"$stamp"
  fi
}

# configure_test_build: the build of scripts/test in build/test (AddressSanitizer
# and UndefinedBehaviorSanitizer, benchmarks compiled only).
configure_test_build() {
  configure "$ROOT/build/test" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" -DCMAKE_C_FLAGS_DEBUG="-O1 -g" \
    -DLUMAROLL_SANITIZE=ON -DLUMAROLL_BENCH=ON
}
