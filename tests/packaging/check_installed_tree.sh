#!/usr/bin/env bash
# Checks what a Linux desktop and a user find in an installed tree, whether
# `cmake --install` or the Debian package put it there.
#   check_installed_tree.sh PREFIX   (the tree's usr, or the install prefix)
set -euo pipefail
prefix=$1
here=$(dirname "$0")
fail() { echo "FAIL: $*" >&2; exit 1; }
app=example.lexiglow.Lexiglow

desktop-file-validate "$prefix/share/applications/$app.desktop" || fail "desktop entry"
grep -qx 'Exec=lexiglow' "$prefix/share/applications/$app.desktop" || fail "the desktop entry starts something else"
appstreamcli validate --no-net "$prefix/share/metainfo/$app.metainfo.xml" || fail "AppStream metadata"
[ -s "$prefix/share/icons/hicolor/scalable/apps/$app.svg" ] || fail "no scalable icon"
for size in 16 32 48 64 128 256; do
    [ -s "$prefix/share/icons/hicolor/${size}x${size}/apps/$app.png" ] || fail "no ${size}x${size} icon"
done
for page in lxg lexiglow; do
    zcat "$prefix/share/man/man1/$page.1.gz" | grep -q '^\.TH' || fail "no man page for $page"
done
zcat "$prefix/share/doc/lexiglow/changelog.gz" | head -1 | grep -q '^lexiglow (' || fail "no changelog"
copyright=$prefix/share/doc/lexiglow/copyright
grep -q 'MIT License' "$copyright" && grep -q 'SCOWL' "$copyright" || fail "the copyright file leaves out Lexiglow's or the large list's licence"

# The commands are links into the program's own folder, where the lists are.
for program in lexiglow lxg; do
    [ -L "$prefix/bin/$program" ] || fail "$program is not linked into bin"
    [ -x "$(readlink -f "$prefix/bin/$program")" ] || fail "$program does not run"
done
# Installed, they look for libraries nowhere but the system's folders.
"$here/check_search_path.sh" "$prefix/bin/lexiglow" "$prefix/bin/lxg" >/dev/null || fail "search path"
program_dir=$(dirname "$(readlink -f "$prefix/bin/lxg")")
lists=$(find "$program_dir" -maxdepth 1 -type f -name '*.lxg' | wc -l)
[ "$lists" -ge 8 ] || fail "only $lists word lists beside the program"

# The large list is among the shared data, not where a first start looks.
large=$prefix/share/lexiglow/lists/common.lxg
[ -f "$large" ] || fail "no large list in share/lexiglow/lists"
[ -z "$(find "$program_dir" -name common.lxg)" ] || fail "the large list is beside the program"

# With no library stored, the installed lxg finds the shipped lists.
config=$(mktemp -d)
trap 'rm -rf "$config"' EXIT
export XDG_CONFIG_HOME=$config
passwords=$("$prefix/bin/lxg" suggest --count 20)
[ "$(echo "$passwords" | wc -l)" -eq 20 ] || fail "lxg suggest did not print 20 passwords"
echo "$passwords" | grep -q '[A-Za-z]' || fail "the passwords hold no words"
[ "$("$prefix/bin/lxg" show "$large" | head -1)" = "Common Words" ] || fail "lxg cannot read the large list"
[ -z "$(ls -A "$config")" ] || fail "lxg wrote settings"
echo "installed tree checked: $prefix"
