#!/usr/bin/env bash
# Builds the Debian package (scripts/package.sh) and checks it as a Debian maintainer would:
# its control fields, lintian (no error, no warning), the programs' hardening, the desktop entry,
# the maintainer scripts with and without a running udev, then an installation into a throw-away
# root (never the machine's own packages), where the installed tunekit-cli reads the simulated
# transmitter, built in and on the installed tunekit-sim's pseudo-terminal, and keeps its records
# in SQLite; finally the package is purged from that root and nothing of it may be left.
# Needs root, or unprivileged user namespaces, for the mount namespace of the udev checks.
set -euo pipefail
cd "$(dirname "$0")/.."

# Each check's verdict goes to the script's standard output (descriptor 3), whatever the checked
# command's output is redirected to.
exec 3>&1
passed=0
failed=0
pass() { passed=$((passed + 1)); echo "ok: $*" >&3; }
fail() { failed=$((failed + 1)); echo "FAILED: $*" >&3; }
check() { # description command...: passes when the command succeeds
  local what="$1"; shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}
quietly() { # command...: its output shown only when it fails
  local out
  out=$(mktemp "$tmp/output.XXXXXX")
  "$@" >"$out" 2>&1 || { local status=$?; cat "$out"; return "$status"; }
}

tmp=$(mktemp -d "${TMPDIR:-/tmp}/tunekit-package.XXXXXX")
sim_pid=""
finish() {
  local status=$?
  [[ -n "$sim_pid" ]] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
  rm -rf "$tmp"
  [[ $status -ne 0 && $failed -eq 0 ]] && failed=1
  echo "package: $passed passed, $failed failed"
  [[ $failed -eq 0 ]] || exit 1
  exit "$status"
}
trap finish EXIT

