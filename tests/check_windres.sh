#!/usr/bin/env bash
# Compiles app/calvetra.rc with the MinGW resource compiler and checks that
# the result carries the application icon and the version strings.
#
# Usage: tests/check_windres.sh SOURCE_DIR GENERATED_DIR VERSION
# GENERATED_DIR holds the build's calvetra_version.h, VERSION is the
# project's version as that header gives it (1.00).
# Needs binutils-mingw-w64-i686 (i686-w64-mingw32-windres) and a C
# preprocessor: i686-w64-mingw32-gcc when installed, otherwise the host cpp.
# Exits 0 when every check passes, 77 (skipped) when a tool is missing, 1
# (with the reason) otherwise.
set -uo pipefail

fail() { echo "check_windres: FAIL: $*" >&2; exit 1; }
skip() { echo "check_windres: skipped: $*" >&2; exit 77; }

src="${1:-}"
gen="${2:-}"
version="${3:-}"
[ -n "$src" ] && [ -n "$gen" ] && [ -n "$version" ] || fail "usage: $0 SOURCE_DIR GENERATED_DIR VERSION"
src="$(cd "$src" 2>/dev/null && pwd)" || fail "source dir '$1' not found"
gen="$(cd "$gen" 2>/dev/null && pwd)" || fail "generated dir '$2' not found"
[ -f "$gen/calvetra_version.h" ] || fail "missing $gen/calvetra_version.h"
rc_file="$src/app/calvetra.rc"
ico_file="$src/assets/calvetra.ico"
[ -f "$rc_file" ] || fail "missing $rc_file"
[ -f "$ico_file" ] || fail "missing $ico_file"

windres=i686-w64-mingw32-windres
command -v "$windres" >/dev/null || skip "$windres not installed (apt-get install binutils-mingw-w64-i686)"

# windres normally preprocesses with i686-w64-mingw32-gcc; the host cpp does
# the same job for this file when the cross compiler is not installed.
pp_args=()
if ! command -v i686-w64-mingw32-gcc >/dev/null; then
    command -v cpp >/dev/null || skip "neither i686-w64-mingw32-gcc nor cpp is installed"
    pp_args=(--preprocessor=cpp --preprocessor-arg=-xc --preprocessor-arg=-DRC_INVOKED)
fi

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
obj="$tmp/calvetra_rc.o"

# The icon path in the script is relative to app/; --include-dir lets windres
# find it whatever the current directory is.
if ! (cd "$tmp" && "$windres" "${pp_args[@]}" --include-dir "$src/app" --include-dir "$gen" \
        "$rc_file" -O coff -o "$obj") >"$tmp/windres.log" 2>&1; then
    cat "$tmp/windres.log" >&2
    fail "windres could not compile $rc_file"
fi
[ -s "$obj" ] || fail "windres produced no output"

# 1. Raw bytes: version strings are stored as UTF-16LE.
utf16() { printf '%s' "$1" | sed 's/./&\\x00/g; s/\./\\./g'; }
for s in "$version" "FileVersion" "ProductVersion" "CALVETRA" "calvetra.exe" "0C0A04B0"; do
    LC_ALL=C grep -qaP "$(utf16 "$s")" "$obj" || fail "UTF-16 string \"$s\" not in the compiled resources"
done

# 2. Decompile the object back to a resource script and read it.
"$windres" -J coff -i "$obj" -O rc -o "$tmp/back.rc" 2>"$tmp/decompile.log" \
    || { cat "$tmp/decompile.log" >&2; fail "windres could not read back its own output"; }

icons=$(grep -cE '^[0-9]+ 3 /\* RT_ICON \*/' "$tmp/back.rc")
[ "$icons" -eq 15 ] || fail "expected 15 RT_ICON images, found $icons"
grep -qE '^1 14 /\* RT_GROUP_ICON \*/' "$tmp/back.rc" || fail "icon group 1 missing"

grep -qE '^1 VERSIONINFO' "$tmp/back.rc" || fail "VERSIONINFO missing"
grep -qE 'FILEVERSION 1, 0, 0, 0' "$tmp/back.rc" || fail "FILEVERSION is not 1,0,0,0"
grep -qE 'PRODUCTVERSION 1, 0, 0, 0' "$tmp/back.rc" || fail "PRODUCTVERSION is not 1,0,0,0"
grep -qE 'FILEOS 0x4$' "$tmp/back.rc" || fail "FILEOS is not VOS__WINDOWS32"
grep -qE 'FILETYPE 0x1$' "$tmp/back.rc" || fail "FILETYPE is not VFT_APP"
grep -qF 'BLOCK "0C0A04B0"' "$tmp/back.rc" || fail "string block 0C0A04B0 missing"
for kv in "\"FileVersion\", \"$version\"" "\"ProductVersion\", \"$version\"" '"ProductName", "CALVETRA"' \
          '"InternalName", "calvetra"' '"OriginalFilename", "calvetra.exe"'; do
    grep -qF "VALUE $kv" "$tmp/back.rc" || fail "missing VALUE $kv"
done
values=$(sed -n '/BLOCK "0C0A04B0"/,/END/p' "$tmp/back.rc" | grep -c 'VALUE ')
[ "$values" -eq 5 ] || fail "string block holds $values values, expected 5"
grep -qE 'VALUE "Translation", 0xc0a, 1200' "$tmp/back.rc" || fail "Translation is not 0x0C0A, 0x04B0"

# 3. Every image of calvetra.ico is stored, byte for byte, in the resources.
#    Compare as hex text so that plain grep can search binary data.
hex() { od -An -v -tx1 | tr -d ' \n'; }
obj_hex="$tmp/obj.hex"
hex <"$obj" >"$obj_hex"
ico_count=$(od -An -tu2 -j4 -N2 "$ico_file" | tr -d ' ')
[ "$ico_count" -eq "$icons" ] || fail "calvetra.ico has $ico_count images, resources have $icons"
for ((i = 0; i < ico_count; i++)); do
    entry=$((6 + 16 * i))
    len=$(od -An -tu4 -j $((entry + 8)) -N4 "$ico_file" | tr -d ' ')
    off=$(od -An -tu4 -j $((entry + 12)) -N4 "$ico_file" | tr -d ' ')
    tail -c +$((off + 1)) "$ico_file" | head -c "$len" | hex >"$tmp/img.hex"
    [ "$(stat -c %s "$tmp/img.hex")" -eq $((2 * len)) ] || fail "icon image $i lies outside calvetra.ico"
    grep -qF -f "$tmp/img.hex" "$obj_hex" || fail "icon image $i ($len bytes) not found in the compiled resources"
done
obj_size=$(stat -c %s "$obj")

echo "check_windres: OK ($icons icon images, version $version, $obj_size bytes of resources)"
exit 0
