# Cross build for 64-bit Windows with mingw-w64 (posix threads model).
# Libraries are looked for only inside the mingw tree and in the prefix where
# scripts/setup.sh builds the mingw copies of libpng, libjpeg-turbo and
# GoogleTest (with the Boost headers linked in beside them).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TOOLCHAIN_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOOLCHAIN_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TOOLCHAIN_PREFIX}-windres)
get_filename_component(TAMRIK_DEPS_PREFIX "${CMAKE_CURRENT_LIST_DIR}/../build/deps/prefix" ABSOLUTE)
set(CMAKE_FIND_ROOT_PATH ${TAMRIK_DEPS_PREFIX} /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
