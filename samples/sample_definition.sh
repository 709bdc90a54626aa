#!/usr/bin/env bash
# Writes a small quiz definition and its code lines, in the decoded layout the
# player reads (code page 1252), to DIR/definition.txt and DIR/codes.txt.
# Usage: samples/sample_definition.sh DIR
set -euo pipefail
dir=$1
mkdir -p "$dir"

# Fields are written here in UTF-8 and stored in code page 1252.
field() { printf '%s|' "$1" | iconv -f UTF-8 -t CP1252; }
byte() { printf "\\x$(printf '%02x' "$1")"; }

{
  byte 0                      # not interpreted
  byte 2                      # pictures in the overview
  byte 4                      # questions
  byte 1                      # answers per question
  field "Les monuments de France"
  field "L'équipe Zorbel"
  field "Trouvez le monument de chaque image, puis tapez Entrée."
  field "Monument"
  field "Ville"
  field "TOUR EIFFEL";        field "Paris, Champ-de-Mars"
  field "MONT SAINT-MICHEL";  field "Normandie"
  field "PONT DU GARD";       field "Gard"
  field "ARC DE TRIOMPHE";    field "Paris, place de l'Étoile"
  byte 2                      # comment mode: one comment per question
  field "Bâtie pour l'Exposition universelle de 1889."
  field "Une île rattachée au continent à marée basse."
  field "Un aqueduc romain à trois rangées d'arches."
  field "Il honore les armées de la Révolution et de l'Empire."
  byte 53; byte 203; byte 163  # background: red, green, blue
} >"$dir/definition.txt"

printf 'BIENVENUE\r\nCHEMIN\r\nPASSAGE\r\nTRESOR\r\n' >"$dir/codes.txt"
