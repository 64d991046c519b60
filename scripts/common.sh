# Shared by scripts/run and scripts/test: installs missing Debian packages, then configures
# and builds one build folder incrementally.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

install_packages() {
  local missing=()
  while read -r pkg; do
    [ -z "$pkg" ] && continue
    case "$pkg" in \#*) continue ;; esac
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
  done < "$ROOT/scripts/debian-packages.txt"
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# Compiler cache outside the checkout, shared by every clone on this machine (CI clones afresh
# each run, so the cache is what keeps a clean build short). Paths are rewritten relative to
# the checkout so two clones in different folders share hits.
use_ccache() {
  command -v ccache >/dev/null || return 0
  export CCACHE_DIR="${CCACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/morvane-ccache}"
  export CCACHE_BASEDIR="$ROOT"
  export CCACHE_NOHASHDIR=1
  export CCACHE_SLOPPINESS="${CCACHE_SLOPPINESS:-time_macros,include_file_mtime,include_file_ctime}"
  export CCACHE_MAXSIZE="${CCACHE_MAXSIZE:-8G}"
  CCACHE_LAUNCHER=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
}

# build_tree DIR [cmake options...]
build_tree() {
  local dir="$ROOT/$1"; shift
  CCACHE_LAUNCHER=()
  use_ccache
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$ROOT" -B "$dir" -G Ninja "${CCACHE_LAUNCHER[@]}" "$@"
  fi
  cmake --build "$dir" -j "$(nproc)"
}
