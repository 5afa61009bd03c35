# Imported targets for the libraries we call: vx_boost, vx_eigen, vx_alglib, vx_luajit,
# vx_gtest (and vx_agg natively). Natively they come from Debian's packages; for Windows from
# the cross-built cache that scripts/build-cross-deps.sh fills.
add_library(vx_boost INTERFACE)
add_library(vx_eigen INTERFACE)
add_library(vx_alglib INTERFACE)
add_library(vx_luajit INTERFACE)
add_library(vx_gtest INTERFACE)
add_library(vx_openmp INTERFACE)

if(WIN32)
  # One folder per target under the cache, e.g. /var/cache/vexmoor/i686-w64-mingw32.
  set(VX_CROSS_ROOT "$ENV{VEXMOOR_CROSS_PREFIX}")
  if(NOT VX_CROSS_ROOT)
    set(VX_CROSS_ROOT "/var/cache/vexmoor")
  endif()
  set(VX_CROSS_PREFIX "${VX_CROSS_ROOT}/${VX_MINGW_TRIPLE}")
  if(NOT EXISTS "${VX_CROSS_PREFIX}/lib/libalglib.a" OR NOT EXISTS "${VX_CROSS_PREFIX}/lib/libluajit.a")
    message(FATAL_ERROR "Cross-built ALGLIB/LuaJIT missing in ${VX_CROSS_PREFIX}: run "
                        "scripts/build-cross-deps.sh ${VX_MINGW_TRIPLE}")
  endif()

  # Boost is used header-only; the headers are the same for every target, so the
  # cross build sees Debian's through a directory that holds nothing else.
  file(MAKE_DIRECTORY "${CMAKE_BINARY_DIR}/boost-include")
  file(CREATE_LINK /usr/include/boost "${CMAKE_BINARY_DIR}/boost-include/boost" SYMBOLIC)
  target_include_directories(vx_boost SYSTEM INTERFACE "${CMAKE_BINARY_DIR}/boost-include")

  # Eigen is header-only and the same for every target; its folder holds nothing else.
  target_include_directories(vx_eigen SYSTEM INTERFACE /usr/include/eigen3)

  target_include_directories(vx_alglib SYSTEM INTERFACE "${VX_CROSS_PREFIX}/include/libalglib")
  target_link_libraries(vx_alglib INTERFACE "${VX_CROSS_PREFIX}/lib/libalglib.a")
  target_include_directories(vx_luajit SYSTEM INTERFACE "${VX_CROSS_PREFIX}/include/luajit-2.1")
  target_link_libraries(vx_luajit INTERFACE "${VX_CROSS_PREFIX}/lib/libluajit.a")

  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL)
  target_link_libraries(vx_gtest INTERFACE gtest_main gmock)

  # FindOpenMP names the import library libgomp.dll.a, which would make every program
  # need libgomp-1.dll at run time; -fopenmp with the static link takes libgomp.a.
  target_compile_options(vx_openmp INTERFACE -fopenmp)
  target_link_options(vx_openmp INTERFACE -fopenmp)

  # Every test program of this build runs under Wine, in a prefix of its own, with the
  # loader of the build's width: a 32-bit prefix stays 32-bit where 64-bit Wine is there too.
  set(VX_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix")
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    set(VX_WINE_LOADER wine64)
    set(VX_WINEARCH win64)
  else()
    set(VX_WINE_LOADER wine)
    set(VX_WINEARCH win32)
  endif()
  configure_file("${PROJECT_SOURCE_DIR}/cmake/wine-run.sh.in" "${CMAKE_BINARY_DIR}/wine-run.sh"
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE @ONLY)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_BINARY_DIR}/wine-run.sh")
else()
  find_package(OpenMP REQUIRED)
  target_link_libraries(vx_openmp INTERFACE OpenMP::OpenMP_CXX)

  find_package(Boost 1.74 REQUIRED)
  target_link_libraries(vx_boost INTERFACE Boost::headers)

  find_package(Eigen3 3.3 REQUIRED NO_MODULE)
  target_link_libraries(vx_eigen INTERFACE Eigen3::Eigen)

  find_package(ALGLIB REQUIRED)
  target_include_directories(vx_alglib SYSTEM INTERFACE ${ALGLIB_INCLUDE_DIRS})
  target_link_libraries(vx_alglib INTERFACE ${ALGLIB_LIB})

  find_package(PkgConfig REQUIRED)
  pkg_check_modules(LUAJIT REQUIRED IMPORTED_TARGET luajit)
  target_link_libraries(vx_luajit INTERFACE PkgConfig::LUAJIT)
  pkg_check_modules(AGG REQUIRED IMPORTED_TARGET libagg)
  add_library(vx_agg INTERFACE)
  target_link_libraries(vx_agg INTERFACE PkgConfig::AGG)

  find_package(GTest REQUIRED)
  target_link_libraries(vx_gtest INTERFACE GTest::gtest_main GTest::gmock)
  find_package(benchmark REQUIRED)
endif()

# uBLAS's debug self-checks copy into its default storage, which Boost 1.74 cannot
# build as C++20; sizes are checked explicitly where it matters.
target_compile_definitions(vx_boost INTERFACE BOOST_UBLAS_NDEBUG)
# The fit's threads come from its own block pool, which yields to a busy machine;
# Eigen's OpenMP products would not.
target_compile_definitions(vx_eigen INTERFACE EIGEN_DONT_PARALLELIZE)
