# Sourced by the scripts in this folder.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
JOBS="${JOBS:-$(nproc)}"
# ccache keeps its default cache (~/.cache/ccache), shared by every checkout on this machine.

# configure BUILD_DIR [cmake args...]: configure once, then only build.
configure() {
  local dir="$1"; shift
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$ROOT" -B "$dir" -G Ninja "$@" >/dev/null
  fi
}
