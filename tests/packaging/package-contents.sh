#!/usr/bin/env bash
# Packs the build tree with CPack (nothing is built again) and checks what the .deb holds and
# what its control file says.
#
#   package-contents.sh <build dir> <version> <cpack>
set -euo pipefail

build=$1
version=$2
cpack=$3

for tool in dpkg-deb dpkg-shlibdeps file help2man rsvg-convert; do
  if ! command -v "$tool" >/dev/null; then
    echo "package_contents: $tool is missing (make deps installs it)" >&2
    exit 77
  fi
done
if [[ ! -e $build/CPackConfig.cmake ]]; then
  echo "package_contents: packaging was off when $build was configured; configure again" >&2
  exit 1
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/tessaly-package.XXXXXX")
trap 'rm -rf "$work"' EXIT

arch=$(dpkg --print-architecture)
deb=$work/tessaly_${version}_${arch}.deb
if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  exit 1
fi
if [[ ! -f $deb ]]; then
  echo "no $(basename "$deb") in:"
  ls "$work"
  exit 1
fi

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# Every file of the package, with its mode and owner; directories are checked apart.
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $1, $2, $6 }' | sort >"$work/files"
expected_files=(
  "-rwxr-xr-x root/root ./usr/bin/tessaly"
  "-rwxr-xr-x root/root ./usr/bin/tessaly-cli"
  "-rwxr-xr-x root/root ./usr/bin/tessaly-sim"
  "-rw-r--r-- root/root ./usr/share/applications/tessaly.desktop"
  "-rw-r--r-- root/root ./usr/share/doc/tessaly/changelog.gz"
  "-rw-r--r-- root/root ./usr/share/doc/tessaly/copyright"
  "-rw-r--r-- root/root ./usr/share/doc/tessaly/user-guide.md"
  "-rw-r--r-- root/root ./usr/share/icons/hicolor/scalable/apps/tessaly.svg"
  "-rw-r--r-- root/root ./usr/share/man/man1/tessaly.1.gz"
  "-rw-r--r-- root/root ./usr/share/man/man1/tessaly-cli.1.gz"
  "-rw-r--r-- root/root ./usr/share/man/man1/tessaly-sim.1.gz"
)
for size in 16 24 32 48 64 128 256; do
  expected_files+=(
    "-rw-r--r-- root/root ./usr/share/icons/hicolor/${size}x${size}/apps/tessaly.png")
done
printf '%s\n' "${expected_files[@]}" | sort >"$work/expected"
if ! diff -u "$work/expected" "$work/files"; then
  fail "file list differs (- expected, + packed)"
fi
odd_dirs=$(dpkg-deb -c "$deb" | awk '$1 ~ /^d/ && ($1 != "drwxr-xr-x" || $2 != "root/root")')
if [[ -n $odd_dirs ]]; then
  fail "directories not 0755 root/root:"
  echo "$odd_dirs"
fi

# Control fields: name, field, and an extended regular expression its value must match.
control_fields=(
  "Package|^tessaly$"
  "Version|^${version//./\\.}$"
  "Architecture|^${arch}$"
  "Section|^sound$"
  "Priority|^optional$"
  "Maintainer|^[^<]+ <[^@ ]+@[^> ]+>$"
  "Description|^editor and remote control for loudspeaker DSP processors"
  "Depends|(^|, )libc6( |,|$)"
  "Depends|(^|, )libqt6core6( |,|$)"
  "Depends|(^|, )libqt6gui6( |,|$)"
  "Depends|(^|, )libqt6network6( |,|$)"
  "Depends|(^|, )libqt6serialport6( |,|$)"
  "Depends|(^|, )libqt6widgets6( |,|$)"
  "Depends|(^|, )libstdc\+\+6( |,|$)"
)
for entry in "${control_fields[@]}"; do
  field=${entry%%|*}
  pattern=${entry#*|}
  # The first line of it, taken without a pipe: head leaving early would fail the pipeline.
  value=$(dpkg-deb -f "$deb" "$field")
  value=${value%%$'\n'*}
  if ! grep -Eq -- "$pattern" <<<"$value"; then
    fail "control field $field is \"$value\", expected /$pattern/"
  fi
done

# The contents themselves: stripped programs, manual pages made from each --help (a word only
# that help text holds, as roff writes it), real icon sizes.
dpkg-deb -x "$deb" "$work/root"
usr=$work/root/usr
manual_words=(
  'tessaly|open\-first'
  'tessaly-cli|\-\-keep\-going'
  'tessaly-sim|pace=wire'
)
for entry in "${manual_words[@]}"; do
  program=${entry%%|*}
  word=${entry#*|}
  if ! file -b "$usr/bin/$program" | grep -q ', stripped'; then
    fail "$program is not stripped: $(file -b "$usr/bin/$program")"
  fi
  page=$(gzip -dc "$usr/share/man/man1/$program.1.gz" 2>/dev/null || true)
  title=$(tr '[:lower:]' '[:upper:]' <<<"$program")
  if ! grep -q "^\.TH $title \"1\"" <<<"$page"; then
    fail "$program.1.gz is no manual page of $program"
  fi
  if ! grep -qF -- "$word" <<<"$page"; then
    fail "$program.1.gz lacks \"$word\" of $program --help"
  fi
  if ! grep -qx "$program \\\\- .*" <<<"$page"; then
    fail "$program.1.gz does not name $program"
  fi
done
for size in 16 24 32 48 64 128 256; do
  png=$usr/share/icons/hicolor/${size}x${size}/apps/tessaly.png
  if ! file -b "$png" | grep -q "^PNG image data, $size x $size,"; then
    fail "${size}x${size} icon is $(file -b "$png")"
  fi
done
desktop=$usr/share/applications/tessaly.desktop
for line in "Type=Application" "Exec=tessaly" "Icon=tessaly" "Categories=AudioVideo;Audio;"; do
  grep -qx -- "$line" "$desktop" || fail "tessaly.desktop lacks \"$line\""
done
changelog=$(gzip -dc "$usr/share/doc/tessaly/changelog.gz" || true)
if ! head -n 1 <<<"$changelog" | grep -q "^tessaly ($version) "; then
  fail "changelog does not start with version $version"
fi

if ((failures > 0)); then
  echo "$failures check(s) failed for $(basename "$deb")"
  exit 1
fi
echo "$(basename "$deb"): $(wc -l <"$work/files") files and the control fields as expected"
