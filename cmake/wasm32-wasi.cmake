# Cross-compiling the simulator to WebAssembly for the web page: Debian's
# clang 14 for wasm32-wasi over wasi-libc and libc++'s headers (packages
# clang-14, lld-14, wasi-libc, libc++-14-dev-wasm32, libclang-rt-14-dev-wasm32).
set(CMAKE_SYSTEM_NAME Generic)
set(CMAKE_SYSTEM_PROCESSOR wasm32)
set(CMAKE_CXX_COMPILER clang++-14)
set(CMAKE_CXX_COMPILER_TARGET wasm32-wasi)
# Only wasi-libc's headers: clang would otherwise look into the host's
# /usr/include after them (libc++ first, then clang's own, then the C library).
set(CMAKE_CXX_FLAGS_INIT "-nostdlibinc -isystem /usr/include/wasm32-wasi/c++/v1 \
  -idirafter /usr/include/wasm32-wasi -fno-exceptions -fno-rtti")
set(CMAKE_CXX_FLAGS_MINSIZEREL_INIT "-Oz -DNDEBUG")
# Links with wasm-ld-14 and without the compile flags: given an -O flag,
# clang would run any wasm-opt it finds on the path; the build runs it itself.
find_program(HS_WASM_LD wasm-ld-14 REQUIRED)
set(CMAKE_CXX_LINK_EXECUTABLE
  "<CMAKE_CXX_COMPILER> --sysroot=/usr -fuse-ld=${HS_WASM_LD} <LINK_FLAGS> <OBJECTS> -o <TARGET> <LINK_LIBRARIES>")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
