#!/bin/sh
# Makes words.txt, the large list of common English words, from SCOWL's
# size-35 American English list as Debian ships it in the package
# wamerican-small (apt-get install wamerican-small). The build does not run
# this: words.txt is kept in the repository. Run it again after changing
# denylist.txt or abbreviations.txt; the same source gives the same file.
# ../wordlists/README gives the rules, where the words come from and their
# licence.
#   make-words.sh [SOURCE]   SOURCE: /usr/share/dict/american-english-small
# Says on standard error how many words each step leaves out.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
source=${1:-/usr/share/dict/american-english-small}
export LC_ALL=C

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$source" "$work/words"
echo "$(wc -l <"$work/words") words in $source" >&2

# step WHAT GREP-ARGUMENTS...: keeps the lines that grep picks, and says how
# many it leaves out and why.
step() {
    what=$1
    shift
    grep "$@" "$work/words" >"$work/kept" || true
    echo "$(($(wc -l <"$work/words") - $(wc -l <"$work/kept"))) $what" >&2
    mv "$work/kept" "$work/words"
}

step "possessives" -vF "'"
step "capitalised in the source: names, acronyms" -vE '^[A-Z]'
step "with letters beyond a to z" -E '^[a-z]+$'
step "shorter than 4 or longer than 9 letters" -E '^.{4,9}$'
step "Roman numerals" -vE '^m{0,4}(cm|cd|d?c{0,3})(xc|xl|l?x{0,3})(ix|iv|v?i{0,3})$'
step "abbreviations, contractions and other non-words" -vxF -f "$here/abbreviations.txt"
step "on the denylist" -vxF -f "$here/denylist.txt"

awk '{ print toupper(substr($0, 1, 1)) substr($0, 2) }' "$work/words" | sort -u >"$work/capitalised"
mv "$work/capitalised" "$here/words.txt"
echo "$(wc -l <"$here/words.txt") words written to $here/words.txt" >&2
