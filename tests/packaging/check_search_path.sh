#!/usr/bin/env bash
# Fails when a program's library search path (RPATH or RUNPATH) has an empty
# or relative entry: the loader would look for libraries in whatever folder
# the program is started from. An absolute entry or one under $ORIGIN passes.
#   check_search_path.sh PROGRAM...
set -euo pipefail
status=0
for program in "$@"; do
    dynamic=$(readelf -d "$program") || { echo "FAIL: cannot read $program" >&2; status=1; continue; }
    bad=0
    while IFS= read -r path; do
        # awk keeps the empty entries that "a::b", ":a" or "" hold.
        while IFS= read -r entry; do
            case $entry in
                /* | '$ORIGIN' | '$ORIGIN/'* | '${ORIGIN}' | '${ORIGIN}/'*) ;;
                *) bad=1 ;;
            esac
        done < <(awk -F: '{ if (NF == 0) print ""; for (i = 1; i <= NF; i++) print $i }' <<<"$path")
        [ $bad -eq 0 ] || { echo "FAIL: $program looks for libraries in the working folder ([$path])" >&2; status=1; }
    done < <(sed -n 's/.*(\(RPATH\|RUNPATH\)).*\[\(.*\)\]$/\2/p' <<<"$dynamic")
done
[ $status -eq 0 ] && echo "search paths checked: $*"
exit $status
