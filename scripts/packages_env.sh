# Sourced by the scripts that install what they need. Sets sudo_cmd (sudo unless running as
# root) and defines nvrp_install_missing PACKAGE...: installs, without recommends, those of the
# Debian packages that are not installed; the package lists are refreshed only then.
sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then sudo_cmd=(sudo); fi

nvrp_install_missing() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  ((${#missing[@]})) || return 0
  echo "Installing: ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq \
    --no-install-recommends "${missing[@]}"
}
