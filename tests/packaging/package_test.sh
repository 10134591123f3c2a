#!/usr/bin/env bash
# Checks the Debian package as an administrator would meet it.
#
#   package_test.sh contents DEB EXPECTED   every file, folder and link with its mode and owner,
#                                           exactly as listed in EXPECTED
#   package_test.sh install DEB             installs it into a scratch root (with its maintainer
#                                           scripts under "dpkg --root" when run as root, else
#                                           unpacked), runs the service from there with virtual
#                                           microphones on a private bus, lists them with the
#                                           packaged qmctl, reads the packaged manual page,
#                                           completes "qmctl set SN<TAB>" with the packaged
#                                           completion, then purges the package again
#   package_test.sh lintian DEB             lintian reports no errors (exit 77, a skip, when
#                                           lintian is not installed)
set -euo pipefail

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

contents() {
  local deb=$1 expected=$2
  # Mode, owner and path (with a link's target); sizes and dates left out.
  local actual
  actual=$(dpkg-deb -c "$deb" | awk '{ $3 = ""; $4 = ""; $5 = ""; print }' | tr -s ' ' | sort -k3)
  if ! diff -u <(grep -v '^#' "$expected" | sort -k3) <(echo "$actual"); then
    fail "the package's files differ from $expected (- expected, + packaged)"
  fi
  echo "package_test: $(echo "$actual" | wc -l) entries as expected"
}

# The mode and owner of a path in the scratch root, owners by their names in its passwd.
stat_in_root() {
  local root=$1 path=$2 uid gid user group
  read -r mode uid gid < <(stat -c '%a %u %g' "$root$path")
  user=$(awk -F: -v id="$uid" '$3 == id { print $1 }' "$root/etc/passwd")
  group=$(awk -F: -v id="$gid" '$3 == id { print $1 }' "$root/etc/group")
  echo "$mode ${user:-$uid}:${group:-$gid}"
}

