# Windows with the posix-thread mingw-w64 compilers (std::thread and OpenMP need them),
# for the processor that the including toolchain file sets.
set(CMAKE_SYSTEM_NAME Windows)
set(VX_MINGW_TRIPLE ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32)
set(CMAKE_C_COMPILER ${VX_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VX_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VX_MINGW_TRIPLE}-windres)
set(CMAKE_MC_COMPILER ${VX_MINGW_TRIPLE}-windmc)
set(CMAKE_FIND_ROOT_PATH /usr/${VX_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -static")
