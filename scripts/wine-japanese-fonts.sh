#!/bin/sh
# Makes the Wine prefix given show Japanese text as Windows does: the Japanese fonts the program
# asks for by name resolve to Debian's IPA fonts (fonts-ipafont-gothic), and the interface fonts
# of the standard controls fall back to IPAGothic for the characters they lack.
set -eu
prefix=$1
export WINEPREFIX="$prefix" WINEDEBUG=-all
replacements='HKCU\Software\Wine\Fonts\Replacements'
wine reg add "$replacements" /v 'ＭＳ Ｐゴシック' /t REG_SZ /d IPAPGothic /f >/dev/null
wine reg add "$replacements" /v 'ＭＳ ゴシック' /t REG_SZ /d IPAGothic /f >/dev/null
links='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
for face in Tahoma 'MS Shell Dlg' 'MS Shell Dlg 2' 'Microsoft Sans Serif'; do
  wine reg add "$links" /v "$face" /t REG_MULTI_SZ /d 'ipag.ttf,IPAGothic' /f >/dev/null
done
