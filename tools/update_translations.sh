#!/usr/bin/env bash
# The English translation, translations/gambitron_en.ts, follows the sources: every text a person sees is
# written in Russian inside tr() or QCoreApplication::translate() (and in the .ui forms), and this script
# gathers them with lupdate, keeping every translation already made.
#
#   tools/update_translations.sh           regenerate the .ts in place; new texts come out unfinished, to be
#                                           translated in Qt Linguist (linguist translations/gambitron_en.ts)
#                                           or by hand, and texts no longer in the sources are dropped
#   tools/update_translations.sh --check   change nothing; fail when the sources give another .ts than the
#                                           committed one, or when an entry is unfinished (ctest runs this)
#
# LUPDATE and LRELEASE name the tools when they are not Qt 6's in its usual place.
# Translations made ahead of their texts can wait in translations/prepared_en.ts: a regeneration fills each
# new unfinished entry from there, by context and text (or by text alone when that is unambiguous).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
bins=$(qtpaths6 --query QT_HOST_BINS 2>/dev/null || echo /usr/lib/qt6/bin)
lupdate=${LUPDATE:-$bins/lupdate}
lrelease=${LRELEASE:-$bins/lrelease}
ts=translations/gambitron_en.ts
prepared=$root/translations/prepared_en.ts
# Folders whose texts a person sees; tools/ holds only developers' programs.
sources=(chessbrd host lite net)

# gather TS_FILE: the sources' texts into TS_FILE, which keeps its translations. No line numbers, so that an
# edit elsewhere in a file does not change the translation.
gather() {
    (cd "$root" && "$lupdate" -silent -locations none -no-obsolete -no-ui-lines -extensions cpp,h,ui \
        -source-language ru -target-language en "${sources[@]}" -ts "$1")
}

if [ "${1:-}" = "--check" ]; then
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    cp "$root/$ts" "$work/gambitron_en.ts"
    gather "$work/gambitron_en.ts"
    status=0
    if ! diff -u "$root/$ts" "$work/gambitron_en.ts" >"$work/diff"; then
        echo "FAIL $ts is not what the sources give (texts added, changed or gone)."
        echo "     Run tools/update_translations.sh, translate what it marks unfinished, and commit the .ts:"
        sed 's/^/     /' "$work/diff"
        status=1
    fi
    if grep -n 'type="\(unfinished\|vanished\|obsolete\)"' "$root/$ts" >"$work/unfinished"; then
        echo "FAIL $ts has entries without a finished English text:"
        sed 's/^/     /' "$work/unfinished"
        status=1
    fi
    if ! "$lrelease" -silent "$root/$ts" -qm "$work/gambitron_en.qm" >"$work/lrelease" 2>&1; then
        echo "FAIL lrelease refuses $ts:"
        sed 's/^/     /' "$work/lrelease"
        status=1
    fi
    [ "$status" -eq 0 ] && echo "ok   $ts holds a finished English text for each of the sources' texts"
    exit "$status"
fi

gather "$root/$ts"
if [ -f "$prepared" ]; then
    python3 - "$root/$ts" "$prepared" <<'PY'
import re
import sys
import xml.etree.ElementTree as ET

target_path, prepared_path = sys.argv[1], sys.argv[2]


# lupdate writes characters XML cannot carry (the windows' carriage returns) as <byte value="xd"/>.
def text_of(element):
    parts = [element.text or ""]
    for byte in element:
        parts += [chr(int(byte.get("value")[1:], 16)), byte.tail or ""]
    return "".join(parts)


def set_text(element, text):
    for child in list(element):
        element.remove(child)
    pieces = re.split(r"([\x00-\x08\x0b\x0c\x0d\x0e-\x1f])", text)
    element.text = pieces[0]
    for i in range(1, len(pieces), 2):
        byte = ET.SubElement(element, "byte", value="x%x" % ord(pieces[i]))
        byte.tail = pieces[i + 1]


by_key, by_text = {}, {}
for context in ET.parse(prepared_path).getroot().iter("context"):
    name = context.findtext("name")
    for message in context.iter("message"):
        source, translation = text_of(message.find("source")), text_of(message.find("translation"))
        if not translation:
            continue
        by_key[(name, source)] = translation
        by_text.setdefault(source, set()).add(translation)
tree = ET.parse(target_path)
filled = 0
for context in tree.getroot().iter("context"):
    name = context.findtext("name")
    for message in context.iter("message"):
        translation = message.find("translation")
        if translation.get("type") != "unfinished":
            continue
        source = text_of(message.find("source"))
        text = by_key.get((name, source))
        if text is None and len(by_text.get(source, ())) == 1:
            text = next(iter(by_text[source]))
        if text is not None:
            set_text(translation, text)
            del translation.attrib["type"]
            filled += 1
tree.write(target_path, encoding="utf-8", xml_declaration=True)
print(f"{filled} texts filled in from {prepared_path}")
PY
    # Back into lupdate's own layout, so that the check compares like with like.
    gather "$root/$ts"
fi
left=$(grep -c 'type="unfinished"' "$root/$ts" || true)
echo "$ts updated; $left texts still to translate"
