#!/bin/sh
# Names every object that the GNU ld link map MAP shows linked from outside
# the project, one a line, by file name without folders: an archive's member
# as ARCHIVE(MEMBER), an object given to the linker by itself as OBJECT. The
# toolchain's files reach the linker by absolute paths, the build's own
# objects and libraries by paths relative to the build folder.
# Usage: map-libraries.sh MAP
set -eu
# Members are listed under "Archive member included ...", each at the start
# of a line, the object that wanted it beside or below; every file given to
# the linker has a LOAD line, an archive whether or not a member was taken.
awk '/^Archive member included/ { members = 1; next }
  /^(Discarded input sections|Allocating common symbols|Memory Configuration)/ { members = 0 }
  members && /^[^ \t]/ && $1 ~ /\)$/ { print $1 }
  $1 == "LOAD" && $2 !~ /\.a$/ { print $2 }' "$1" |
  grep '^/' | sed 's|^.*/||' | LC_ALL=C sort -u
