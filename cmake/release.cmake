# Makes the release bundle autorun-VERSION-win32.zip in OUTPUT: the 32-bit
# launcher and checker as built, the commented templates of install.dat and
# autorun.inf, the publishers' notes, the license, the notices of the
# libraries linked into the checker, the changelog, and SHA256SUMS of
# them all, in one folder of the bundle's name. Run by the release target:
#   cmake -DVERSION=... -DSOURCE=... -DAUTORUN=... -DCHECK=... -DOUTPUT=... -P
# With -DSIGNED=ON (scripts/release.sh --sign), AUTORUN and CHECK are the
# signed programs and the bundle is autorun-VERSION-win32-signed.zip, laid
# out the same way.
# The archive is reproducible: fixed permissions, every file stamped
# 2000-01-01 00:00 UTC (the zip format's stamp is local time, hence TZ=UTC),
# entries in sorted order, no folder entries, and no owner or extra time
# fields (zip -X).
set(name autorun-${VERSION}-win32)
set(AUTORUN_PROGRAMS "as built; unsigned")
if(SIGNED)
  set(name ${name}-signed)
  set(AUTORUN_PROGRAMS "signed with your certificate")
endif()
set(stage ${OUTPUT}/${name})
file(REMOVE_RECURSE ${OUTPUT})
file(MAKE_DIRECTORY ${stage}/templates)

set(mode FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
file(COPY ${AUTORUN} ${CHECK} DESTINATION ${stage} ${mode})
file(COPY ${SOURCE}/LICENSE ${SOURCE}/THIRD-PARTY-NOTICES.txt ${SOURCE}/CHANGELOG.md
     DESTINATION ${stage} ${mode})
# The template autorun.inf is the fuller one (label and icon); install.dat
# is the sample medium's.
file(COPY ${SOURCE}/examples/templates/autorun.inf ${SOURCE}/examples/templates/install.dat
     DESTINATION ${stage}/templates ${mode})
set(AUTORUN_VERSION ${VERSION})
# With the line ends Windows' own editors expect.
configure_file(${SOURCE}/docs/README-publishers.txt ${stage}/README-publishers.txt @ONLY
               NEWLINE_STYLE CRLF)

file(GLOB_RECURSE files RELATIVE ${stage} ${stage}/*)
list(SORT files)
set(sums "")
foreach(file IN LISTS files)
  file(SHA256 ${stage}/${file} sum)
  string(APPEND sums "${sum}  ${file}\n")
endforeach()
file(WRITE ${stage}/SHA256SUMS "${sums}")
file(CHMOD ${stage}/SHA256SUMS ${mode})

list(APPEND files SHA256SUMS)
list(SORT files)
list(TRANSFORM files PREPEND ${name}/)
find_program(ZIP zip REQUIRED)
execute_process(COMMAND touch -d @946684800 ${files}
  WORKING_DIRECTORY ${OUTPUT} COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC ${ZIP} -q -X -D ${name}.zip ${files}
  WORKING_DIRECTORY ${OUTPUT} COMMAND_ERROR_IS_FATAL ANY)
file(SHA256 ${OUTPUT}/${name}.zip sum)
message("${sum}  ${OUTPUT}/${name}.zip")