install_and_run() {
  local deb=$1
  scratch=$(mktemp -d "${TMPDIR:-/tmp}/qm-package.XXXXXX")
  local root=$scratch/root pids=()
  trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$scratch"' EXIT
  local scripted=0
  if [ "$(id -u)" -eq 0 ]; then
    scripted=1
    mkdir -p "$root/var/lib/dpkg/updates" "$root/var/lib/dpkg/info" "$root/etc"
    touch "$root/var/lib/dpkg/status"
    dpkg --root="$root" --force-script-chrootless --force-depends --log=/dev/null -i "$deb" \
      >"$scratch/dpkg.out" 2>&1 || { cat "$scratch/dpkg.out"; fail "dpkg -i"; }
    # What the maintainer scripts did, without systemd running.
    grep -q '^qmmichost:x:[0-9]*:[0-9]*:' "$root/etc/passwd" || fail "no user qmmichost"
    local gid
    gid=$(awk -F: '$1 == "quillmere" { print $3 }' "$root/etc/group")
    [ -n "$gid" ] && grep -q "^qmmichost:x:[0-9]*:$gid:" "$root/etc/passwd" ||
      fail "quillmere is not the primary group of qmmichost"
    [ "$(stat_in_root "$root" /var/lib/quillmere)" = "2770 qmmichost:quillmere" ] ||
      fail "/var/lib/quillmere: $(stat_in_root "$root" /var/lib/quillmere)"
    [ "$(stat_in_root "$root" /var/log/quillmere)" = "2770 qmmichost:quillmere" ] ||
      fail "/var/log/quillmere: $(stat_in_root "$root" /var/log/quillmere)"
    local store=/var/lib/quillmere/registry/machine.sqlite
    [ "$(stat_in_root "$root" $store)" = "660 qmmichost:quillmere" ] ||
      fail "$store: $(stat_in_root "$root" $store)"
    QM_REGISTRY_DIR=$root/var/lib/quillmere/registry "$root/usr/bin/qmreg" query \
      'HKCR\AppID\{DCC305A1-68F8-45AE-B455-515142000986}' LocalService | grep -q qmMicHost ||
      fail "the service is not registered in the settings store"
    [ "$(readlink "$root/etc/systemd/system/multi-user.target.wants/qmMicHost.service")" = \
      /usr/lib/systemd/system/qmMicHost.service ] || fail "the service is not enabled"
  else
    echo "package_test: not root, so the package is only unpacked (its maintainer scripts need root)"
    dpkg-deb -x "$deb" "$root"
  fi

  # The packaged programs, with virtual microphones on a bus of this test's own.
  local bus=unix:path=$scratch/bus
  dbus-daemon --session --nofork --address="$bus" >/dev/null 2>&1 &
  pids+=($!)
  export QM_REGISTRY_DIR=$scratch/state/registry QM_LOG_DIR=$scratch/state/logs
  export QM_PROFILE_DIR=$scratch/state/profiles QM_DBUS_ADDRESS=$bus
  for _ in $(seq 100); do [ -S "$scratch/bus" ] && break; sleep 0.05; done
  "$root/usr/sbin/qmMicHost" -Runapp --simulate Alder:SN1001,Cedar:SN1002 >"$scratch/host.out" 2>&1 &
  pids+=($!)
  local listing=""
  for _ in $(seq 100); do
    listing=$("$root/usr/bin/qmctl" list 2>/dev/null) && ! grep -q starting <<<"$listing" &&
      grep -q SN1002 <<<"$listing" && break
    sleep 0.1
  done
  echo "$listing"
  grep -q 'SN1001  started' <<<"$listing" && grep -q 'SN1002  started' <<<"$listing" ||
    { cat "$scratch/host.out"; fail "qmctl list from the package did not list both microphones"; }

  # The completion asks the running service for its serial numbers.
  local offered
  offered=$(PATH="$root/usr/bin:$PATH" bash -c '
    source "$1"
    COMP_LINE="qmctl set SN"; COMP_POINT=${#COMP_LINE}
    _qmctl; echo "${COMPREPLY[*]}"' _ "$root/usr/share/bash-completion/completions/qmctl")
  [ "$offered" = "SN1001 SN1002" ] || fail "qmctl set SN<TAB> offered \"$offered\""
  echo "package_test: qmctl set SN<TAB> offers $offered"

  if command -v man >/dev/null 2>&1; then
    MANPATH=$root/usr/share/man man -P cat qmctl 2>/dev/null |
      grep -q 'qmctl - control Quillmere microphones from the command line' ||
      fail "man qmctl does not show the packaged page"
    echo "package_test: man qmctl shows the packaged page"
  else
    echo "package_test: man is not installed; the manual page was not read"
  fi

  kill -TERM "${pids[1]}"
  wait "${pids[1]}" || fail "qmMicHost did not stop cleanly"

  if [ $scripted -eq 1 ]; then
    dpkg --root="$root" --force-script-chrootless --force-depends --log=/dev/null --purge quillmere \
      >"$scratch/dpkg.out" 2>&1 || { cat "$scratch/dpkg.out"; fail "dpkg --purge"; }
    local left
    left=$(cd "$root" && find usr var/lib/quillmere var/log/quillmere var/lib/systemd \
      etc/systemd -not -type d 2>/dev/null || true)
    [ -z "$left" ] || fail "left after the purge: $left"
    echo "package_test: purged without a trace"
  fi
}

case "${1:-}" in
  contents) contents "$2" "$3" ;;
  install) install_and_run "$2" ;;
  lintian)
    command -v lintian >/dev/null 2>&1 || { echo "lintian is not installed"; exit 77; }
    set +e
    report=$(lintian --fail-on error "$2" 2>&1)
    status=$?
    grep -v 'running with root privileges' <<<"$report"
    exit $status
    ;;
  *) fail "usage: package_test.sh contents DEB EXPECTED | install DEB | lintian DEB" ;;
esac
