#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks the installed tree:
# every file in its place, the icons at their sizes, the desktop entry, the
# AppStream metadata and the manual pages through their validators, every
# option of the programs' --help in their manual pages and completion, and
# what the completion offers.
#
#   check_install.sh BUILD_DIR editor|no-editor icons|no-icons
set -euo pipefail
# Gammu, sort, grep and the validators read text by the locale; the same
# UTF-8 one for every caller (C.UTF-8 comes with the C library).
export LC_ALL=C.UTF-8
build=$1
with_editor=$2
with_icons=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/root/usr
cmake --install "$build" --prefix "$prefix" >/dev/null

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

app_id=org.example.pelorin
programs=(pelorin-cli pelorin-phone)
[ "$with_editor" = editor ] && programs+=(pelorin)
files=(share/doc/pelorin/copyright share/doc/pelorin/changelog.gz)
for program in "${programs[@]}"; do
  files+=("bin/$program" "share/man/man1/$program.1.gz" "share/bash-completion/completions/$program")
done
icon_sizes=(16 32 48 64 128 256)
if [ "$with_editor" = editor ]; then
  files+=("share/applications/$app_id.desktop" "share/metainfo/$app_id.metainfo.xml")
fi
if [ "$with_icons" = icons ]; then
  for size in "${icon_sizes[@]}"; do
    files+=("share/icons/hicolor/${size}x${size}/apps/pelorin.png")
  done
fi
for file in "${files[@]}"; do
  [ -s "$prefix/$file" ] || fail "$file is not installed"
done
for program in "${programs[@]}"; do
  [ -x "$prefix/bin/$program" ] || fail "bin/$program is not executable"
done

# The width and height of a PNG are the big-endian words at bytes 16 and 20.
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%dx%d", $3 * 256 + $4, $7 * 256 + $8 }'; }
if [ "$with_icons" = icons ]; then
  for size in "${icon_sizes[@]}"; do
    icon=$prefix/share/icons/hicolor/${size}x${size}/apps/pelorin.png
    [ -f "$icon" ] && [ "$(png_size "$icon")" != "${size}x${size}" ] &&
      fail "$icon is $(png_size "$icon"), not ${size}x${size}"
  done
fi
if [ "$with_editor" = editor ]; then
  desktop-file-validate "$prefix/share/applications/$app_id.desktop" || fail "desktop-file-validate"
  grep -q '^Icon=pelorin$' "$prefix/share/applications/$app_id.desktop" || fail "the desktop entry names another icon"
  grep -q '^MimeType=' "$prefix/share/applications/$app_id.desktop" && fail "the desktop entry registers file types"
  appstreamcli validate --no-net "$prefix/share/metainfo/$app_id.metainfo.xml" >"$work/appstream.txt" 2>&1 ||
    { cat "$work/appstream.txt" >&2; fail "appstreamcli validate --no-net"; }
  # The metadata, its desktop entry and the icons together, as a software
  # centre reads them.
  appstreamcli validate-tree --no-net "$work/root" >"$work/appstream.txt" 2>&1 ||
    { cat "$work/appstream.txt" >&2; fail "appstreamcli validate-tree --no-net"; }
fi

for program in "${programs[@]}"; do
  page=$prefix/share/man/man1/$program.1.gz
  [ -f "$page" ] || continue
  LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" >"$work/page.txt" 2>"$work/warnings.txt" ||
    fail "man cannot render $program(1)"
  [ -s "$work/warnings.txt" ] && { cat "$work/warnings.txt" >&2; fail "man --warnings on $program(1)"; }
  grep -q '^EXIT STATUS' "$work/page.txt" || fail "$program(1) has no EXIT STATUS section"
  grep -q '^FILES' "$work/page.txt" || fail "$program(1) has no FILES section"
done

version=$("$prefix/bin/pelorin-cli" --version)
[ "$version" = "pelorin-cli 0.96 Beta" ] || fail "pelorin-cli --version says \"$version\""

