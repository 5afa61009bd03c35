# 64-bit Windows: the same program and tests, for machines whose Wine runs only 64-bit
# programs (x86-64 computes in SSE2 already).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
