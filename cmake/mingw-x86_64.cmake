# Cross-compiles Windows x64 binaries with Debian's MinGW-w64 (posix thread model).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KERVALEN_TRIPLET x86_64-w64-mingw32)

set(CMAKE_C_COMPILER   ${KERVALEN_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KERVALEN_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER  ${KERVALEN_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KERVALEN_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests and tools run through Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)

# -static also takes winpthread: the exe must need no MinGW DLL.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -static")
