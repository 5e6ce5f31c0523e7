# Shared set-up for scripts/test and scripts/demo: packages, locale, helpers.
# Sourced, not run. Every step prints what it does; any failure stops the caller.

# What scripts/demo needs: configure the windows preset (the tests' folders read
# /usr/src/googletest, the build copies /usr/include/nlohmann and runs python3), build
# the exporter and the host simulator with the cross compiler, and run them under Wine in
# Xvfb with the Japanese locale and fonts, the screenshots compressed by convert.
LEDGRA_DEMO_PACKAGES=(
    cmake make python3 googletest nlohmann-json3-dev
    g++-mingw-w64-x86-64-posix
    wine wine64 fonts-wine xvfb xauth locales fonts-ipafont-gothic imagemagick
)
# What scripts/test needs beside them: g++ and the native libraries for the native
# presets, clang for the fuzz targets, xmllint for the report schema, the 32-bit cross
# compiler and Wine for windows-x86, and for the package checks git (the release's
# time), osslsigncode and openssl (signing) and ca-certificates (a time-stamp server
# reached over https).
LEDGRA_TEST_PACKAGES=(
    g++ libgtest-dev libgmock-dev libbenchmark-dev libpugixml-dev libxml2-utils
    clang libclang-rt-14-dev
    g++-mingw-w64-i686-posix wine32:i386
    git osslsigncode openssl ca-certificates
)

step() {
    printf '\n==> %s\n' "$*"
}

die() {
    printf '\nERROR: %s\n' "$*" >&2
    exit 1
}

trap 'rc=$?; if [ $rc -ne 0 ]; then printf "\nFAILED (exit %s) at: %s\n" "$rc" "$BASH_COMMAND" >&2; fi' EXIT

# Runs a command as root: directly when we are root, else through sudo.
as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    elif command -v sudo >/dev/null 2>&1; then
        sudo "$@"
    else
        die "need root for '$*': run as root or install sudo"
    fi
}

package_installed() {
    [ "$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null)" = "install ok installed" ]
}

# Lets apt install the packages of a foreign architecture (wine32:i386) that are asked for.
# Arguments: package names, some of them maybe ending in :ARCH.
add_foreign_architectures() {
    local p arch
    for p in "$@"; do
        case "$p" in
        *:*) arch=${p##*:} ;;
        *) continue ;;
        esac
        [ "$arch" = "$(dpkg --print-architecture)" ] && continue
        if ! dpkg --print-foreign-architectures | grep -qx "$arch"; then
            step "Adding the architecture $arch for $p"
            as_root dpkg --add-architecture "$arch"
        fi
    done
}

# Installs the given packages (scripts/demo names the demo's, scripts/test all of them).
install_packages() {
    [ $# -gt 0 ] || die "install_packages: no packages named"
    step "Checking the Debian packages"
    local missing=()
    local p
    for p in "$@"; do
        package_installed "$p" || missing+=("$p")
    done
    if [ ${#missing[@]} -eq 0 ]; then
        echo "all $# packages are installed"
        return 0
    fi
    echo "missing: ${missing[*]}"
    # Before the update, so that it fetches the lists of the added architecture.
    add_foreign_architectures "${missing[@]}"
    step "Installing the missing packages with apt-get"
    as_root env DEBIAN_FRONTEND=noninteractive apt-get update
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "$@"
    for p in "$@"; do
        package_installed "$p" || die "package $p is still not installed"
    done
}

# Wine takes its ANSI code page from the locale: ja_JP.UTF-8 gives code page 932.
ensure_japanese_locale() {
    step "Checking the ja_JP.UTF-8 locale"
    if locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
        echo "ja_JP.UTF-8 is available"
        return 0
    fi
    step "Generating the ja_JP.UTF-8 locale"
    if ! grep -qx 'ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
        echo 'ja_JP.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
    fi
    as_root locale-gen
    locale -a | grep -qix 'ja_JP.utf8' || die "locale ja_JP.UTF-8 could not be generated"
}

# Build one preset in its own folder. Arguments: preset name.
build_preset() {
    local preset=$1
    step "Configuring the '$preset' preset"
    cmake --preset "$preset"
    step "Building the '$preset' preset"
    cmake --build --preset "$preset" -j "$(ledgra_jobs)"
}

ledgra_jobs() {
    local n
    n=$(nproc 2>/dev/null || echo 2)
    echo "$n"
}

# Runs a command with an X display: the current one, or a fresh Xvfb of the size
# LEDGRA_SCREEN (default 1024x768).
with_display() {
    if [ -n "${DISPLAY:-}" ]; then
        "$@"
    else
        xvfb-run -a -s "-screen 0 ${LEDGRA_SCREEN:-1024x768}x24" "$@"
    fi
}

# The 64-bit Wine loader: Debian's wine command starts the 32-bit loader first whenever
# wine32 is installed, which costs a minute a start where 32-bit programs are emulated.
ledgra_wine64() {
    if [ -x /usr/lib/wine/wine64 ]; then
        echo /usr/lib/wine/wine64
    else
        echo wine
    fi
}

# 32-bit Wine needs a kernel that runs 32-bit Linux programs. Where it runs none (a kernel
# without IA-32 emulation, as on some virtual machines), qemu's user-mode emulator is
# registered to run them, which is slow: a program start then takes about a minute.
# Sets LEDGRA_32BIT to native or emulated.
ensure_32bit_programs() {
    step "Checking that 32-bit programs run (32-bit Wine)"
    local loader=/usr/lib/wine/wine
    [ -x "$loader" ] || die "$loader is missing (package wine32:i386)"
    if "$loader" --version >/dev/null 2>&1; then
        LEDGRA_32BIT=native
        if [ -f /proc/sys/fs/binfmt_misc/qemu-i386 ]; then LEDGRA_32BIT=emulated; fi
        echo "32-bit programs run ($LEDGRA_32BIT)"
        return 0
    fi
    echo "this kernel runs no 32-bit programs: registering qemu-i386 to run them"
    if ! package_installed qemu-user-static; then
        as_root env DEBIAN_FRONTEND=noninteractive apt-get update
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends qemu-user-static
    fi
    if [ ! -f /proc/sys/fs/binfmt_misc/register ]; then
        as_root mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc ||
            die "binfmt_misc cannot be mounted: 32-bit programs cannot run here"
    fi
    if [ ! -f /proc/sys/fs/binfmt_misc/qemu-i386 ]; then
        # ELF, 32-bit, little-endian, executable or shared object, Intel 80386; F: the
        # emulator is opened now, so that it serves every mount namespace.
        printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' |
            as_root tee /proc/sys/fs/binfmt_misc/register >/dev/null ||
            die "qemu-i386 could not be registered: 32-bit programs cannot run here"
    fi
    "$loader" --version >/dev/null 2>&1 || die "32-bit programs still do not run"
    LEDGRA_32BIT=emulated
    echo "32-bit programs run (emulated)"
}
