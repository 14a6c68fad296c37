#!/usr/bin/env bash
# Makes the name lists the server draws people's names from: the most frequent first names
# (the top 200 male and top 200 female) and surnames (the top 500) of the 1990 US Census
# frequency lists, written in title case ("McDonald", "O'Brien").
# Usage: server/data/make-names.sh DIR_WITH_dist.male.first_dist.female.first_dist.all.last
set -euo pipefail
src=${1:?usage: $0 CENSUS_NAMES_DIR}
here=$(cd "$(dirname "$0")" && pwd)

titlecase='{
  n = tolower($1)
  n = toupper(substr(n, 1, 1)) substr(n, 2)
  if (n ~ /^Mc./) n = "Mc" toupper(substr(n, 3, 1)) substr(n, 4)
  if (n ~ /^O(brien|connor|neal|neill|donnell|hara|keefe|rourke|leary|sullivan|dell|malley)$/)
    n = "O\047" toupper(substr(n, 2, 1)) substr(n, 3)
  print n
}'

{
  echo "# The 200 most frequent male and 200 most frequent female first names of the 1990 US Census."
  echo "# Made by server/data/make-names.sh; one name a line."
  { head -n 200 "$src/dist.male.first"; head -n 200 "$src/dist.female.first"; } | awk "$titlecase" | awk '!seen[$0]++'
} >"$here/first-names.txt"

{
  echo "# The 500 most frequent surnames of the 1990 US Census."
  echo "# Made by server/data/make-names.sh; one name a line."
  head -n 500 "$src/dist.all.last" | awk "$titlecase"
} >"$here/last-names.txt"
