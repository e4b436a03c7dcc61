# What both mingw-w64 toolchain files share; each sets the processor and
# QM_MINGW_PREFIX first. The -posix compilers are required: the win32
# thread model has no std::mutex, and GoogleTest needs it.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${QM_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QM_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${QM_MINGW_PREFIX}-windres)
set(QM_WIDL ${QM_MINGW_PREFIX}-widl)

set(CMAKE_FIND_ROOT_PATH /usr/${QM_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test programs run under Wine.
find_program(QM_WINE wine REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${QM_WINE})

# Link the compiler's runtime statically so that the programs and the DLL
# run without the mingw runtime DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
