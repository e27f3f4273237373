# 64-bit Windows: the launcher's twin, which runs the Windows-side tests on
# machines that cannot run 32-bit code.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
