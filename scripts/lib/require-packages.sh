# Installs the Debian packages a user command needs and checks that what it
# calls is there, so that a missing piece stops the command at its start with
# a message naming it, instead of failing later as a build or a test.
# Source this file from bash, then:
#
#   require_packages PACKAGE... -- NEED...
#
#   PACKAGE  a Debian package to install when it is not installed (needs root)
#   NEED     something the command calls, paired with the package providing it:
#              COMMAND=PACKAGE        a command on the PATH     wine=wine
#              cmake:TARGET=PACKAGE   a CMake imported target   cmake:GTest::gmock=libgmock-dev
#              /FILE=PACKAGE          a file                    /usr/src/googletest/CMakeLists.txt=googletest
#
# Every PACKAGE a NEED names must be among the PACKAGEs: a list that leaves one
# out fails on every machine, not only on one that lacks the package. Returns
# 0 when everything is there; otherwise prints one line to standard error,
#   scripts/test: the command 'wine' is missing; the Debian package 'wine' provides it
# and returns 1.

require_packages() {
    local -a packages=() needs=()
    while [ $# -gt 0 ] && [ "$1" != -- ]; do
        packages+=("$1")
        shift
    done
    [ $# -gt 0 ] && shift
    needs=("$@")
    _require_packages_listed "${packages[@]}" -- "${needs[@]}" &&
        _require_packages_install "${packages[@]}" &&
        _require_packages_check "${needs[@]}"
}

_require_packages_fail() {
    echo "$(basename "$(dirname "$0")")/$(basename "$0"): $*" >&2
    return 1
}

# The package that provides a NEED, and what the NEED names.
_require_packages_package() { printf '%s' "${1##*=}"; }
_require_packages_item() { printf '%s' "${1%=*}"; }

_require_packages_listed() {
    local -a packages=()
    while [ "$1" != -- ]; do
        packages+=("$1")
        shift
    done
    shift
    local need package
    for need in "$@"; do
        package=$(_require_packages_package "$need")
        if [[ "$need" != *=* || -z "$package" ]]; then
            _require_packages_fail "'$need' names no package (write it as NAME=PACKAGE)"
            return 1
        fi
        if [[ " ${packages[*]} " != *" $package "* ]]; then
            _require_packages_fail "the Debian package '$package' (for '$(_require_packages_item "$need")')" \
                "is not in the list of packages to install"
            return 1
        fi
    done
}

_require_packages_install() {
    local -a missing=()
    local package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$package")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        _require_packages_fail "these Debian packages are missing; install them as root: ${missing[*]}"
        return 1
    fi
    echo "Installing: ${missing[*]}"
    if ! (export DEBIAN_FRONTEND=noninteractive &&
        apt-get update -qq &&
        apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null); then
        _require_packages_fail "installing the Debian packages failed: ${missing[*]}"
        return 1
    fi
}

_require_packages_check() {
    local -a targets=()
    local need item package
    for need in "$@"; do
        item=$(_require_packages_item "$need")
        package=$(_require_packages_package "$need")
        case "$item" in
        cmake:*) targets+=("${item#cmake:}=$package") ;;
        /*)
            [ -e "$item" ] ||
                _require_packages_fail "the file '$item' is missing; the Debian package '$package' provides it" ||
                return 1
            ;;
        *)
            command -v "$item" >/dev/null ||
                _require_packages_fail "the command '$item' is missing; the Debian package '$package' provides it" ||
                return 1
            ;;
        esac
    done
    [ ${#targets[@]} -eq 0 ] || _require_packages_check_cmake_targets "${targets[@]}"
}

# Configures a small CMake project that looks each target up as the build
# does (find_package of the part before '::'), all in one run.
_require_packages_check_cmake_targets() {
    command -v cmake >/dev/null ||
        _require_packages_fail "the command 'cmake' is missing; the Debian package 'cmake' provides it" ||
        return 1
    local probe target
    probe=$(mktemp -d)
    {
        echo 'cmake_minimum_required(VERSION 3.25)'
        echo 'project(require_packages_probe CXX)'
        for target in "$@"; do
            target=${target%=*}
            echo "find_package(${target%%::*} QUIET)"
            echo "if(NOT TARGET $target)"
            echo "    message(STATUS \"missing: $target\")"
            echo 'endif()'
        done
    } >"$probe/CMakeLists.txt"
    local output
    output=$(cmake -S "$probe" -B "$probe/build" 2>&1)
    local status=$?
    rm -rf "$probe"
    if [ $status -ne 0 ]; then
        printf '%s\n' "$output" >&2
        _require_packages_fail "CMake could not look for its packages"
        return 1
    fi
    for target in "$@"; do
        if grep -qxF -- "-- missing: ${target%=*}" <<<"$output"; then
            _require_packages_fail "the CMake target '${target%=*}' is missing;" \
                "the Debian package '${target##*=}' provides it"
            return 1
        fi
    done
}
