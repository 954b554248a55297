#!/usr/bin/env bash
# The Debian package as an administrator checks it, made by CPack from what
# the build folder already holds into a scratch folder inside it: lintian,
# appstreamcli and desktop-file-validate must have nothing to say, the
# package must hold what it promises, the changelog must carry the package's
# version, and the manual pages must name every command, option and exit
# code of ritrax-cli's help and every settings key the sources use.
# Usage: check-package.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
scratch="$build/package-check"
rm -rf "$scratch"
mkdir -p "$scratch"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

if ! cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch" > "$scratch/cpack.log" 2>&1; then
  cat "$scratch/cpack.log"
  exit 1
fi
debs=("$scratch"/ritrax_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "FAIL: no single package in $scratch"; exit 1; }
deb=${debs[0]}
root="$scratch/root"
dpkg-deb -x "$deb" "$root"

# Each tool's report is shown; any line that is not plain success fails.
echo "== lintian"
lintian --fail-on error,warning "$deb" > "$scratch/lintian.txt" 2> "$scratch/lintian.err" || fail "lintian exit status"
cat "$scratch/lintian.txt"
grep -qE '^[EW]: ' "$scratch/lintian.txt" && fail "lintian reports errors or warnings"
echo "== appstreamcli validate --pedantic"
metainfo="$root/usr/share/metainfo/it.ritrax.ritrax.metainfo.xml"
appstreamcli validate --pedantic --no-net "$metainfo" > "$scratch/appstream.txt" 2>&1 || fail "appstreamcli exit status"
cat "$scratch/appstream.txt"
grep -qE '^[EWIP]: ' "$scratch/appstream.txt" && fail "appstreamcli reports issues"
echo "== desktop-file-validate"
desktop-file-validate "$root/usr/share/applications/it.ritrax.ritrax.desktop" > "$scratch/desktop.txt" 2>&1 \
  || fail "desktop-file-validate exit status"
cat "$scratch/desktop.txt"
[ -s "$scratch/desktop.txt" ] && fail "desktop-file-validate has remarks"

echo "== contents"
expected=(
  usr/bin/ritrax usr/bin/ritrax-cli
  usr/libexec/ritrax/ritrax-cli-full usr/libexec/ritrax/ritrax-cli-fast.so
  usr/share/doc/ritrax/copyright usr/share/doc/ritrax/changelog.gz
  usr/share/man/man1/ritrax.1.gz usr/share/man/man1/ritrax-cli.1.gz
  usr/share/applications/it.ritrax.ritrax.desktop
  usr/share/metainfo/it.ritrax.ritrax.metainfo.xml
  usr/share/icons/hicolor/scalable/apps/it.ritrax.ritrax.svg
  usr/share/icons/hicolor/48x48/apps/it.ritrax.ritrax.png
  usr/share/ritrax/samples/modulo-300dpi.jpg usr/share/ritrax/samples/formati.txt
)
[ -f "$source/docs/guida-rapida.md" ] && expected+=(usr/share/doc/ritrax/guida-rapida.md)
for picture in "$source"/docs/img/*.png; do
  [ -f "$picture" ] && expected+=("usr/share/doc/ritrax/img/$(basename "$picture")")
done
for path in "${expected[@]}"; do
  [ -f "$root/$path" ] || fail "the package lacks /$path"
done

version=$(dpkg-deb -f "$deb" Version)
logged=$(zcat "$root/usr/share/doc/ritrax/changelog.gz" | dpkg-parsechangelog -l - -S Version)
[ "$version" = "$logged" ] || fail "package version $version, changelog's latest entry $logged"

# The pages as a reader sees them, without hyphens or line breaks in words.
page() { MANWIDTH=200 LC_ALL=C.UTF-8 man -l "$root/usr/share/man/man1/$1.1.gz" 2>/dev/null; }
cli_page=$(page ritrax-cli)
help=$("$build/ritrax-cli" --help)
commands=$(printf '%s\n' "$help" | sed -n '/^Comandi:/,/^Codici di uscita:/p' | grep -oE '^  [a-z]+' | tr -d ' ')
options=$(printf '%s\n' "$help" | grep -oE '(^| )--?[a-z0-9]+' | tr -d ' ' | sort -u)
codes=$(printf '%s\n' "$help" | sed -n '/^Codici di uscita:/,$p' | grep -oE '^  [0-9]+' | tr -d ' ')
[ -n "$commands" ] && [ -n "$options" ] && [ -n "$codes" ] || fail "ritrax-cli --help lists no commands, options or codes"
for word in $commands $options; do
  grep -qF -- "$word" <<< "$cli_page" || fail "ritrax-cli(1) does not name $word"
done
exit_section=$(sed -n '/^STATO D.USCITA/,/^[A-Z]/p' <<< "$cli_page")
for code in $codes; do
  grep -qE "^ +$code( |$)" <<< "$exit_section" || fail "ritrax-cli(1) does not explain exit code $code"
done

settings_section=$(page ritrax | sed -n '/^IMPOSTAZIONI/,/^FILE/p')
keys=$(grep -rhoE '(read|readNumber|write)\(QStringLiteral\("[A-Za-z0-9]+"|(SettingsKey|PortalSetting) = QStringLiteral\("[A-Za-z0-9]+"' \
         "$source"/{app,capture,config,editor,output,platform} | grep -oE '"[A-Za-z0-9]+"$' | tr -d '"' | sort -u)
[ -n "$keys" ] || fail "no settings keys found in the sources"
for key in $keys; do
  grep -qE "^ +$key( |\$)" <<< "$settings_section" || fail "ritrax(1) does not explain the setting $key"
done

[ "$failures" -eq 0 ] || { echo "$failures failure(s); the package is in $scratch"; exit 1; }
echo "package: clean"
