#!/usr/bin/env bash
# Installs the Debian packages the build needs, when they are missing.
# As root it runs apt-get; otherwise it prints the one line to run and stops.
set -euo pipefail

# clang-format: the test command checks that the tree is formatted.
# qt6-base-dev and a font: the editor and its tests (text must render on a bare
# machine, where no font is installed). gammu: the peer test and the send
# timing drive the simulated phone with it; smstools (smsd) and gnokii-cli
# (gnokii) are the other two peer tests; kannel (bearerbox and smsbox) is the
# peer test of an SMS gateway reading what arrives through the phone's AT
# connection. desktop-file-utils, appstream,
# man-db: the validators of the installed tree's test. qt6-svg-dev and
# libqt6svg6 (which carries Qt's SVG image-format plugin): SVG pictures can be
# imported. zlib1g-dev: compressed SVG is unpacked by the program itself, within
# a limit. qt6-multimedia-dev (with libqt6multimedia6, which carries the
# media backends): the ringtone window plays its tune; without a sound
# device it says so. python3-gammu: the ringtone peer test decodes
# pelorin-cli's messages with Gammu's Python module, and reads our EMS
# pictures. netpbm (pbmtowbmp, wbmptopbm): the WBMP files' peer test.
# osmo-hlr and osmo-msc (with sqlite3 to read the messages osmo-msc stored):
# the peer test of sending through an SMS centre over SMPP.
# libcurl4-openssl-dev: the HTTP client that sends through Kannel's smsbox.
# qtkeychain-qt6-dev: the editor keeps SMS centre passwords in the desktop's
# secret store.
packages=(cmake ninja-build g++ make libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev clang-format
  libcurl4-openssl-dev qtkeychain-qt6-dev qt6-base-dev qt6-svg-dev libqt6svg6 zlib1g-dev fonts-dejavu-core gammu smstools gnokii-cli kannel
  osmo-hlr osmo-msc sqlite3 desktop-file-utils appstream man-db qt6-multimedia-dev python3-gammu netpbm "$@")

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages. Install them with:" >&2
  echo "  sudo apt-get install -y ${missing[*]}" >&2
  exit 1
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q --no-install-recommends "${missing[@]}"

# smstools starts its daemon as a system service, which would hold the
# serial port named in /etc/smsd.conf; the tests run smsd on their own, so
# the service this script brought in is stopped and left disabled.
if [[ " ${missing[*]} " == *" smstools "* ]] && command -v systemctl >/dev/null 2>&1; then
  systemctl disable --now smstools.service >/dev/null 2>&1 || true
fi
# Kannel likewise starts its bearerbox (and wapbox) at boot from an init
# script, on the fixed ports of /etc/kannel/kannel.conf; the tests run their
# own boxes, so it is stopped and kept from starting.
if [[ " ${missing[*]} " == *" kannel "* ]]; then
  if command -v systemctl >/dev/null 2>&1 && systemctl disable --now kannel.service >/dev/null 2>&1; then
    :
  else
    service kannel stop >/dev/null 2>&1 || true
    update-rc.d kannel disable >/dev/null 2>&1 || true
  fi
fi
# osmo-hlr and osmo-msc come with system services that would hold the fixed
# GSUP, VTY and SMPP ports on every address; the tests run their own on a
# loopback address of their own, so the services stay stopped and disabled.
for service in osmo-hlr osmo-msc; do
  if [[ " ${missing[*]} " == *" $service "* ]] && command -v systemctl >/dev/null 2>&1; then
    systemctl disable --now "$service.service" >/dev/null 2>&1 || true
  fi
done
