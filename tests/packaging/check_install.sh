#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a Linux desktop
# and a user find there.
#   check_install.sh BUILD_DIR
set -euo pipefail
build=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
prefix="$root/usr"
cmake --install "$build" --prefix "$prefix" >/dev/null

fail() { echo "FAIL: $*" >&2; exit 1; }
app=example.lexiglow.Lexiglow

desktop-file-validate "$prefix/share/applications/$app.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$prefix/share/metainfo/$app.metainfo.xml" || fail "AppStream metadata"
[ -s "$prefix/share/icons/hicolor/scalable/apps/$app.svg" ] || fail "no scalable icon"
for size in 16 32 48 64 128 256; do
    [ -s "$prefix/share/icons/hicolor/${size}x${size}/apps/$app.png" ] || fail "no ${size}x${size} icon"
done
for page in lxg lexiglow; do
    [ -s "$prefix/share/man/man1/$page.1" ] || fail "no man page for $page"
done

# The commands are links into the program's own folder, where the lists are.
for program in lexiglow lxg; do
    [ -L "$prefix/bin/$program" ] || fail "$program is not linked into bin"
    [ -x "$(readlink -f "$prefix/bin/$program")" ] || fail "$program does not run"
done
# Installed, they look for libraries nowhere but the system's folders.
"$(dirname "$0")/check_search_path.sh" "$prefix/bin/lexiglow" "$prefix/bin/lxg" >/dev/null || fail "search path"
lists=$(find "$(dirname "$(readlink -f "$prefix/bin/lxg")")" -name '*.lxg' | wc -l)
[ "$lists" -ge 8 ] || fail "only $lists word lists beside the program"

# With no library stored, the installed lxg finds the shipped lists.
export XDG_CONFIG_HOME="$root/config"
passwords=$("$prefix/bin/lxg" suggest --count 20)
[ "$(echo "$passwords" | wc -l)" -eq 20 ] || fail "lxg suggest did not print 20 passwords"
echo "$passwords" | grep -q '[A-Za-z]' || fail "the passwords hold no words"
[ ! -e "$root/config/lexiglow" ] || fail "lxg suggest wrote settings"
echo "install checks passed"
