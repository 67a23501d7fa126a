#!/bin/sh
# Draws the PDF fixtures of the PDF layer tests again from the stand-in
# service's courseware (needs qpdf). Run from anywhere.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
src="$here/../../../tools/lessonservice/fixtures/courseware.pdf"
# Cut inside the first objects: no cross-reference, nothing to repair.
head -c 600 "$src" > "$here/damaged.pdf"
# Cut after the fonts: repairs into a document whose page tree is gone.
head -c 5000 "$src" > "$here/nopages.pdf"
# Needs the user password "lesson-user" to open.
qpdf --encrypt lesson-user lesson-owner 256 -- "$src" "$here/locked.pdf"
