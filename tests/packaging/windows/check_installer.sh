#!/usr/bin/env bash
# Makes the setup program from the build tree with CPack and installs it silently under Wine, in a
# prefix of its own: checks the files, the Start-menu shortcut and the uninstall entry it leaves,
# that the installed program starts saving into the user's Downloads folder, and that the
# registered quiet uninstall removes all of it again.
# Usage: check_installer.sh CPACK BUILD_DIR SCRATCH_DIR VERSION
set -euo pipefail
cpack=$1 build=$2 scratch=$3 version=$4

fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$scratch"
"$cpack" --config "$build/CPackConfig.cmake" -G External -B "$scratch/packages" >/dev/null
setup=$scratch/packages/trawlbox-$version-win64-setup.exe
[ -f "$setup" ] || fail "cpack made no $setup"

# Wine's server and services keep the output of whoever starts them, and CTest waits on its pipe
# until they end: the persistent server is started first, with its output elsewhere. Wine's menu
# builder is kept from turning the shortcut into a desktop entry in the real home.
export WINEPREFIX=$scratch/wine-prefix WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
mkdir -p "$WINEPREFIX"
wineserver -p </dev/null >/dev/null 2>&1
trap 'wineserver -k 2>/dev/null || true' EXIT
wineboot --init </dev/null >/dev/null 2>&1
wine cmd /c exit </dev/null >/dev/null 2>&1

folder="$WINEPREFIX/drive_c/Program Files/Trawlbox"
start_menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"
shortcut="$start_menu/トロールボックス.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Trawlbox'
registry_value() {
  wine reg query "$key" /v "$1" </dev/null 2>/dev/null | tr -d '\r' |
    sed -n "s/^ *$1 *REG_[A-Z]* *//p"
}

wine "$setup" /S </dev/null >/dev/null 2>&1 || fail "the setup program failed"
for file in trawlbox.exe README.txt LICENSE.txt uninstall.exe; do
  [ -f "$folder/$file" ] || fail "C:\\Program Files\\Trawlbox\\$file missing"
done
[ -f "$shortcut" ] || fail "no Start-menu shortcut $shortcut"
grep -qaF 'C:\Program Files\Trawlbox\trawlbox.exe' "$shortcut" ||
  fail "the Start-menu shortcut does not start C:\\Program Files\\Trawlbox\\trawlbox.exe"
installed_version=$(registry_value DisplayVersion)
[ "$installed_version" = "$version" ] ||
  fail "the uninstall entry names version '$installed_version', not $version"

# Installed into Program Files, the program must not save into its own folder.
profile=$(wine cmd /c 'echo %USERPROFILE%' </dev/null 2>/dev/null | tr -d '\r')
save_folder=$(timeout 60 wine "$folder/trawlbox.exe" --print-save-folder </dev/null 2>/dev/null |
  tr -d '\r') || fail "the installed program did not print its save folder and exit"
[ "$save_folder" = "$profile\\Downloads\\" ] ||
  fail "installed, the program starts saving into '$save_folder', not '$profile\\Downloads\\'"

# The uninstall command as Windows runs it: a quoted program, then its options.
quiet=$(registry_value QuietUninstallString)
[[ $quiet =~ ^\"([^\"]+)\"\ (.+)$ ]] ||
  fail "the quiet uninstall command is not a quoted program and its options: '$quiet'"
uninstaller=${BASH_REMATCH[1]} options=${BASH_REMATCH[2]}
# The options unquoted: separate words, as Windows splits them.
wine "$uninstaller" $options </dev/null >/dev/null 2>&1 || fail "'$quiet' failed"
# The uninstaller runs on from a copy of itself in %TEMP%, after the command has returned.
for _ in $(seq 120); do
  if [ ! -e "$folder" ] && [ ! -e "$shortcut" ] &&
    ! wine reg query "$key" </dev/null >/dev/null 2>&1; then
    echo "installed and uninstalled"
    exit 0
  fi
  sleep 0.5
done
[ ! -e "$folder" ] || fail "uninstalling left $(ls "$folder")"
[ ! -e "$shortcut" ] || fail "uninstalling left the Start-menu shortcut"
fail "uninstalling left the uninstall entry $key"
