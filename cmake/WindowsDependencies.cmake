# The Windows build's dependencies, built by scripts/build-windows.sh into HALVEX_WINDOWS_DEPS:
# static Lua 5.1 and Xerces-C from Debian's source packages, GoogleTest from Debian's sources, and
# Debian's header-only libraries through a folder that holds nothing else of /usr/include.
set(HALVEX_WINDOWS_DEPS "" CACHE PATH "Folder with the i686 Windows builds of Lua and Xerces-C")
set(XERCES_SOURCE_DIR "" CACHE PATH "Unpacked Xerces-C source package")
if(CMAKE_SIZEOF_VOID_P EQUAL 4 AND (NOT EXISTS "${HALVEX_WINDOWS_DEPS}/lua/lib/liblua.a" OR NOT EXISTS "${XERCES_SOURCE_DIR}/src"))
  message(FATAL_ERROR "Windows dependencies missing: build through scripts/build-windows.sh")
endif()

add_library(PkgConfig::LUA51 STATIC IMPORTED)
set_target_properties(PkgConfig::LUA51 PROPERTIES
  IMPORTED_LOCATION "${HALVEX_WINDOWS_DEPS}/lua/lib/liblua.a"
  INTERFACE_INCLUDE_DIRECTORIES "${HALVEX_WINDOWS_DEPS}/lua/include")

add_library(XercesC::XercesC STATIC IMPORTED)
set_target_properties(XercesC::XercesC PROPERTIES
  IMPORTED_LOCATION "${HALVEX_WINDOWS_DEPS}/xerces/build/src/libxerces-c.a"
  INTERFACE_INCLUDE_DIRECTORIES "${XERCES_SOURCE_DIR}/src;${HALVEX_WINDOWS_DEPS}/xerces/build/src"
  INTERFACE_LINK_LIBRARIES "advapi32")

include_directories(SYSTEM "${HALVEX_WINDOWS_DEPS}/include")  # boost/, CLI/

set(THREADS_PREFER_PTHREAD_FLAG ON)
find_package(Threads REQUIRED)

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# gmtime_r, localtime_r and M_PI, as the sources use them everywhere; no min/max macros from
# windows.h.
add_compile_definitions(_POSIX_THREAD_SAFE_FUNCTIONS=200112L _USE_MATH_DEFINES NOMINMAX WIN32_LEAN_AND_MEAN)
# This compiler's -Wrestrict misfires inside its own std::string at -O3 on 32-bit targets.
add_compile_options(-Wno-restrict)
