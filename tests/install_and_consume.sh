#!/usr/bin/env bash
# Installs the built project into a fresh prefix, checks that every installed header compiles on its
# own as C99 and as C++ with only the installed include folder (so none reaches for an internal
# header), then configures, builds and runs the out-of-tree example project against the package.
# Usage: install_and_consume.sh BUILD_DIR SOURCE_DIR WORK_DIR BUILD_TYPE C_COMPILER CXX_COMPILER
# Compiler and linker flags come from CFLAGS, CXXFLAGS and LDFLAGS (the sanitizer build passes its own).
set -euo pipefail
build=$1 source=$2 work=$3 type=$4 cc=$5 cxx=$6
prefix=$work/prefix
rm -rf "$work"
mkdir -p "$work"

cmake --install "$build" --prefix "$prefix" >/dev/null

strict=(-Wall -Wextra -Werror -pedantic-errors -fsyntax-only -I"$prefix/include")
for header in vanticAPI.h korrin_host_services.h vantic/testhost.h; do
  [ -f "$prefix/include/$header" ] || { echo "not installed: include/$header"; exit 1; }
  echo "#include <$header>" | "$cc" ${CFLAGS:-} -std=c99 "${strict[@]}" -x c - ||
    { echo "$header does not compile alone as C99"; exit 1; }
  echo "#include <$header>" | "$cxx" ${CXXFLAGS:-} -std=c++20 "${strict[@]}" -x c++ - ||
    { echo "$header does not compile alone as C++"; exit 1; }
done

# pkg-config hands out the header's folder and the module's path, wherever the prefix lies.
if command -v pkg-config >/dev/null; then
  export PKG_CONFIG_PATH=$prefix/lib/pkgconfig
  echo "#include <vanticAPI.h>" | "$cc" -std=c99 -fsyntax-only $(pkg-config --cflags vanticAPI) -x c - ||
    { echo "pkg-config's flags do not find vanticAPI.h"; exit 1; }
  [ -f "$(pkg-config --variable=module vanticAPI)" ] || { echo "pkg-config names no module file"; exit 1; }
fi

[ -x "$prefix/bin/vantic-sandbox" ] || { echo "vantic-sandbox not installed"; exit 1; }

cmake -S "$source/examples/client-project" -B "$work/project" -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_BUILD_TYPE="$type" -DCMAKE_C_COMPILER="$cc" -DCMAKE_CXX_COMPILER="$cxx" >/dev/null
cmake --build "$work/project" -j 2
ctest --test-dir "$work/project" --output-on-failure
