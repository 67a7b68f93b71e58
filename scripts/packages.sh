# Sourced by the build scripts: installs the Debian packages that are missing.

ensure_packages() {
    local missing=()
    local package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$package")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    echo "Installing missing packages: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get update -qq
    "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# What building the program and its tools needs.
BUILD_PACKAGES=(cmake ninja-build g++ qt6-base-dev fonts-dejavu-core)
# What the tests need beyond that: validators of the desktop files, readelf
# for the programs' library search path, and for the Debian package
# dpkg-shlibdeps (which cpack runs) and Debian's checker of packages.
TEST_PACKAGES=(desktop-file-utils appstream binutils dpkg-dev lintian)
# What the fuzzers need: clang and its libFuzzer and sanitizer runtimes.
FUZZ_PACKAGES=(clang-14 libclang-rt-14-dev)

# What the program needs on a real display besides: the X11 platform plugin,
# and xdg-open to open the web site in the user's browser.
RUN_PACKAGES=(qt6-qpa-plugins xdg-utils)

# What scripts/screenshots.sh needs besides: a virtual display, the qt6ct
# theme for the dark set-up, and the X11 platform plugin.
SCREENSHOT_PACKAGES=(xvfb xauth qt6ct qt6-qpa-plugins)
