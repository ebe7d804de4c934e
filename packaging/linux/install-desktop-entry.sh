#!/bin/sh
# Puts Kreiselsturm into the desktop's application menu for the current user, started from the
# folder this script lies in, with its icon. Run it again after moving the folder;
# "--remove" takes the entry and the icons away again. Nothing outside your home is touched.
set -eu
dir=$(cd "$(dirname "$0")" && pwd -P)
data=${XDG_DATA_HOME:-$HOME/.local/share}
entry=$data/applications/kreiselsturm.desktop
sizes="48 128 256"

if [ "${1:-}" = --remove ]; then
    rm -f "$entry"
    for s in $sizes; do rm -f "$data/icons/hicolor/${s}x$s/apps/kreiselsturm.png"; done
    echo "Kreiselsturm removed from the menu."
    exit 0
fi

[ -x "$dir/Kreiselsturm" ] || { echo "No program file Kreiselsturm in $dir" >&2; exit 1; }
# A line break cannot stand in a menu entry, and GLib's menus do not start a program whose
# path holds a % (written %% as the format asks): refuse rather than install a dead entry.
case $dir in
    *'
'* | *%*) echo "The folder's path holds a line break or a %, which a menu entry cannot: move the folder." >&2; exit 1 ;;
esac

for s in $sizes; do
    mkdir -p "$data/icons/hicolor/${s}x$s/apps"
    cp "$dir/icons/kreiselsturm-$s.png" "$data/icons/hicolor/${s}x$s/apps/kreiselsturm.png"
done

# Exec takes the program in double quotes, inside which \ " ` $ need a backslash; the file
# format then doubles every backslash. Path only doubles backslashes.
exec_value=$(printf '%s\n' "$dir/Kreiselsturm" | sed -e 's/[\\"`$]/\\&/g' -e 's/\\/\\\\/g')
path_value=$(printf '%s\n' "$dir" | sed -e 's/\\/\\\\/g')
mkdir -p "$data/applications"
{
    sed -e '/^Exec=/d' -e '/^Path=/d' "$dir/kreiselsturm.desktop"
    printf 'Exec="%s"\nPath=%s\n' "$exec_value" "$path_value"
} >"$entry.part"
mv "$entry.part" "$entry"

# Menus notice new entries and icons by themselves; these only make it quicker where present.
touch "$data/icons/hicolor"
command -v update-desktop-database >/dev/null 2>&1 && update-desktop-database -q "$data/applications" || true
echo "Kreiselsturm is in the menu now ($entry)."
