# Sourced by scripts/test and scripts/demo: which build's programs run under Wine here.
# The shipped programs are 32-bit; where the kernel runs no 32-bit programs, their 64-bit twin
# runs instead. TARNWICK_TEST_ARCH=i686 or x86_64 picks by hand.
#   choose_route REPO NAME    sets route (i686 or x86_64) and route_reason; NAME heads messages

choose_route() {
  local repo=$1 name=$2 asked=${TARNWICK_TEST_ARCH:-} no32 no64
  no32=$("$repo/tools/wine-run" --arch i686 --check) || true
  case "$asked" in
    "")
      if [ -z "$no32" ]; then
        route=i686
        route_reason="this machine runs 32-bit programs"
      else
        route=x86_64
        route_reason="this machine runs no 32-bit programs ($no32)"
      fi
      ;;
    i686)
      if [ -n "$no32" ]; then
        echo "$name: TARNWICK_TEST_ARCH=i686 asks for the 32-bit programs under 32-bit Wine," \
          "but this machine runs no 32-bit programs ($no32). Use TARNWICK_TEST_ARCH=x86_64 or leave it unset." >&2
        exit 1
      fi
      route=i686
      route_reason="TARNWICK_TEST_ARCH=i686"
      ;;
    x86_64)
      route=x86_64
      route_reason="TARNWICK_TEST_ARCH=x86_64"
      ;;
    *)
      echo "$name: TARNWICK_TEST_ARCH is '$asked'; it can be i686, x86_64 or unset" >&2
      exit 1
      ;;
  esac
  if [ "$route" = x86_64 ]; then
    no64=$("$repo/tools/wine-run" --arch x86_64 --check) || true
    if [ -n "$no64" ]; then
      echo "$name: the 64-bit programs cannot run here: $no64" >&2
      exit 1
    fi
  fi
}

# The build folder of an architecture: the 32-bit build is the main one.
route_build() {
  local build=$1 arch=$2
  if [ "$arch" = i686 ]; then echo "$build"; else echo "$build-$arch"; fi
}
