# Cross build for 64-bit Windows with Debian's MinGW-w64 against the libraries
# that scripts/windows/toolchain.sh installs into QUILM_MINGW_PREFIX.
#
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake ...

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_triple x86_64-w64-mingw32)

if(NOT QUILM_MINGW_PREFIX)
  if(DEFINED ENV{QUILM_MINGW_PREFIX})
    set(QUILM_MINGW_PREFIX "$ENV{QUILM_MINGW_PREFIX}")
  else()
    set(QUILM_MINGW_PREFIX /opt/quilm-mingw)
  endif()
endif()
set(QUILM_MINGW_PREFIX "${QUILM_MINGW_PREFIX}" CACHE PATH "Cross-built libraries for Windows")
# try_compile() projects run this file again without the cache.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES QUILM_MINGW_PREFIX)

# The posix-thread variant: the win32 one has no std::thread or std::mutex,
# which Exiv2 and the program use. Everything in the prefix is built with it,
# and its libstdc++-6.dll is not interchangeable with the win32 variant's.
set(CMAKE_C_COMPILER   /usr/bin/${_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER /usr/bin/${_triple}-g++-posix)
set(CMAKE_RC_COMPILER  /usr/bin/${_triple}-windres)
set(CMAKE_AR           /usr/bin/${_triple}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB       /usr/bin/${_triple}-ranlib CACHE FILEPATH "")
set(CMAKE_STRIP        /usr/bin/${_triple}-strip CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH "${QUILM_MINGW_PREFIX}" /usr/${_triple})
set(CMAKE_PREFIX_PATH "${QUILM_MINGW_PREFIX}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Runtime DLLs of the compiler, for anyone who copies or packages them.
set(QUILM_MINGW_RUNTIME_DIRS
    /usr/lib/gcc/${_triple}/12-posix
    /usr/${_triple}/lib
    CACHE STRING "Folders holding libstdc++-6.dll, libgcc_s_seh-1.dll and libwinpthread-1.dll")

# Lets add_test() run the .exe files. Debian keeps wine64 out of PATH.
find_program(QUILM_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(QUILM_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${QUILM_WINE64}")
endif()

# pkg-config must see only the prefix, never the host's .pc files.
set(ENV{PKG_CONFIG_LIBDIR} "${QUILM_MINGW_PREFIX}/lib/pkgconfig:${QUILM_MINGW_PREFIX}/share/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")
find_program(PKG_CONFIG_EXECUTABLE NAMES pkg-config NO_CMAKE_FIND_ROOT_PATH)

# qttools is not cross-built: lrelease and lupdate are the host's (Debian's
# qttools5-dev). Qt5Config.cmake searches the prefix only, so point at them.
if(NOT Qt5LinguistTools_DIR AND EXISTS /usr/lib/x86_64-linux-gnu/cmake/Qt5LinguistTools)
  set(Qt5LinguistTools_DIR /usr/lib/x86_64-linux-gnu/cmake/Qt5LinguistTools
      CACHE PATH "The host's Qt5LinguistTools")
endif()
