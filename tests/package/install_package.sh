#!/usr/bin/env bash
# Builds the Debian package from the build tree, installs it with dpkg into an empty
# root of its own and checks that the program, its icon, the menu entry and the README
# are where the desktop looks for them.
#   install_package.sh BUILD_DIR [CPACK]
set -euo pipefail
build=$1
cpack=${2:-cpack}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; fail "cpack could not make the package"; }
debs=("$work"/out/kumorial_*.deb)
[[ -f ${debs[0]} ]] || fail "no kumorial_*.deb in the cpack output"
deb=${debs[0]}

depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6widgets6 libicu; do
    [[ $depends == *$lib* ]] || fail "Depends does not name $lib: $depends"
done

root=$work/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status"
# The empty root knows none of the libraries, so their dependencies are not checked here.
dpkg --root="$root" --force-not-root --force-depends --log=/dev/null -i "$deb" >"$work/dpkg.log" 2>&1 ||
    { cat "$work/dpkg.log" >&2; fail "dpkg could not install the package"; }

listed=$(dpkg --root="$root" -L kumorial)
for f in /usr/bin/kumorial \
         /usr/share/applications/kumorial.desktop \
         /usr/share/icons/hicolor/scalable/apps/kumorial.svg \
         /usr/share/doc/kumorial/README.md; do
    grep -qx "$f" <<<"$listed" || fail "the package does not list $f"
    [[ -s $root$f ]] || fail "$f is not installed (or empty) in the root"
done
[[ -x $root/usr/bin/kumorial ]] || fail "/usr/bin/kumorial is not executable"
grep -qx 'Exec=kumorial %f' "$root/usr/share/applications/kumorial.desktop" ||
    fail "the menu entry does not start kumorial"
cmp -s "$root/usr/share/doc/kumorial/README.md" "$(dirname "$0")/../../README.md" ||
    fail "the installed README differs from the repository's"
echo "package installs: $(basename "$deb")"
