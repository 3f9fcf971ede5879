#!/bin/sh
# Tries the Quick start and the .deb on bare Debian 12 machines, as a new user
# would. Needs root and Debian's mirror; takes a while; not part of CI.
#   sh scripts/check-bare-machine.sh [OUT_DIR]      (default: build-bare)
# 1. A fresh `debootstrap --variant=minbase bookworm` root with this repository
#    copied in (no build folders, no npm modules: the test command installs them): a user without sudo runs the test command;
#    root runs the open command with no display and with a display that is not
#    there, then the test command and `make package`; a user with sudo but no
#    password and no terminal, then one with password-free sudo, install a
#    missing package.
# 2. A second fresh root: `apt-get install --no-install-recommends` of the .deb
#    built in 1 (or QUORVEL_DEB=FILE, which skips 1), then the window under Xvfb, drawn to
#    OUT_DIR/window.png, and its error report to OUT_DIR/error-report.png.
# Every step's output goes to OUT_DIR/<step>.log, its time to OUT_DIR/summary.txt.
# Mounts live in a private mount namespace per step, so none outlives it.
set -eu

repo=$(cd "$(dirname "$0")/.." && pwd)
out=$(mkdir -p "${1:-$repo/build-bare}" && cd "${1:-$repo/build-bare}" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/quorvel-bare.XXXXXX")
mirror=${DEBIAN_MIRROR:-http://deb.debian.org/debian}
summary="$out/summary.txt"
user=engineer
: >"$summary"

if [ "$(id -u)" -ne 0 ]; then
    echo "check-bare-machine: run as root (debootstrap and chroot need it)" >&2
    exit 1
fi

# Deletes a root only when nothing is mounted inside it.
remove_root() {
    if grep -q " $1[/ ]" /proc/self/mountinfo; then
        echo "check-bare-machine: $1 still has mounts; left in place" >&2
        return 1
    fi
    rm -rf "$1"
}
cleanup() {
    for dir in "$work"/*; do
        [ -d "$dir" ] && remove_root "$dir"
    done
    rmdir "$work" 2>/dev/null || true
}
trap cleanup EXIT INT TERM

note() { echo "$*" | tee -a "$summary"; }

# in_root ROOT USERSPEC COMMAND: runs the sh command line in ROOT as USERSPEC
# (uid:gid), stdin from /dev/null, with proc, sys and dev mounted for it only.
in_root() {
    unshare --mount --propagation private sh -c '
        root=$1 spec=$2 home=$3 cmd=$4
        mount -t proc proc "$root/proc"
        mount -t sysfs sysfs "$root/sys"
        mount --bind /dev "$root/dev"
        mount --bind /dev/pts "$root/dev/pts"
        chroot --userspec="$spec" "$root" /usr/bin/env -i \
            PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
            HOME="$home" LANG=C.UTF-8 CI=true ${5:+NODE_EXTRA_CA_CERTS="$5"} sh -c "$cmd"
    ' in_root "$1" "$2" "$3" "$4" "$extra_ca" </dev/null
}

# step NAME EXPECT ROOT USERSPEC HOME COMMAND: runs and times one step; EXPECT
# is ok or fail (the exit status wanted). Returns 1 when it did not go as expected.
step() {
    name=$1 expect=$2
    shift 2
    start=$(date +%s)
    if in_root "$1" "$2" "$3" "$4" >"$out/$name.log" 2>&1; then status=0; else status=$?; fi
    took=$(( $(date +%s) - start ))
    if { [ "$expect" = ok ] && [ "$status" -eq 0 ]; } || { [ "$expect" = fail ] && [ "$status" -ne 0 ]; }; then
        verdict=as-expected
    else
        verdict=UNEXPECTED
    fi
    note "$(printf '%-28s %5ss  exit %-3s %s' "$name" "$took" "$status" "$verdict")"
    [ "$verdict" = as-expected ]
}

ok=1

start=$(date +%s)
debootstrap --variant=minbase bookworm "$work/base" "$mirror" >"$out/debootstrap.log" 2>&1
cp /etc/resolv.conf "$work/base/etc/resolv.conf"
# Behind a proxy that inspects TLS, the host trusts the proxy's authority
# through NODE_EXTRA_CA_CERTS; the roots' node (npm) is given the same file,
# as such a machine's administrator would, and nothing else changes.
extra_ca=""
if [ -n "${NODE_EXTRA_CA_CERTS:-}" ] && [ -f "$NODE_EXTRA_CA_CERTS" ]; then
    mkdir -p "$work/base/etc/ssl"
    cp "$NODE_EXTRA_CA_CERTS" "$work/base/etc/ssl/host-extra-ca.pem"
    extra_ca=/etc/ssl/host-extra-ca.pem
fi
note "$(printf '%-28s %5ss' debootstrap-minbase $(( $(date +%s) - start )))"

# A user with a home folder who cannot log in with a password, who may join the sudo group later.
echo "$user:x:1000:1000::/home/$user:/bin/sh" >>"$work/base/etc/passwd"
echo "$user:x:1000:" >>"$work/base/etc/group"
echo "$user:*:20000:0:99999:7:::" >>"$work/base/etc/shadow"
mkdir -p "$work/base/home/$user"
chown 1000:1000 "$work/base/home/$user"

# 1. The Quick start (skipped when QUORVEL_DEB names a package to try).
if [ -z "${QUORVEL_DEB:-}" ]; then
cp -a "$work/base" "$work/quickstart"
r="$work/quickstart"
mkdir "$r/src"
tar -C "$repo" --exclude='./build*' --exclude=./.git --exclude=node_modules -cf - . | tar -C "$r/src" -xf -
has() { in_root "$r" 0:0 /root "command -v $1" >/dev/null 2>&1; }
note "bare root: make $(has make && echo present || echo absent), g++ $(has g++ && echo present || echo absent), sudo $(has sudo && echo present || echo absent), git $(has git && echo present || echo absent)"
packages_before=$(in_root "$r" 0:0 /root "dpkg-query -W | wc -l")

step user-without-sudo fail "$r" 1000:1000 /home/$user "cd /src && sh scripts/check.sh" || ok=0
packages_after=$(in_root "$r" 0:0 /root "dpkg-query -W | wc -l")
note "  packages before/after: $packages_before/$packages_after; message:"
sed 's/^/    | /' "$out/user-without-sudo.log" | tee -a "$summary"

step root-open-no-display ok "$r" 0:0 /root "cd /src && sh scripts/open.sh" || ok=0
tail -n 12 "$out/root-open-no-display.log" | sed 's/^/    | /' | tee -a "$summary"
step root-open-unreachable ok "$r" 0:0 /root "cd /src && DISPLAY=:42 sh scripts/open.sh" || ok=0
grep -v '^\(\[\|ninja\|cmake\)' "$out/root-open-unreachable.log" | tail -n 12 | sed 's/^/    | /' | tee -a "$summary"
step root-check ok "$r" 0:0 /root "cd /src && sh scripts/check.sh" || ok=0
grep -E 'tests passed|tests failed' "$out/root-check.log" | sed 's/^/    | /' | tee -a "$summary"
step root-package ok "$r" 0:0 /root "cd /src && make package" || ok=0
tail -n 15 "$out/root-package.log" | sed 's/^/    | /' | tee -a "$summary"
cp "$r"/src/build/quorvel_*.deb "$out/" 2>/dev/null || true

# sudo: with a password and no terminal, then password-free, for one missing package.
in_root "$r" 0:0 /root "apt-get install -y -qq sudo >/dev/null && apt-get purge -y -qq x11-utils >/dev/null \
    && sed -i 's/^sudo:x:27:\$/sudo:x:27:$user/' /etc/group" >/dev/null 2>&1
step sudo-password-no-terminal fail "$r" 1000:1000 /home/$user "cd /src && sh scripts/install-deps.sh" || ok=0
sed 's/^/    | /' "$out/sudo-password-no-terminal.log" | tee -a "$summary"
echo "$user ALL=(ALL) NOPASSWD: ALL" >"$r/etc/sudoers.d/$user"
chmod 0440 "$r/etc/sudoers.d/$user"
step sudo-password-free ok "$r" 1000:1000 /home/$user "cd /src && sudo -n true && sh scripts/install-deps.sh" || ok=0
if grep -qi 'debconf.*frontend\|Dialog\|Readline' "$out/sudo-password-free.log"; then
    note "  debconf fell back to an interactive front end: DEBIAN_FRONTEND did not pass"; ok=0
else
    note "  no debconf front-end fallback in the apt output"
fi
remove_root "$r"
fi

# 2. The .deb on a second bare root.
deb=${QUORVEL_DEB:-$(ls "$out"/quorvel_*.deb 2>/dev/null | head -n 1)}
if [ -z "$deb" ] || [ ! -f "$deb" ]; then
    note "no .deb to install"; exit 1
fi
cp -a "$work/base" "$work/deb"
r="$work/deb"
cp "$deb" "$r/root/"
step deb-install ok "$r" 0:0 /root \
    "apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends ./root/$(basename "$deb")" || ok=0
note "  fonts after installing the .deb: $(in_root "$r" 0:0 /root 'fc-list : family | sort -u | tr "\n" ";"')"
step deb-tools ok "$r" 0:0 /root \
    "DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends xvfb xauth x11-apps x11-utils netpbm xdotool" || ok=0
note "  fonts with the screenshot tools: $(in_root "$r" 0:0 /root 'fc-list : family | sort -u | tr "\n" ";"')"
step deb-window ok "$r" 0:0 /root '
    # Xvfb keeps no copy of a dialog drawn over the window, so the report is
    # read from its own window and pasted where it stands.
    grab() { xwd -silent "$@" | xwdtopnm 2>/dev/null; }
    Xvfb :7 -screen 0 1024x768x24 -dpi 96 -nolisten tcp & xvfb=$!
    sleep 2
    export DISPLAY=:7
    quorvel & app=$!
    window=$(timeout 30 xdotool search --sync --onlyvisible --name "^Quorvel\$" | head -n 1)
    sleep 2
    grab -root | pnmcrop -black | pnmtopng >/tmp/window.png
    # Clock 0 makes the calculation fail; Calculate is eighth after Clock in the tab order.
    xdotool windowfocus --sync "$window"
    xdotool key ctrl+a
    xdotool type 0
    xdotool key Tab Tab Tab Tab Tab Tab Tab Tab space
    sleep 3
    report=$(xdotool search --onlyvisible --name "^Quorvel\$" | grep -v "^$window\$" | head -n 1)
    if [ -n "$report" ]; then
        x=$(xwininfo -id "$report" | sed -n "s/.*Absolute upper-left X: *//p")
        y=$(xwininfo -id "$report" | sed -n "s/.*Absolute upper-left Y: *//p")
        grab -root >/tmp/root.pnm
        grab -id "$report" >/tmp/report.pnm
        pnmpaste /tmp/report.pnm "$x" "$y" /tmp/root.pnm | pnmcrop -black | pnmtopng >/tmp/error-report.png
    else
        echo "no error report appeared"
    fi
    ls /usr/share/man/man1/quorvel*
    zcat /usr/share/man/man1/quorvel-calc.1.gz | head -n 5
    kill $app $xvfb
    [ -n "$report" ]' || ok=0
cp "$r"/tmp/window.png "$r"/tmp/error-report.png "$out/" 2>/dev/null || true
remove_root "$r"
remove_root "$work/base"

[ "$ok" -eq 1 ] && note "all steps as expected" || note "some steps did not go as expected"
[ "$ok" -eq 1 ]
