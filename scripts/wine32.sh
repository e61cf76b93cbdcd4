#!/usr/bin/env bash
# A 32-bit Wine for the tests of the 32-bit DLL. This machine's kernel runs no 32-bit Linux
# programs, so 32-bit Windows programs run in Wine's WoW64 mode: Wine 10 from a Debian 13
# (trixie) root, with the 32-bit PE DLLs of libwine:i386 beside the 64-bit ones.
# Usage:
#   scripts/wine32.sh ensure   builds the root when missing and prints its path
#   scripts/wine32.sh run [--bind DIR]... [--env NAME=VALUE]... -- COMMAND ARGS...
#       runs COMMAND in the root with a clean environment (WINEPREFIX=/wine/prefix) and exits
#       with its status; each DIR is seen at the same path inside the root
# The root (about 3.2 GB) lives in ${XDG_CACHE_HOME:-$HOME/.cache}/nvrp_rorerer_10/ and is
# built only when missing. Exit status 3: no root can be made or found (the reason on stderr).
# Every run has mount points of its own (a private mount namespace): its /tmp, and the Wine
# prefix as a copy-on-write layer that is dropped at the end, so concurrent runs never meet
# and every run starts from the freshly made prefix.
set -euo pipefail
script=$(realpath "$0")
root_key=trixie-r1
mirror=http://deb.debian.org/debian
prefix=/wine/prefix
wine_environment=(PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin HOME=/wine
                  LANG=C.UTF-8 XDG_RUNTIME_DIR=/tmp WINEPREFIX=$prefix WINEDEBUG=-all
                  WINEDLLOVERRIDES=mscoree,mshtml=)

fail() {
  echo "wine32.sh: $*" >&2
  exit 3
}

cache_folder() {
  if [[ -n ${NVRP_WINE32_CACHE:-} ]]; then
    echo "$NVRP_WINE32_CACHE"
  elif [[ -n ${XDG_CACHE_HOME:-} ]]; then
    echo "$XDG_CACHE_HOME/nvrp_rorerer_10"
  elif [[ -n ${HOME:-} ]]; then
    echo "$HOME/.cache/nvrp_rorerer_10"
  else
    fail "no cache folder: neither XDG_CACHE_HOME nor HOME is set"
  fi
}

# chroot and mounts need root rights: as another user the script runs itself through sudo,
# with the user's cache folder.
become_root() {
  [[ $(id -u) -eq 0 ]] && return
  command -v sudo >/dev/null && sudo -n true 2>/dev/null ||
    fail "root rights are needed (chroot, mount): run as root or with sudo without a password"
  exec sudo -n env NVRP_WINE32_CACHE="$(cache_folder)" bash "$script" "$@"
}

# --- ensure

