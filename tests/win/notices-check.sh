#!/bin/sh
# Fails when the link map MAP shows a library from outside the project
# linked in (map-libraries.sh: an archive with any member taken, or an
# object given by itself) that NOTICES, THIRD-PARTY-NOTICES.txt, has no
# entry for: each entry names the files it covers on a line
# "Linked as: FILE ...". Also fails when the map shows nothing from outside
# at all, which only a map the script cannot read gives. Prints every
# library with the number of its members linked.
# Usage: notices-check.sh MAP NOTICES
set -eu
map=$1 notices=$2
[ -r "$notices" ] || { echo "no notices file $notices"; exit 1; }
listed=$(awk '$1 == "Linked" && $2 == "as:" { for (i = 3; i <= NF; i++) print $i }' "$notices")
libraries=$(sh "$(dirname "$0")/map-libraries.sh" "$map" | sed 's/(.*$//' | LC_ALL=C sort | uniq -c)
if [ -z "$libraries" ]; then
  echo "$map shows nothing linked from outside the project: is it a link map?"
  exit 1
fi
status=0
while read -r members library; do
  if echo "$listed" | grep -qxF "$library"; then
    echo "$library: $members linked, listed"
  else
    echo "$library has no entry in $(basename "$notices") (\"Linked as: $library\")"
    status=1
  fi
done <<LIBRARIES
$libraries
LIBRARIES
[ "$status" -eq 0 ] && echo "notices check passed"
exit "$status"
