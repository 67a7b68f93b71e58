#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a Linux desktop
# and a user find there.
#   check_install.sh BUILD_DIR
set -euo pipefail
build=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
cmake --install "$build" --prefix "$root/usr" >/dev/null
"$(dirname "$0")/check_installed_tree.sh" "$root/usr"
echo "install checks passed"
