#!/usr/bin/env bash
# Builds the Debian package from the build, has Debian's checker (lintian)
# look at it, installs it with dpkg into a scratch root and checks what a
# user finds there. Runs as root and as anyone else: dpkg gets a root of its
# own (--root, a fresh database of installed packages in it) and installs
# there without root's rights (--force-not-root); the package has no
# maintainer scripts to run. The libraries it depends on are the system's, so
# that check is left aside (--force-depends).
#   check_package.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/package" >"$work/cpack.log" 2>&1 \
    || { cat "$work/cpack.log" >&2; fail "cpack could not build the package"; }
packages=("$work"/package/*.deb)
[ ${#packages[@]} -eq 1 ] && [ -f "${packages[0]}" ] || fail "cpack built ${#packages[@]} packages"
deb=${packages[0]}

# Errors, warnings and remarks alike; lintian's own notes (such as running
# as root) go to standard error and are left aside.
if ! report=$(lintian --display-info --fail-on error,warning,info "$deb" 2>"$work/lintian.err") || [ -n "$report" ]; then
    echo "$report" >&2
    cat "$work/lintian.err" >&2
    fail "lintian finds fault with $(basename "$deb")"
fi

root=$work/root
admin=$root/var/lib/dpkg
mkdir -p "$admin/info" "$admin/updates" "$admin/triggers"
touch "$admin/status" "$admin/available"
# dpkg wants the system's ldconfig and start-stop-daemon on its path.
PATH=$PATH:/usr/sbin:/sbin dpkg --root="$root" --log="$work/dpkg.log" --force-not-root,depends \
    -i "$deb" >"$work/dpkg.out" 2>&1 || { cat "$work/dpkg.out" >&2; fail "dpkg -i"; }
dpkg --root="$root" -s lexiglow | grep -qx 'Status: install ok installed' || fail "dpkg does not hold lexiglow installed"
for file in /usr/bin/lexiglow /usr/bin/lxg /usr/share/man/man1/lxg.1.gz /usr/share/man/man1/lexiglow.1.gz \
    /usr/share/applications/example.lexiglow.Lexiglow.desktop /usr/share/lexiglow/lists/common.lxg; do
    dpkg --root="$root" -S "$file" >/dev/null || fail "the package does not hold $file"
done
"$here/check_installed_tree.sh" "$root/usr"
echo "package checks passed: $(basename "$deb")"
