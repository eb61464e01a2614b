#!/usr/bin/env bash
# The Debian package: made by CPack from the build tree, then checked as
# Debian's tools and an installed system would see it.
#
# Usage: tests/check_deb.sh build BUILD_DIR OUT_DIR   make OUT_DIR/calvetra_*.deb afresh
#        tests/check_deb.sh lintian OUT_DIR            lintian reports no error
#        tests/check_deb.sh contents OUT_DIR VERSION   control fields, every file in its
#                                                      place, AppStream and desktop entry valid
# VERSION is the program's own version (1.00). Exits 0 when every check
# passes, 1 on a failure, 77 when a tool is missing (reported as skipped).
set -uo pipefail

failures=0
fail() { echo "check_deb: FAIL: $*" >&2; failures=$((failures + 1)); }
die() { echo "check_deb: FAIL: $*" >&2; exit 1; }
need() {
    for tool in "$@"; do
        command -v "$tool" >/dev/null || { echo "check_deb: $tool not installed: skipped" >&2; exit 77; }
    done
}
the_deb() {  # OUT_DIR: the one package in it
    local debs=("$1"/calvetra_*.deb)
    [ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || die "expected one calvetra_*.deb in $1"
    echo "${debs[0]}"
}

build() {  # BUILD_DIR OUT_DIR
    need cpack dpkg-deb dpkg-shlibdeps
    rm -rf "$2"
    mkdir -p "$2"
    cpack --config "$1/CPackConfig.cmake" -B "$2/cpack" >"$2/cpack.log" 2>&1 ||
        { cat "$2/cpack.log" >&2; die "cpack failed"; }
    mv "$2"/cpack/calvetra_*.deb "$2"/ || die "cpack made no calvetra_*.deb"
    rm -rf "$2/cpack"
    local deb
    deb="$(the_deb "$2")"
    echo "check_deb: built $(basename "$deb") ($(stat -c %s "$deb") bytes)"
}

lint() {  # OUT_DIR
    need lintian
    local deb
    deb="$(the_deb "$1")"
    # Every tag is printed; only errors fail.
    lintian --allow-root --display-info --fail-on error "$deb" || die "lintian reports errors"
    echo "check_deb: lintian found no error in $(basename "$deb")"
}

# The regular files the package installs, and nothing else.
expected_files() {  # APPSTREAM_ID
    cat <<EOF
./usr/bin/calvetra
./usr/share/applications/calvetra.desktop
./usr/share/doc/calvetra/changelog.Debian.gz
./usr/share/doc/calvetra/copyright
./usr/share/icons/hicolor/256x256/apps/calvetra.png
./usr/share/icons/hicolor/48x48/apps/calvetra.png
./usr/share/icons/hicolor/scalable/apps/calvetra.svg
./usr/share/man/es/man1/calvetra.1.gz
./usr/share/man/man1/calvetra.1.gz
./usr/share/metainfo/$1.metainfo.xml
EOF
}

contents() {  # OUT_DIR VERSION
    need dpkg-deb dpkg-parsechangelog file appstreamcli desktop-file-validate gzip
    local deb version root
    deb="$(the_deb "$1")"
    version="$2"
    root="$1/root"
    rm -rf "$root"
    dpkg -x "$deb" "$root" || die "dpkg -x could not unpack $deb"
    field() { dpkg-deb -f "$deb" "$1"; }

    # Control fields: the Debian version carries the program's, and Depends
    # was worked out from the libraries the program links.
    [ "$(field Package)" = calvetra ] || fail "Package is '$(field Package)'"
    [[ "$(field Version)" == "$version"-* ]] || fail "Version $(field Version) is not $version-REVISION"
    [ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture is '$(field Architecture)'"
    local depends
    depends="$(field Depends | tr ',' '\n' | sed -E 's/^ *([^ ]+).*/\1/')"
    for lib in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6; do
        grep -qxF "$lib" <<<"$depends" || fail "Depends lacks $lib: $(field Depends)"
    done
    [ "$(field Recommends)" = qt6-translations-l10n ] || fail "Recommends is '$(field Recommends)'"

    # The changelog's latest entry is this version, by this maintainer.
    local changes="$1/changelog"
    gzip -dc "$root/usr/share/doc/calvetra/changelog.Debian.gz" >"$changes" 2>/dev/null ||
        fail "changelog.Debian.gz is not a gzip file"
    [ "$(dpkg-parsechangelog -l "$changes" -S Version 2>/dev/null)" = "$(field Version)" ] ||
        fail "the changelog's latest version is not $(field Version)"
    [ "$(dpkg-parsechangelog -l "$changes" -S Maintainer 2>/dev/null)" = "$(field Maintainer)" ] ||
        fail "the changelog's latest entry is not by the Maintainer, $(field Maintainer)"

    # Every file in its place, none elsewhere.
    local metainfo id
    metainfo=("$root"/usr/share/metainfo/*.metainfo.xml)
    id="$(sed -n 's|.*<id>\(.*\)</id>.*|\1|p' "${metainfo[0]}" 2>/dev/null | head -n1)"
    [ -n "$id" ] || fail "no AppStream component ID in usr/share/metainfo"
    local unexpected
    unexpected="$(diff <(expected_files "$id") <(cd "$root" && find . -type f -o -type l | LC_ALL=C sort))" ||
        fail "files differ from the expected layout (< missing, > unexpected):
$unexpected"

    # The program: a stripped executable for this machine.
    local elf
    elf="$(file -b "$root/usr/bin/calvetra")"
    [[ "$elf" == ELF*executable*", stripped"* ]] || fail "usr/bin/calvetra is not a stripped executable: $elf"
    [ -x "$root/usr/bin/calvetra" ] || fail "usr/bin/calvetra is not executable"

    # Icons of the size their folder names, and an SVG one.
    local png size
    for png in "$root"/usr/share/icons/hicolor/*x*/apps/calvetra.png; do
        size="$(basename "$(dirname "$(dirname "$png")")")"
        file -b "$png" | grep -q "^PNG image data, ${size/x/ x }," || fail "${png#"$root"/} is not a $size PNG"
    done
    file -b "$root/usr/share/icons/hicolor/scalable/apps/calvetra.svg" | grep -q "SVG" ||
        fail "the scalable icon is not SVG"

    # Manual pages of this version, in English and Spanish.
    local page
    for page in man/man1 man/es/man1; do
        gzip -dc "$root/usr/share/$page/calvetra.1.gz" 2>/dev/null | grep -q "^\.TH CALVETRA 1 .*\"CALVETRA $version\"" ||
            fail "usr/share/$page/calvetra.1.gz is not the manual page of CALVETRA $version"
    done

    # Copyright in the machine-readable format, under the GPL, version 3 or later.
    local copyright="$root/usr/share/doc/calvetra/copyright"
    head -n1 "$copyright" | grep -qx "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" ||
        fail "copyright is not in the machine-readable format"
    grep -A2 -x "Files: \*" "$copyright" | grep -qx "License: GPL-3+" || fail "copyright does not license Files: * under GPL-3+"
    grep -q "/usr/share/common-licenses/GPL-3" "$copyright" || fail "copyright does not point at the GPL's text"

    # AppStream: valid, with its desktop entry beside it (validate-tree checks
    # the launchable), under the GPL, describing this version.
    appstreamcli validate --no-net "${metainfo[0]}" || fail "appstreamcli validate rejects ${metainfo[0]#"$root"/}"
    appstreamcli validate-tree --no-net "$root" || fail "appstreamcli validate-tree rejects the unpacked package"
    grep -q "<project_license>GPL-3.0-or-later</project_license>" "${metainfo[0]}" ||
        fail "the metainfo's project licence is not GPL-3.0-or-later"
    grep -q "<release version=\"$version\"" "${metainfo[0]}" || fail "the metainfo has no release $version"
    for lang in "" ' xml:lang="es"'; do
        grep -q "<summary$lang>" "${metainfo[0]}" || fail "the metainfo has no summary$lang"
    done

    # The desktop entry: valid, starting the installed program with its icon.
    local desktop="$root/usr/share/applications/calvetra.desktop"
    desktop-file-validate "$desktop" || fail "desktop-file-validate rejects calvetra.desktop"
    grep -qx "Exec=calvetra" "$desktop" || fail "the desktop entry does not run calvetra"
    grep -qx "Icon=calvetra" "$desktop" || fail "the desktop entry's icon is not calvetra"

    ((failures == 0)) || exit 1
    echo "check_deb: $(basename "$deb"): fields, $(expected_files "$id" | wc -l) files, AppStream and desktop entry checked"
}

case "${1:-}" in
    build) build "${2:?BUILD_DIR}" "${3:?OUT_DIR}" ;;
    lintian) lint "${2:?OUT_DIR}" ;;
    contents) contents "${2:?OUT_DIR}" "${3:?VERSION}" ;;
    *) die "usage: $0 build BUILD_DIR OUT_DIR | lintian OUT_DIR | contents OUT_DIR VERSION" ;;
esac
