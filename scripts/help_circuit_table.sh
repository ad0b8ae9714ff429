#!/usr/bin/env bash
# help_circuit_table.sh: regenerates the circuit-modelling table of the
# help pages from tolvarin-sim: device dissipation and output power of the
# start design from 3.50 to 4.00 MHz in 0.1 MHz steps for BASIC, BASIC+EL,
# Pinet and Pinet+TCH (ngspice transient, losses included), with the change
# over the band in watts and dB.  Prints text within 80 columns.
#
# Usage: scripts/help_circuit_table.sh [path/to/tolvarin-sim]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
sim="${1:-$root/build/tolvarin-sim}"
if [ ! -x "$sim" ]; then
  echo "help_circuit_table.sh: no tolvarin-sim at $sim (build it, or give its path)" >&2
  exit 2
fi

topologies="basic basic-el pinet pinet-el-tch"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
for t in $topologies; do
  # Table rows start with the drive frequency; columns 2 and 5 are Pout
  # and Pdev.  A failed or unsteady run stops the script: the table must
  # only hold steady figures.
  "$sim" --engine ngspice --topology "$t" --sweep 3.5:4.0:0.1 > "$tmp/$t.out"
  if grep -q "MHz: not steady\|ngspice failed" "$tmp/$t.out"; then
    echo "help_circuit_table.sh: $t did not reach a steady state" >&2
    exit 1
  fi
  awk '/^ *[0-9]+\.[0-9]+ +[-0-9]/ { print $1, $5, $2 }' "$tmp/$t.out" > "$tmp/$t.rows"
done

paste -d' ' "$tmp/basic.rows" "$tmp/basic-el.rows" "$tmp/pinet.rows" "$tmp/pinet-el-tch.rows" |
awk '
function centre(text, width,   left) {
  left = int((width - length(text)) / 2)
  return sprintf("%" left "s%s%" (width - left - length(text)) "s", "", text, "")
}
BEGIN {
  print "Circuit model (ngspice through tolvarin-sim): the start design, losses in"
  print "(coil Qu, capacitor Q 500, Ron 0.2 ohm, choke 10 x Ls2), driven off its"
  print "design frequency.  Pdev: device dissipation, Pout: output power, in W."
  print ""
  printf "%6s %s %s %s %s\n", "", centre("BASIC", 15), centre("BASIC+EL", 15),
         centre("Pinet", 15), centre("Pinet+TCH", 15)
  printf "%5s ", "MHz"
  for (c = 0; c < 4; c++) printf " %7s %7s", "Pdev", "Pout"
  printf "\n"
}
{
  printf "%5.2f ", $1
  for (c = 0; c < 4; c++) {
    dev = $(3 * c + 2); out = $(3 * c + 3)
    printf " %7.3f %7.3f", dev, out
    for (k = 0; k < 2; k++) {
      v = (k == 0) ? dev : out
      i = 2 * c + k
      if (NR == 1 || v > hi[i]) hi[i] = v
      if (NR == 1 || v < lo[i]) lo[i] = v
    }
  }
  printf "\n"
}
END {
  printf "%-6s", "chg W"
  for (i = 0; i < 8; i++) printf " %7.3f", hi[i] - lo[i]
  printf "\n%-6s", "chg dB"
  for (i = 0; i < 8; i++) printf " %7.2f", (lo[i] > 0) ? 10 * log(hi[i] / lo[i]) / log(10) : 0
  printf "\n"
  print ""
  print "chg: highest less lowest over 3.50 to 4.00 MHz, in W and as 10 log(high/low)."
}' | sed 's/ *$//'