# The steps inside the new root: Wine and what the tests need (fonts, locales, CUPS client,
# CTest), the 32-bit PE DLLs of the same libwine version, a prefix made by wineboot.
provision_root() {
  export DEBIAN_FRONTEND=noninteractive
  apt-get install -y -qq --no-install-recommends wine wine64 fonts-liberation fontconfig \
    libcups2t64 locales cmake >/dev/null
  dpkg --add-architecture i386
  apt-get update -qq
  local version
  version=$(dpkg-query -W -f='${Version}' libwine)
  (cd /tmp && apt-get download -qq "libwine:i386=$version")
  dpkg-deb --fsys-tarfile /tmp/libwine_*_i386.deb |
    tar -x -C / --transform='s,^\./usr/lib/i386-linux-gnu/,./usr/lib/x86_64-linux-gnu/,' \
      ./usr/lib/i386-linux-gnu/wine/i386-windows
  rm /tmp/libwine_*_i386.deb
  dpkg --remove-architecture i386
  apt-get clean
  rm -rf /var/lib/apt/lists/*
  localedef -i el_GR -f UTF-8 el_GR.UTF-8
  localedef -i de_DE -f UTF-8 de_DE.UTF-8
  mkdir -p "$prefix" /run/nvrp-wine
  wineboot -i >/dev/null 2>&1
  wineserver -w
  wine --version >/wine/version
}

# Runs inside a private mount namespace, so that the mounts end with it.
build_in_namespace() {
  local target=$1
  debootstrap --variant=minbase trixie "$target" "$mirror" >"$target.log" 2>&1 ||
    { tail -5 "$target.log" >&2; fail "debootstrap of trixie from $mirror failed"; }
  mount -t proc proc "$target/proc"
  chroot "$target" env -i "${wine_environment[@]}" bash -c \
    "set -euo pipefail; prefix=$prefix; $(declare -f provision_root); provision_root" \
    >>"$target.log" 2>&1 ||
    { tail -5 "$target.log" >&2; fail "installing Wine in the trixie root failed"; }
}

ensure_root() {
  local cache root
  cache=$(cache_folder)
  root=$cache/wine32-$root_key
  if [[ -e $root/wine/version ]]; then
    echo "$root"
    return
  fi
  become_root ensure
  mkdir -p "$cache" 2>/dev/null && [[ -w $cache ]] || fail "$cache cannot be written"
  for tool in chroot unshare mount; do
    command -v "$tool" >/dev/null || fail "$tool is missing"
  done
  local free_kb
  free_kb=$(df -Pk "$cache" | awk 'NR == 2 { print $4 }')
  ((free_kb > 4500000)) ||
    fail "too little disk space in $cache: 4.5 GB needed, $((free_kb / 1024)) MB free"
  if ! command -v debootstrap >/dev/null; then
    echo "Installing debootstrap" >&2
    { apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
        --no-install-recommends debootstrap; } >&2 || fail "debootstrap cannot be installed"
  fi
  echo "Building the 32-bit Wine root in $root (about 3.2 GB, a minute or two)" >&2
  # Built under a temporary name and renamed at the end: a root cut off half-way is never
  # taken for a complete one.
  local partial
  partial=$(mktemp -d "$root.partial.XXXXXX")
  trap "rm -rf --one-file-system $(printf %q "$partial") $(printf %q "$partial.log")" EXIT
  unshare --mount --propagation private bash "$script" __build "$partial" ||
    fail "the 32-bit Wine root could not be built (log: $partial.log)"
  rm -f "$partial.log"
  mv -T "$partial" "$root" 2>/dev/null || [[ -e $root/wine/version ]] ||
    fail "the finished root could not be renamed to $root"
  echo "$root"
}

# --- run

# Inside a private mount namespace: /proc, /dev (pseudo-terminals of the serial tests), a /tmp
# of its own (so its own wineserver), the prefix as a copy-on-write layer, the bound folders.
run_in_namespace() {
  local root=$1
  shift
  local binds=() environment=()
  while [[ $1 != -- ]]; do
    case $1 in
      --bind) binds+=("$2") ;;
      --env) environment+=("$2") ;;
    esac
    shift 2
  done
  shift
  mount -t proc proc "$root/proc"
  mount --rbind /dev "$root/dev"
  mount -t tmpfs tmpfs "$root/tmp"
  mount -t tmpfs tmpfs "$root/run/nvrp-wine"
  mkdir "$root/run/nvrp-wine/upper" "$root/run/nvrp-wine/work"
  local layers=$root/run/nvrp-wine
  mount -t overlay overlay \
    -o "lowerdir=$root$prefix,upperdir=$layers/upper,workdir=$layers/work" "$root$prefix"
  for dir in "${binds[@]}"; do
    mkdir -p "$root$dir"
    mount --bind "$dir" "$root$dir"
  done
  # The command starts in the current folder when the root sees it (a bound one), else in /.
  local start=/
  [[ $PWD != / && -d $root$PWD && $(stat -c %i "$PWD") == $(stat -c %i "$root$PWD") ]] &&
    start=$PWD
  local clean_env=(env -i -C "$start" "${wine_environment[@]}" "${environment[@]}")
  trap 'chroot "$root" "${clean_env[@]}" wineserver -k 2>/dev/null || true
        umount -R "$root/dev" "$root/proc" 2>/dev/null || true' EXIT
  local status=0
  chroot "$root" "${clean_env[@]}" "$@" || status=$?
  exit "$status"
}

run() {
  local root
  root=$(cache_folder)/wine32-$root_key
  [[ -e $root/wine/version ]] ||
    fail "no 32-bit Wine root in $root: make it with scripts/wine32.sh ensure"
  local args=()
  while (($#)) && [[ $1 != -- ]]; do
    case $1 in
      --bind)
        [[ -d $2 ]] || fail "--bind $2: no such folder"
        args+=(--bind "$(realpath "$2")") ;;
      --env) [[ $2 == *=* ]] || fail "--env $2: NAME=VALUE expected"; args+=(--env "$2") ;;
      *) fail "unknown option $1" ;;
    esac
    shift 2
  done
  (($# > 1)) ||
    fail "usage: wine32.sh run [--bind DIR]... [--env NAME=VALUE]... -- COMMAND ARGS..."
  become_root run "${args[@]}" "$@"
  exec unshare --mount --propagation private bash "$script" __run "$root" "${args[@]}" "$@"
}

case ${1:-} in
  ensure) ensure_root ;;
  run) shift; run "$@" ;;
  __build) build_in_namespace "$2" ;;
  __run) shift; run_in_namespace "$@" ;;
  *) echo "usage: wine32.sh ensure | run [--bind DIR]... [--env NAME=VALUE]... -- COMMAND" >&2
     exit 2 ;;
esac