# Every long option that a program's --help names is in its manual page and
# its completion.
check_options() {
  local program=$1 completion=$2 help option
  help=$(QT_QPA_PLATFORM=offscreen "$prefix/bin/$program" --help)
  zcat "$prefix/share/man/man1/$program.1.gz" | sed 's/\\-/-/g' >"$work/page.roff"
  for option in $(grep -o -- '--[a-z][a-z-]*' <<<"$help" | sort -u); do
    grep -q -e "$option" "$work/page.roff" || fail "$program(1) does not describe $option"
    [ -z "$completion" ] || grep -q -e "$option" "$completion" || fail "the completion of $program lacks $option"
  done
}
completions=$prefix/share/bash-completion/completions
check_options pelorin-cli "$completions/pelorin-cli"
check_options pelorin-phone "$completions/pelorin-phone"
[ "$with_editor" = editor ] && check_options pelorin "$completions/pelorin"

# What the completion offers for a command line: complete LINE (the last
# word is the one being completed, possibly empty) prints COMPREPLY.
mkdir -p "$work/ports/store"
touch "$work/ports/phone-link"
complete_line() {
  COMPLETION_LINE=$1 bash -c '
    source "$0"
    read -r -a COMP_WORDS <<<"$COMPLETION_LINE"
    [[ $COMPLETION_LINE == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    "$(complete -p "${COMP_WORDS[0]}" | sed "s/.*-F \([^ ]*\) .*/\1/")"
    printf "%s\n" "${COMPREPLY[@]}"' "$completions/${1%% *}" | sort | tr '\n' ' ' | sed 's/ $//'
}
expect_completion() {
  local got
  got=$(complete_line "$1")
  [ "$got" = "$2" ] || fail "completing \"$1\" gave \"$got\", not \"$2\""
}
expect_completion "pelorin-cli " "--help --version convert encode network ports receive send show text"
expect_completion "pelorin-cli convert in.png out.plr --dither " "atkinson floyd-steinberg none ordered"
expect_completion "pelorin-cli text Hi out.png --f" "--font"
expect_completion "pelorin-cli se" "send"
expect_completion "pelorin-cli send " \
  "ems-picture group-graphic large-operator-logo operator-logo picture-message restore-operator-logo ringtone"
expect_completion "pelorin-cli encode pic" "picture-message"
expect_completion "pelorin-cli send ringtone --" "--fast --help --journal --log --password-file --pin-file --port --rate --report --resend-unknown --scale-every-note --slow-writes --smsc --smsc-number --to --to-file --wait-receipts --window"
expect_completion "pelorin-cli encode group-graphic --" "--help --network --report --text --to"
expect_completion "pelorin-cli send operator-logo --to +49 --network 262-02 --p" "--password-file --pin-file --port"
expect_completion "pelorin-cli send operator-logo --to " ""
expect_completion "pelorin-cli network --" "--fast --help --log --port"
expect_completion "pelorin-cli receive --" "--delete --fast --help --log --out --port"
expect_completion "pelorin-cli send group-graphic --port $work/ports/ph" "$work/ports/phone-link"
expect_completion "pelorin-cli show $work/ports/ph" "$work/ports/phone-link"
if [ -e /dev/ttyS0 ]; then
  complete_line "pelorin-cli send group-graphic --port /dev/tty" | grep -q /dev/ttyS0 ||
    fail "completing --port does not offer /dev/ttyS0"
fi
expect_completion "pelorin-phone --pdu" "--pdu-error"
expect_completion "pelorin-phone --store $work/ports/" "$work/ports/store"
expect_completion "pelorin-phone --hang-up-after " ""
if [ "$with_editor" = editor ]; then
  expect_completion "pelorin --v" "--version"
  expect_completion "pelorin $work/ports/ph" "$work/ports/phone-link"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) of the installed tree failed" >&2
  exit 1
fi
echo "installed tree: ${#files[@]} files in place, validators and completion content"