start=$SECONDS
scripts/package.sh
echo "package built in $((SECONDS - start)) s"
debs=(build-package/tunekit_*.deb)
[[ ${#debs[@]} -eq 1 && -f ${debs[0]} ]] || { fail "exactly one package in build-package/: ${debs[*]}"; exit 1; }
deb=${debs[0]}
version=$(sed -n '1s/^tunekit (\([^)]*\)).*/\1/p' packaging/debian/changelog)

# --- Control fields --------------------------------------------------------------------------
field() { dpkg-deb --field "$deb" "$1"; }
has_dependency() { # field package: the field names the package, unversioned or versioned
  field "$1" | tr ',' '\n' | sed 's/^ *//; s/ .*//' | grep -qx "$2"
}
check "Package: tunekit, Version: $version" test "$(field Package) $(field Version)" = "tunekit $version"
check "Maintainer is the changelog's signer" \
  grep -qF -- " -- $(field Maintainer)  " packaging/debian/changelog
for dependency in qt6-qpa-plugins libqt6sql6-sqlite libqt6core6 libqt6serialport6 libqt6sql6 libpq5; do
  check "Depends: $dependency" has_dependency Depends "$dependency"
done
check "Recommends: libqt6sql6-psql" has_dependency Recommends libqt6sql6-psql

# --- lintian ---------------------------------------------------------------------------------
# Errors and warnings fail; info and pedantic tags are shown, for a person to judge.
lintian_out="$tmp/lintian.txt"
lintian_status=0
lintian --info --display-info --pedantic --fail-on error,warning "$deb" >"$lintian_out" 2>&1 ||
  lintian_status=$?
grep -E '^[EWIPX]: ' "$lintian_out" || true
check "lintian: no error, no warning (exit $lintian_status)" \
  test "$lintian_status" -eq 0 -a "$(grep -cE '^[EW]: ' "$lintian_out")" -eq 0

# --- Hardening -------------------------------------------------------------------------------
unpacked="$tmp/unpacked"
dpkg-deb --extract "$deb" "$unpacked"
# Every compilation and link of the build got Debian's flags.
commands=$(grep -c '"command"' build-package/compile_commands.json)
hardened=$(grep '"command"' build-package/compile_commands.json |
  grep -F -- -D_FORTIFY_SOURCE=2 | grep -c -F -- -fstack-protector-strong)
check "all $commands compilations with -D_FORTIFY_SOURCE=2 -fstack-protector-strong" \
  test "$commands" -gt 0 -a "$hardened" -eq "$commands"
for program in tunekit tunekit-cli tunekit-sim; do
  check "$program linked with -z relro -z now" \
    grep -qE -- '-Wl,-z,relro -Wl,-z,now' "build-package/src/CMakeFiles/$program.dir/link.txt"
done
# In the programs: PIE, stack protector, fortified functions, RELRO, immediate binding. Control
# flow integrity needs start files with the IBT/SHSTK property, which Debian 12's C library does not
# ship. tunekit-cli calls the fortifiable functions only where the compiler proved the buffer
# sizes (no __*_chk call is left to find); its objects are fortified (checked above).
check "hardening-check tunekit" quietly hardening-check --nocfprotection "$unpacked/usr/bin/tunekit"
check "hardening-check tunekit-sim" quietly hardening-check --nocfprotection "$unpacked/usr/bin/tunekit-sim"
check "hardening-check tunekit-cli" \
  quietly hardening-check --nocfprotection --nofortify "$unpacked/usr/bin/tunekit-cli"

check "desktop-file-validate tunekit.desktop" \
  desktop-file-validate "$unpacked/usr/share/applications/tunekit.desktop"

# --- Maintainer scripts ----------------------------------------------------------------------
# Run in a mount namespace of their own, where /run/udev (udev running) and an adapter in /sys are
# made up, and udevadm is a stand-in that logs its arguments and exits with UDEVADM_STATUS.
control="$tmp/control"
dpkg-deb --control "$deb" "$control"
check "postinst and postrm are executable" test -x "$control/postinst" -a -x "$control/postrm"
mkdir "$tmp/fakebin"
cat >"$tmp/fakebin/udevadm" <<'EOF'
#!/bin/sh
echo "$*" >>"$UDEVADM_LOG"
exit "${UDEVADM_STATUS:-0}"
EOF
chmod +x "$tmp/fakebin/udevadm"
namespace=(unshare --mount)
[[ $(id -u) -eq 0 ]] || namespace=(unshare --mount --map-root-user)
maintainer_script() { # udev|no-udev DPKG_ROOT UDEVADM_STATUS script argument: prints udevadm's calls
  local log="$tmp/udevadm.log"
  : >"$log"
  "${namespace[@]}" env PATH="$tmp/fakebin:$PATH" UDEVADM_LOG="$log" UDEVADM_STATUS="$3" \
    DPKG_ROOT="$2" sh -c '
      set -e
      mount -t tmpfs tmpfs /run
      [ "$1" = udev ] && mkdir /run/udev
      mount -t tmpfs tmpfs /sys
      mkdir -p /sys/bus/usb/devices/1-2 /sys/bus/usb/devices/1-3 /sys/bus/usb/devices/usb1
      echo 0403 >/sys/bus/usb/devices/1-2/idVendor; echo d7a0 >/sys/bus/usb/devices/1-2/idProduct
      echo 0403 >/sys/bus/usb/devices/1-3/idVendor; echo 6001 >/sys/bus/usb/devices/1-3/idProduct
      shift
      exec sh "$@"' sh "$1" "$4" "$5" || echo "exit $?"
  cat "$log"
}
expected_postinst="control --reload-rules
trigger --action=add --parent-match=/sys/bus/usb/devices/1-2"
check "postinst configure: udev reloads and replays the adapter (only it)" \
  test "$(maintainer_script udev "" 0 "$control/postinst" configure)" = "$expected_postinst"
check "postinst configure: a failing udevadm does not fail it" \
  test "$(maintainer_script udev "" 1 "$control/postinst" configure)" = "$expected_postinst"
check "postinst configure: no udevadm without a running udev" \
  test -z "$(maintainer_script no-udev "" 0 "$control/postinst" configure)"
check "postinst configure: no udevadm for another root (DPKG_ROOT)" \
  test -z "$(maintainer_script udev /srv/root 0 "$control/postinst" configure)"
for action in remove purge; do
  check "postrm $action: udev reloads" \
    test "$(maintainer_script udev "" 1 "$control/postrm" "$action")" = "control --reload-rules"
done
check "postrm upgrade: no udevadm" test -z "$(maintainer_script udev "" 0 "$control/postrm" upgrade)"

# --- Installation into a throw-away root -----------------------------------------------------
# dpkg's own database in the root; the maintainer scripts run outside it (chrootless) with
# DPKG_ROOT set. The programs run on the machine's Qt libraries.
root="$tmp/root"
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$root/var/lib/dpkg/triggers"
touch "$root/var/lib/dpkg/status" "$root/var/lib/dpkg/available"
in_root=(dpkg --root="$root" --log="$tmp/dpkg.log" --force-not-root --force-script-chrootless)
check "dpkg installs the package into the throw-away root" \
  quietly "${in_root[@]}" --force-depends --install "$deb"
check "dpkg: tunekit installed" \
  test "$(dpkg-query --admindir="$root/var/lib/dpkg" -W -f='${Status}' tunekit)" = "install ok installed"
for file in usr/bin/tunekit usr/bin/tunekit-cli usr/bin/tunekit-sim \
            usr/lib/udev/rules.d/99-tunekit-adapter.rules usr/share/applications/tunekit.desktop \
            usr/share/man/man1/tunekit-cli.1.gz usr/share/doc/tunekit/copyright \
            usr/share/bash-completion/completions/tunekit \
            usr/share/bash-completion/completions/tunekit-cli \
            usr/share/bash-completion/completions/tunekit-sim; do
  check "installed: /$file" test -s "$root/$file"
done

# Bash completions in bash-completion's folder, each registering its program and completing as its
# option table has it.
complete_words() { # program words...: the completions of the last word, one a line, sorted
  local program=$1; shift
  bash --norc --noprofile -c '
    source "$1"; program=$2; shift 2
    registered=$(complete -p "$program") || exit 1
    function=${registered#*-F }; function=${function%% *}
    COMP_WORDS=("$program" "$@"); COMP_CWORD=$#; COMP_LINE="${COMP_WORDS[*]}"; COMP_POINT=${#COMP_LINE}
    "$function" "$program" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD-1]}"
    printf "%s\n" "${COMPREPLY[@]}" | sort' \
    bash "$root/usr/share/bash-completion/completions/$program" "$program" "$@"
}
check "completion: tunekit-cli re -> its commands" \
  test "$(complete_words tunekit-cli re)" = "$(printf 'read\nrecords\nreport\nrestore')"
check "completion: tunekit-cli read --si -> --simulate" \
  test "$(complete_words tunekit-cli read --si)" = --simulate
check "completion: tunekit-cli records --result p -> passed" \
  test "$(complete_words tunekit-cli records --result p)" = passed
check "completion: tunekit-sim --del -> --delay" test "$(complete_words tunekit-sim --del)" = --delay
check "completion: tunekit --has -> --has-adapter" test "$(complete_words tunekit --has)" = --has-adapter

# The installed programs, in an empty home of their own, messages in English, records in the
# default store (SQLite in the data folder).
home="$tmp/home"
mkdir -p "$home"
run() {
  env -u TUNEKIT_RECORDS -u TUNEKIT_PORT -u TUNEKIT_PASSWORD HOME="$home" \
    XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" QT_QPA_PLATFORM=offscreen \
    timeout 120 "$@"
}
check "tunekit-cli --version" test "$(run "$root/usr/bin/tunekit-cli" --version)" = "tunekit-cli $version"
check "tunekit-sim --version" test "$(run "$root/usr/bin/tunekit-sim" --version)" = "tunekit-sim $version"
check "tunekit --version" test "$(run "$root/usr/bin/tunekit" --version)" = "tunekit $version"

simulated="$tmp/read-simulated.txt"
check "tunekit-cli read --simulate" run "$root/usr/bin/tunekit-cli" read --simulate --lang en -q \
  >"$simulated"
check "read --simulate: the transmitter's values" grep -qP '^SystemAddress\t\d+$' "$simulated"

coproc sim { exec env HOME="$home" "$root/usr/bin/tunekit-sim"; }
sim_pid=$sim_PID
pty=""
read -r -t 30 pty <&"${sim[0]}" || true
check "tunekit-sim names its pseudo-terminal ($pty)" test -c "$pty"
on_pty="$tmp/read-pty.txt"
check "tunekit-cli read --port $pty" run "$root/usr/bin/tunekit-cli" read --port "$pty" --lang en -q \
  >"$on_pty"
check "read on tunekit-sim's terminal reads the same values as --simulate" cmp "$simulated" "$on_pty"
kill "$sim_pid" 2>/dev/null || true
wait "$sim_pid" || true
sim_pid=""

records="$tmp/records.txt"
check "tunekit-cli records" run "$root/usr/bin/tunekit-cli" records --lang en >"$records"
check "records: both reads passed, kept in SQLite" \
  test "$(cut -f2,3,5 "$records")" = "$(printf 'passed\tread\tsimulated\npassed\tread\t%s' "$pty")"
check "records: the SQLite file, no spool" \
  test -s "$home/data/Tunekit/records.sqlite" -a -z "$(ls -A "$home/data/Tunekit/spool" 2>/dev/null)"

# --- Purge -----------------------------------------------------------------------------------
check "dpkg purges the package" quietly "${in_root[@]}" --purge tunekit
check "dpkg: tunekit not installed" \
  test "$(dpkg-query --admindir="$root/var/lib/dpkg" -W -f='${db:Status-Status}' tunekit 2>/dev/null ||
          true)" != installed
left=$(cd "$root" && find . -mindepth 1 ! -path ./var ! -path ./var/lib ! -path ./var/lib/dpkg \
  ! -path './var/lib/dpkg/*')
check "nothing of the package left in the root${left:+: $left}" test -z "$left"
left=$(cd "$root/var/lib/dpkg/info" && ls tunekit.* 2>/dev/null || true)
check "nothing of the package left in dpkg's database${left:+: $left}" test -z "$left"

echo "test-package: $((SECONDS - start)) s"
