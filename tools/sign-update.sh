#!/usr/bin/env bash
# Writes and signs the update manifest for a folder laid out like the update server (its root:
# FOLDER/spielhof/wirbel/ holds version.txt, Kreiselsturm.txt and updatedata.txt; a listed file
# is looked for at FOLDER + the path of its URL). Writes update.manifest and
# update.manifest.minisig beside version.txt.
#   tools/sign-update.sh FOLDER SECRET_KEY
# PLATTFORM (default: told by the program file, windows-x64 or linux-x86_64) and ABLAUF (the
# last UTC day the manifest holds, default 90 days on) may be set in the environment.
set -euo pipefail
root=${1:?usage: sign-update.sh FOLDER SECRET_KEY} key=${2:?usage: sign-update.sh FOLDER SECRET_KEY}
dir=$root/spielhof/wirbel
[ -f "$dir/version.txt" ] && [ -f "$dir/Kreiselsturm.txt" ] || { echo "no version.txt and Kreiselsturm.txt in $dir" >&2; exit 1; }

# The version as the game reads it: the last line, after its nine-character label.
version=$(tr '\r' '\n' <"$dir/version.txt" | awk 'NF || length { last = $0 } END { print substr(last, 10) }')
if [ -z "${PLATTFORM:-}" ]; then
  case $(head -c 4 "$dir/Kreiselsturm.txt" | od -An -tx1 | tr -d ' \n') in
    4d5a*) PLATTFORM=windows-x64 ;;
    7f454c46) PLATTFORM=linux-x86_64 ;;
    *) echo "Kreiselsturm.txt is no Windows or Linux program: set PLATTFORM" >&2; exit 1 ;;
  esac
fi
ablauf=${ABLAUF:-$(date -u -d '+90 days' +%F)}

line() { echo "$1=$(stat -c %s "$2") $(sha256sum <"$2" | cut -c1-64)"; }
manifest=$dir/update.manifest
{
  printf '[Update]\nProdukt=Kreiselsturm\nPlattform=%s\nVersion=%s\nAblauf=%s\n[Dateien]\n' "$PLATTFORM" "$version" "$ablauf"
  line Kreiselsturm.txt "$dir/Kreiselsturm.txt"
  if [ -f "$dir/updatedata.txt" ]; then
    line updatedata.txt "$dir/updatedata.txt"
    # Each entry of [Namen] with its [URL] (sections and keys in any case, any line end).
    tr '\r' '\n' <"$dir/updatedata.txt" | awk -F= '
      /^[ \t]*\[/ { gsub(/[][ \t]/, ""); section = tolower($0); next }
      NF >= 2 { k = tolower($1); gsub(/[ \t]/, "", k); v = substr($0, index($0, "=") + 1); gsub(/^[ \t]+|[ \t]+$/, "", v)
                if (section == "namen") name[k] = v; else if (section == "url") url[k] = v }
      END { for (k in name) print name[k] "\t" url[k] }' |
    while IFS=$'\t' read -r name url; do
      file=$root/$(sed -E 's|^[a-zA-Z]+://[^/]*/||' <<<"$url")
      if [ -f "$file" ]; then line "$name" "$file"; else echo "not signed, not found: $name ($file)" >&2; fi
    done
  fi
} >"$manifest"
minisign -S -s "$key" -m "$manifest" -t "Kreiselsturm $version $PLATTFORM, until $ablauf" >/dev/null
cat "$manifest"
