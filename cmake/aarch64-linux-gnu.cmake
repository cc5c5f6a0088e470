# Cross-building for 64-bit ARM Linux with Debian's g++-aarch64-linux-gnu,
# statically linked, the tests run under qemu-aarch64 (Debian's qemu-user).
# The target's libraries come from Debian's arm64 packages (multiarch:
# libexpat1-dev:arm64, libgtest-dev:arm64, libgmock-dev:arm64), UDUNITS-2's
# unpacked into build/aarch64-deps, as it cannot be installed beside the
# host's (.ci/run does both).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
