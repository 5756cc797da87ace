#!/usr/bin/env bash
# Builds the Debian package of the build folder into a temporary folder and
# checks it as a distribution would: its metadata validates, its dependencies
# resolve, and the program starts from the unpacked tree. Nothing is installed
# into the system. Exits 77 (skipped) where a tool it needs is missing.
set -euo pipefail
build=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

for tool in cpack dpkg-deb dpkg-shlibdeps file apt-get desktop-file-validate appstreamcli \
    xvfb-run xwininfo; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

(cd "$build" && cpack -G DEB -B "$tmp/out" >"$tmp/cpack.log" 2>&1) || {
    cat "$tmp/cpack.log" >&2
    fail "cpack could not build the package"
}
deb=$(find "$tmp/out" -maxdepth 1 -name 'quilm_*.deb' | head -n1)
[ -n "$deb" ] || fail "no quilm_*.deb"

depends=$(dpkg-deb -f "$deb" Depends)
for lib in libexiv2 libqt5widgets5 libqt5network5; do
    [[ $depends == *"$lib"* ]] || fail "Depends lacks $lib: $depends"
done
apt-get install --simulate -q "$deb" >"$tmp/apt.log" 2>&1 || {
    cat "$tmp/apt.log" >&2
    fail "the dependencies do not resolve"
}
grep -q '^Inst quilm ' "$tmp/apt.log" || fail "apt would not install quilm: $(cat "$tmp/apt.log")"

root=$tmp/root
dpkg-deb -x "$deb" "$root"
for path in usr/bin/quilm usr/lib/quilm/quilm usr/lib/quilm/en.qm usr/lib/quilm/zh.qm \
    usr/share/quilm/image/splash.png usr/share/quilm/image/splash@2x.png \
    usr/share/icons/hicolor/48x48/apps/quilm.png usr/share/icons/hicolor/256x256/apps/quilm.png \
    usr/share/applications/quilm.desktop usr/share/doc/quilm/copyright \
    usr/share/man/man1/quilm-sort.1.gz usr/share/man/man1/quilm.1.gz \
    usr/share/bash-completion/completions/quilm-sort usr/share/quilm/example.conf \
    usr/lib/systemd/system/quilm-sort@.service usr/lib/systemd/user/quilm-sort@.service \
    usr/lib/systemd/system-generators/quilm-sort-settings; do
    [ -e "$root/$path" ] || fail "$path is not in the package"
done
head -n1 "$root/usr/share/doc/quilm/copyright" |
    grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
    fail "the copyright file is not in the machine-readable format"

desktop=$root/usr/share/applications/quilm.desktop
grep -qx 'Exec=/usr/bin/quilm' "$desktop" || fail "the desktop entry starts $(grep ^Exec= "$desktop")"
desktop-file-validate "$desktop" || fail "the desktop entry does not validate"
metainfo=$(find "$root/usr/share/metainfo" -name '*.metainfo.xml' | head -n1)
[ -n "$metainfo" ] || fail "no AppStream metainfo"
grep -q '<screenshot' "$metainfo" || fail "the metainfo names no screenshot"
appstreamcli validate --no-net "$metainfo" || fail "the metainfo does not validate"
appstreamcli validate-tree --no-net "$root" || fail "the tree's AppStream data does not validate"

# The units name the installed command; nothing is enabled or started, so the
# package has no maintainer scripts.
grep -qx 'ExecStart=/usr/bin/quilm-sort --watch --settings /etc/quilm/%i.conf' \
    "$root/usr/lib/systemd/system/quilm-sort@.service" || fail "the system unit starts the wrong command"
dpkg-deb -e "$deb" "$tmp/control"
[ -z "$(ls "$tmp/control" | grep -v -x -e control -e md5sums)" ] ||
    fail "the package has maintainer scripts: $(ls "$tmp/control")"

# lintian: no errors; its warnings are shown.
if command -v lintian >/dev/null; then
    lintian --no-tag-display-limit "$deb" >"$tmp/lintian.log" 2>&1 || true
    cat "$tmp/lintian.log"
    ! grep -q '^E: ' "$tmp/lintian.log" || fail "lintian reports errors"
else
    echo "lintian is not installed: the package was not checked with it"
fi

if [ -e "$root/usr/bin/quilm-sort" ]; then
    "$root/usr/bin/quilm-sort" --version || fail "quilm-sort --version failed"
fi

# The main window (600 x 480, titled Quilm) appears on a virtual display,
# started through the packaged launcher by a user with an empty home.
home=$tmp/home
mkdir -p "$home"
cat >"$tmp/start.sh" <<EOF
env -u XDG_DATA_HOME -u QT_QPA_PLATFORM HOME="$home" "$root/usr/bin/quilm" >"$tmp/quilm.log" 2>&1 &
pid=\$!
for _ in \$(seq 150); do
    if xwininfo -root -tree | grep -q '"Quilm": .* 600x480+'; then
        kill \$pid
        exit 0
    fi
    kill -0 \$pid 2>/dev/null || break
    sleep 0.2
done
kill \$pid 2>/dev/null
exit 1
EOF
xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" bash "$tmp/start.sh" ||
    fail "no main window from the packaged program: $(cat "$tmp/quilm.log")"
echo "package $(basename "$deb") OK"
