# Reads a GNU ld map of a PE program and prints one line per input section
# that lands in the file: size in bytes, contributor, kind, output section
# and input section, tab-separated. The contributor is an object of the
# project, a run-time object, or a system library's import stubs taken
# together; kind is one of own, runtime, imports.
BEGIN { OFS = "\t" }
/^Linker script and memory map/ { inMap = 1; next }
!inMap { next }
# An output section; .bss and debugging sections take no bytes in the file.
/^\.[A-Za-z_]/ {
  output = $1
  loaded = output !~ /^\.(bss|stab|debug|zdebug)/
  pending = ""
  next
}
!loaded { next }
# An input section on one line, or its name alone with the figures below.
# Fill and the linker script's own words (LONG 0x0) belong to no one.
/^ \./ && NF == 1 { pending = $1; next }
/^ \./ && NF >= 4 && $2 ~ /^0x/ && $3 ~ /^0x/ { Emit($1, $3, $4); next }
/^ +0x[0-9a-f]+ +0x[0-9a-f]+ +[^ ]/ && pending != "" && $3 !~ /^(BYTE|SHORT|LONG|QUAD)$/ {
  Emit(pending, $2, $3)
}
{ pending = "" }

function Hex(text,    i, value) {
  value = 0
  text = tolower(substr(text, 3))
  for (i = 1; i <= length(text); ++i) value = value * 16 + index("0123456789abcdef", substr(text, i, 1)) - 1
  return value
}

function Emit(input, sizeText, file,    size, name, archive, member, stem, kind) {
  pending = ""
  size = Hex(sizeText)
  if (size == 0) return
  name = file
  sub(/.*\//, "", name)
  kind = "runtime"
  if (output == ".reloc") name = "base relocations"
  if (match(name, /\(.*\)$/)) {
    archive = substr(name, 1, RSTART - 1)
    member = substr(name, RSTART + 1, RLENGTH - 2)
    stem = archive
    sub(/\.a$/, "", stem)
    if (index(member, stem) == 1) {
      name = archive " imports"
      kind = "imports"
    } else if (archive ~ /^libautorun_/ || archive == "objects.a") {
      name = member
      sub(/\.obj$/, "", name)
      kind = "own"
    } else {
      sub(/^lib32_lib[a-z0-9]+_a-/, "", member)
      name = archive ": " member
    }
  }
  print size, name, kind, output, input
}
