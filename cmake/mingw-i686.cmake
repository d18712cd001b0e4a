# Cross-compiles Windows x86 (32-bit) binaries with Debian's MinGW-w64 (posix thread model).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KERVALEN_TRIPLET i686-w64-mingw32)

set(CMAKE_C_COMPILER   ${KERVALEN_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KERVALEN_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER  ${KERVALEN_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KERVALEN_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Debian has no 32-bit Wine here: this build is compiled and linked, never run.

# -static also takes winpthread: the exe must need no MinGW DLL.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -static")

# SSE arithmetic, as on x64: every float result is rounded to float when computed, so the
# math gives the same bits in both word sizes (x87 would keep extra precision).
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
