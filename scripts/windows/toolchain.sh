#!/bin/bash
# Builds the libraries the Windows build of Quilm links against, with Debian's
# MinGW-w64 cross compiler, from Debian's source packages, into
# QUILM_MINGW_PREFIX (default /opt/quilm-mingw). Run as root on Debian 12.
#
#   scripts/windows/toolchain.sh           everything, once (stamp in the prefix)
#   scripts/windows/toolchain.sh STEP...   only these steps, no stamp
#
# Steps: packages sources zlib expat exiv2 sqlite xxhash qtbase translations licenses
# Each finished step leaves a stamp in PREFIX/.quilm-steps/ and is not run
# again by a later call: a library added to the list is built by the next call
# alone, without building Qt again. Remove the prefix to start over.
set -euo pipefail

PREFIX=${QUILM_MINGW_PREFIX:-/opt/quilm-mingw}
WORK=${QUILM_MINGW_WORK:-/var/cache/quilm-mingw}
JOBS=${QUILM_MINGW_JOBS:-2}
HERE=$(cd "$(dirname "$0")" && pwd)
REPO=$(cd "$HERE/../.." && pwd)
TOOLCHAIN_FILE=$REPO/cmake/mingw-w64-x86_64.cmake
STAMP=$PREFIX/.quilm-toolchain-done
DONE=$PREFIX/.quilm-steps
TRIPLE=x86_64-w64-mingw32
# The posix-thread variant of the compiler: the win32 variant has no
# std::thread or std::mutex, which Exiv2 and the program use.
CC_X="$TRIPLE-gcc-posix"
CXX_X="$TRIPLE-g++-posix"

ALL_STEPS=(packages sources zlib expat exiv2 sqlite xxhash qtbase translations licenses)

