# Sourced by the build scripts: sets cmake_generator_args for build folder $1 (Ninja for a new folder
# when it is installed; a folder keeps the generator it was made with) and uses the compiler cache
# when there is one.
cmake_generator_args=()
if [ ! -f "$1/CMakeCache.txt" ] && command -v ninja >/dev/null; then
    cmake_generator_args+=(-G Ninja)
fi
if command -v ccache >/dev/null; then
    cmake_generator_args+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    # Precompiled headers can be cached only when ccache overlooks their time stamps and macros.
    export CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
fi