# Steps without a stamp of their own: those added since the prefix was made.
missing_steps() {
    local s
    for s in "${ALL_STEPS[@]}"; do
        [ -e "$DONE/$s" ] || echo "$s"
    done
}
if [ $# -eq 0 ] && [ -e "$STAMP" ] && [ -z "$(missing_steps)" ]; then
    echo "Windows toolchain already in $PREFIX ($(cat "$STAMP")); remove that folder to rebuild."
    exit 0
fi
if [ "$(id -u)" != 0 ]; then
    echo "run as root (installs Debian packages)" >&2
    exit 1
fi

SRC=$WORK/src       # downloaded source packages
BLD=$WORK/build     # unpacked sources and build trees
LOG=$WORK/log
mkdir -p "$SRC" "$BLD" "$LOG" "$PREFIX" "$DONE"
# apt-get source drops privileges to _apt for the download.
chown _apt "$SRC" 2>/dev/null || true

export PATH=/usr/bin:/bin:/usr/sbin:/sbin:${PATH}
export LC_ALL=C.UTF-8
NICE=(nice -n 19)

TIMES=()
T0=$(date +%s)

log() { echo "== $*"; }

# Unpacks tarball $1 into $BLD/$2, fresh.
unpack() {
    rm -rf "${BLD:?}/$2"
    mkdir -p "$BLD/$2"
    tar -xf "$1" -C "$BLD/$2" --strip-components=1
}

# The upstream tarball matching glob $1.
orig() {
    local f
    f=$(ls "$SRC"/$1 2>/dev/null | head -n1)
    [ -n "$f" ] || { echo "missing $1 in $SRC; run the 'sources' step" >&2; return 1; }
    echo "$f"
}

# Installs licence files $2... of library $1 into the prefix's licenses/$1/,
# which the installer ships. Each library's step brings its own, so that a
# library added later brings its licence too.
license() {
    local name=$1
    shift
    rm -rf "${PREFIX:?}/licenses/$name"
    mkdir -p "$PREFIX/licenses/$name"
    cp "$@" "$PREFIX/licenses/$name/"
}

# --------------------------------------------------------------------------

step_packages() {
    export DEBIAN_FRONTEND=noninteractive
    apt-get update
    apt-get install -y --no-install-recommends \
        g++-mingw-w64-x86-64 mingw-w64-tools \
        wine64 wine xvfb xauth \
        nsis \
        g++ make cmake ninja-build pkg-config perl python3 \
        dpkg-dev xz-utils bzip2 tcl \
        qttools5-dev-tools qttools5-dev qttranslations5-l10n
    # Select posix threads for the unsuffixed compiler names too: qmake's
    # win32-g++ settings call $(CROSS_COMPILE)g++, and every library in the
    # prefix has to use the same libstdc++-6.dll.
    update-alternatives --set $TRIPLE-gcc /usr/bin/$TRIPLE-gcc-posix
    update-alternatives --set $TRIPLE-g++ /usr/bin/$TRIPLE-g++-posix
}

# Downloads source package $1 unless a tarball matching $2 is there. The
# archive may lack the newest upload's files (a mirror behind the index), so
# older versions of the same suite are tried too; only the upstream tarball
# is needed.
fetch_src() {
    local pkg=$1 glob=$2 v
    ls "$SRC"/$glob >/dev/null 2>&1 && return 0
    (cd "$SRC" && apt-get source --download-only "$pkg") || true
    ls "$SRC"/$glob >/dev/null 2>&1 && return 0
    for v in $(apt-cache showsrc "$pkg" | awk '/^Version:/ {print $2}' | sort -u -r -V); do
        (cd "$SRC" && apt-get source --download-only "$pkg=$v") || true
        ls "$SRC"/$glob >/dev/null 2>&1 && return 0
    done
    return 1
}

# deb-src entries for the archive the machine already uses.
source_list() {
    local list=/etc/apt/sources.list.d/quilm-mingw-src.sources
    if [ ! -e "$list" ]; then
        python3 - "$list" <<'EOF'
import sys
out = []
for block in open('/etc/apt/sources.list.d/debian.sources').read().split('\n\n'):
    fields = {}
    for line in block.splitlines():
        if line.startswith('#') or ':' not in line:
            continue
        k, v = line.split(':', 1)
        fields[k.strip()] = v.strip()
    if 'deb' not in fields.get('Types', '').split():
        continue
    out.append('Types: deb-src\n' + ''.join(
        f'{k}: {fields[k]}\n' for k in ('URIs', 'Suites', 'Components', 'Signed-By') if k in fields))
open(sys.argv[1], 'w').write('\n'.join(out) + '\n')
EOF
        apt-get update
    fi
}

# The source package $1 for a step, where the sources step of an older call
# did not fetch it.
need_src() {
    ls "$SRC"/$2 >/dev/null 2>&1 && return 0
    source_list
    fetch_src "$1" "$2"
}

step_sources() {
    source_list
    fetch_src qtbase-opensource-src 'qtbase-opensource-src_5.15.8*.orig.tar.*'
    fetch_src exiv2 'exiv2_0.27.6.orig.tar.*'
    fetch_src expat 'expat_*.orig.tar.*'
    fetch_src zlib 'zlib_*.orig.tar.*'
    fetch_src sqlite3 'sqlite3_*.orig.tar.*'
    fetch_src xxhash 'xxhash_*.orig.tar.*'
    # Only .qm files come from here, and Debian's qttranslations5-l10n has
    # them built from the same source: the translations step falls back to it.
    fetch_src qttranslations-opensource-src 'qttranslations-opensource-src_5.15.8.orig.tar.*' \
        || echo "qttranslations source not downloadable; will use qttranslations5-l10n's .qm files"
    ls -l "$SRC"
}

step_zlib() {
    # Debian's zlib tarball has no win32/Makefile.gcc and zlib's configure
    # refuses MinGW, and its CMake build names the DLL oddly; it is fifteen C
    # files, built here as a static libz.a that goes into exiv2.dll.
    unpack "$(orig 'zlib_*.orig.tar.*')" zlib
    cd "$BLD/zlib"
    local objs=() f
    for f in adler32 compress crc32 deflate gzclose gzlib gzread gzwrite \
             infback inffast inflate inftrees trees uncompr zutil; do
        "${NICE[@]}" $CC_X -O2 -c $f.c -o $f.o
        objs+=($f.o)
    done
    $TRIPLE-ar rcs libz.a "${objs[@]}"
    install -d "$PREFIX/lib/pkgconfig" "$PREFIX/include"
    install -m644 libz.a "$PREFIX/lib/"
    install -m644 zlib.h zconf.h "$PREFIX/include/"
    [ -e LICENSE ] || sed -n '/^Copyright notice/,$p' README > LICENSE
    license zlib LICENSE
    local ver
    ver=$(sed -n 's/^#define ZLIB_VERSION "\(.*\)"/\1/p' zlib.h)
    cat > "$PREFIX/lib/pkgconfig/zlib.pc" <<EOF
prefix=$PREFIX
libdir=\${prefix}/lib
includedir=\${prefix}/include

Name: zlib
Description: zlib compression library
Version: $ver
Libs: -L\${libdir} -lz
Cflags: -I\${includedir}
EOF
}

cmake_cross() {
    # $1 source dir, $2 build dir, then cache options
    local s=$1 b=$2
    shift 2
    rm -rf "$b"
    cmake -S "$s" -B "$b" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN_FILE" \
        -DQUILM_MINGW_PREFIX="$PREFIX" \
        -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$PREFIX" \
        "$@"
    "${NICE[@]}" cmake --build "$b" -j "$JOBS"
    cmake --install "$b" --strip
}

step_expat() {
    unpack "$(orig 'expat_*.orig.tar.*')" expat
    # The GitHub tarball keeps the library in expat/.
    local s=$BLD/expat
    [ -e "$s/CMakeLists.txt" ] || s=$BLD/expat/expat
    cmake_cross "$s" "$BLD/expat-build" \
        -DEXPAT_SHARED_LIBS=OFF -DEXPAT_BUILD_TOOLS=OFF -DEXPAT_BUILD_EXAMPLES=OFF \
        -DEXPAT_BUILD_TESTS=OFF -DEXPAT_BUILD_DOCS=OFF -DEXPAT_BUILD_FUZZERS=OFF
    license expat "$s/COPYING"
}

step_exiv2() {
    unpack "$(orig 'exiv2_0.27.6.orig.tar.*')" exiv2
    # zlib and expat are named outright: the MinGW sysroot has a zlib of its
    # own (libz-mingw-w64) that must not be picked up.
    cmake_cross "$BLD/exiv2" "$BLD/exiv2-build" \
        -DBUILD_SHARED_LIBS=ON \
        -DEXIV2_ENABLE_WIN_UNICODE=ON \
        -DEXIV2_ENABLE_BMFF=ON \
        -DEXIV2_ENABLE_XMP=ON \
        -DEXIV2_ENABLE_PNG=ON \
        -DEXIV2_ENABLE_NLS=OFF \
        -DEXIV2_ENABLE_CURL=OFF \
        -DEXIV2_ENABLE_WEBREADY=OFF \
        -DEXIV2_ENABLE_SSH=OFF \
        -DEXIV2_ENABLE_VIDEO=OFF \
        -DEXIV2_BUILD_SAMPLES=OFF \
        -DEXIV2_BUILD_EXIV2_COMMAND=OFF \
        -DEXIV2_BUILD_UNIT_TESTS=OFF \
        -DEXIV2_BUILD_FUZZ_TESTS=OFF \
        -DEXIV2_BUILD_DOC=OFF \
        -DEXIV2_BUILD_PO=OFF \
        -DCMAKE_DISABLE_FIND_PACKAGE_Iconv=ON \
        -DZLIB_INCLUDE_DIR="$PREFIX/include" -DZLIB_LIBRARY="$PREFIX/lib/libz.a" \
        -DEXPAT_INCLUDE_DIR="$PREFIX/include" -DEXPAT_LIBRARY="$PREFIX/lib/libexpat.a"
    grep -q "^prefix=$PREFIX\$" "$PREFIX/lib/pkgconfig/exiv2.pc"
    license exiv2 "$BLD/exiv2/COPYING"
}

step_sqlite() {
    need_src sqlite3 'sqlite3_*.orig.tar.x*'
    # Debian's tarball is SQLite's source tree, not the amalgamation; its
    # configure makes sqlite3.c with the host's tclsh.
    unpack "$(orig 'sqlite3_*.orig.tar.x*')" sqlite3
    mkdir -p "$BLD/sqlite3/bld"
    cd "$BLD/sqlite3/bld"
    ../configure --disable-tcl >/dev/null
    "${NICE[@]}" make -j "$JOBS" sqlite3.c >/dev/null
    # Roughly Debian's own choice of options.
    local defs=(-DSQLITE_THREADSAFE=1 -DSQLITE_ENABLE_FTS3 -DSQLITE_ENABLE_FTS3_PARENTHESIS
                -DSQLITE_ENABLE_FTS5 -DSQLITE_ENABLE_RTREE -DSQLITE_ENABLE_COLUMN_METADATA
                -DSQLITE_ENABLE_UNLOCK_NOTIFY -DSQLITE_ENABLE_DBSTAT_VTAB
                -DSQLITE_SECURE_DELETE -DSQLITE_MAX_VARIABLE_NUMBER=250000
                "-DSQLITE_API=__declspec(dllexport)")
    "${NICE[@]}" $CC_X -O2 "${defs[@]}" -shared -o sqlite3.dll sqlite3.c \
        -Wl,--out-implib,libsqlite3.dll.a
    $TRIPLE-strip --strip-unneeded sqlite3.dll
    install -d "$PREFIX/bin" "$PREFIX/lib/pkgconfig" "$PREFIX/include"
    install -m755 sqlite3.dll "$PREFIX/bin/"
    install -m644 libsqlite3.dll.a "$PREFIX/lib/"
    install -m644 sqlite3.h ../src/sqlite3ext.h "$PREFIX/include/" 2>/dev/null \
        || install -m644 sqlite3.h sqlite3ext.h "$PREFIX/include/"
    local ver
    ver=$(cat ../VERSION)
    cat > "$PREFIX/lib/pkgconfig/sqlite3.pc" <<EOF
prefix=$PREFIX
libdir=\${prefix}/lib
includedir=\${prefix}/include

Name: SQLite
Description: SQL database engine
Version: $ver
Libs: -L\${libdir} -lsqlite3
Cflags: -I\${includedir}
EOF
    [ -e ../LICENSE.md ] && cp ../LICENSE.md LICENSE.md \
        || echo "SQLite is in the public domain: https://www.sqlite.org/copyright.html" > LICENSE.md
    license sqlite LICENSE.md
}

step_xxhash() {
    need_src xxhash 'xxhash_*.orig.tar.*'
    unpack "$(orig 'xxhash_*.orig.tar.*')" xxhash
    # Static: a few kB of code, and the program may inline it anyway.
    cmake_cross "$BLD/xxhash/cmake_unofficial" "$BLD/xxhash-build" \
        -DBUILD_SHARED_LIBS=OFF -DXXHASH_BUILD_XXHSUM=OFF
    license xxhash "$BLD/xxhash/LICENSE"
}

step_qtbase() {
    unpack "$(orig 'qtbase-opensource-src_5.15.8*.orig.tar.*')" qtbase
    rm -rf "$BLD/qtbase-build"
    mkdir -p "$BLD/qtbase-build"
    cd "$BLD/qtbase-build"
    # Shared: two programs and the test executables share one set of DLLs.
    # Host tools (qmake, moc, rcc, uic) are built for Linux with the host g++.
    # zlib, libpng and libjpeg are Qt's bundled copies; no OpenGL, widgets
    # paint with the raster engine; no SSL, the program speaks plain HTTP.
    # No tablet events: the Windows plugin needs wintab.h for them, which
    # Debian strips from its tarball (src/3rdparty/wintab, Files-Excluded).
    "${NICE[@]}" "$BLD/qtbase/configure" \
        -prefix "$PREFIX" \
        -opensource -confirm-license \
        -release -shared -strip \
        -platform linux-g++ \
        -xplatform win32-g++ \
        -device-option CROSS_COMPILE=$TRIPLE- \
        -nomake examples -nomake tests \
        -no-opengl -no-dbus -no-icu -no-openssl -no-feature-tabletevent \
        -qt-zlib -qt-libpng -qt-libjpeg -qt-pcre -qt-harfbuzz -qt-freetype \
        -no-sql-sqlite -no-sql-odbc -no-sql-psql -no-sql-mysql \
        -silent
    "${NICE[@]}" make -j "$JOBS"
    make install
    local f
    for f in Core Gui Widgets Network Test; do
        [ -e "$PREFIX/bin/Qt5$f.dll" ] || { echo "Qt5$f.dll missing" >&2; return 1; }
    done
    for f in plugins/platforms/qwindows.dll plugins/imageformats/qjpeg.dll \
             plugins/styles/qwindowsvistastyle.dll bin/moc bin/rcc bin/uic bin/qmake; do
        [ -e "$PREFIX/$f" ] || { echo "$f missing" >&2; return 1; }
    done
}

step_translations() {
    local dest=$PREFIX/translations t
    mkdir -p "$dest"
    local tarball
    if tarball=$(orig 'qttranslations-opensource-src_5.15.8.orig.tar.*' 2>/dev/null); then
        unpack "$tarball" qttranslations
        for t in "$BLD"/qttranslations/translations/qtbase_*.ts; do
            /usr/lib/qt5/bin/lrelease -silent "$t" -qm "$dest/$(basename "${t%.ts}").qm"
        done
        echo "qtbase_*.qm compiled from qttranslations 5.15.8"
    else
        # Same source, compiled by Debian: .qm files do not depend on the
        # platform.
        cp /usr/share/qt5/translations/qtbase_*.qm "$dest/"
        echo "qtbase_*.qm copied from Debian's qttranslations5-l10n $(dpkg-query -W -f='${Version}' qttranslations5-l10n)"
    fi
    for t in de fr zh_CN; do
        [ -e "$dest/qtbase_$t.qm" ] || { echo "qtbase_$t.qm missing" >&2; return 1; }
    done
}

step_licenses() {
    # The libraries' steps bring their own; Qt's and the compiler runtime's
    # come here.
    local L=$PREFIX/licenses f
    license qtbase "$BLD"/qtbase/LICENSE.{LGPL3,GPL2,GPL3,GPL3-EXCEPT,FDL}
    # Third-party code that the Qt DLLs carry.
    for f in $(cd "$BLD/qtbase/src/3rdparty" && find . -maxdepth 2 \
                   \( -iname 'LICEN[CS]E*' -o -iname 'COPYING*' \) | sort); do
        mkdir -p "$L/qtbase/3rdparty/$(dirname "$f")"
        cp "$BLD/qtbase/src/3rdparty/$f" "$L/qtbase/3rdparty/$f"
    done
    # libstdc++, libgcc (GPL with the runtime exception) and winpthreads.
    license mingw-w64-runtime /usr/share/doc/gcc-mingw-w64-base/copyright
    mv "$L/mingw-w64-runtime/copyright" "$L/mingw-w64-runtime/gcc-copyright"
    cp /usr/share/doc/mingw-w64-common/copyright "$L/mingw-w64-runtime/mingw-w64-copyright"
}

# --------------------------------------------------------------------------

fmt() { printf '%dm%02ds' $(($1 / 60)) $(($1 % 60)); }

SUM=0
run_step() {
    local name=$1 start end secs
    if [ -e "$DONE/$name" ]; then
        secs=$(cat "$DONE/$name")
        SUM=$((SUM + secs))
        TIMES+=("$(printf '%-13s %s (done by an earlier call)' "$name" "$(fmt "$secs")")")
        return 0
    fi
    log "$name (log: $LOG/$name.log)"
    start=$(date +%s)
    # Not under "if": errexit would be off inside the step.
    set +e
    ( set -euo pipefail; "step_$name" ) > "$LOG/$name.log" 2>&1
    local rc=$?
    set -e
    if [ $rc -ne 0 ]; then
        echo "step $name failed; last lines of $LOG/$name.log:" >&2
        tail -n 30 "$LOG/$name.log" >&2
        exit 1
    fi
    end=$(date +%s)
    secs=$((end - start))
    echo "$secs" > "$DONE/$name"
    SUM=$((SUM + secs))
    TIMES+=("$(printf '%-13s %s' "$name" "$(fmt "$secs")")")
}

main() {
    local steps=("$@") s
    [ ${#steps[@]} -gt 0 ] || steps=("${ALL_STEPS[@]}")
    for s in "${steps[@]}"; do
        declare -F "step_$s" >/dev/null || { echo "unknown step: $s" >&2; exit 2; }
    done
    for s in "${steps[@]}"; do
        run_step "$s"
    done

    T1=$(date +%s)
    echo "Time per step:"
    printf '  %s\n' "${TIMES[@]}"
    printf '  %-13s %s\n' "all steps" "$(fmt $SUM)" "this call" "$(fmt $((T1 - T0)))"
    if [ $# -eq 0 ]; then
        echo "$(date -u +%Y-%m-%dT%H:%M:%SZ), steps took $SUM s" > "$STAMP"
        echo "Windows toolchain ready in $PREFIX"
    fi
}

# One line, read whole before it runs: editing this file during a long build
# does not change what the running call does next.
main "$@"; exit $?
