#!/usr/bin/env bash
# Fails when the disassembly of the given object files shows a conditional branch in any function:
# x86-64 jumps other than jmp, AArch64 b.<cond>, cbz, cbnz, tbz and tbnz. Prints each function with its
# instruction count and the offending instructions.
#   check_branch_free.sh OBJDUMP OBJECT...
set -euo pipefail
objdump=$1
shift
"$objdump" -d --no-show-raw-insn "$@" | awk '
  /^[0-9a-f]+ <.*>:$/ { name = $2; order[++functions] = name; next }
  /^ +[0-9a-f]+:\t/ {
    instructions[name]++
    split($0, field, "\t")
    mnemonic = field[2]
    sub(/ .*/, "", mnemonic)
    if (mnemonic ~ /^(j[a-z]+|loopn?[ez]?|b\.[a-z]+|cbn?z|tbn?z)$/ && mnemonic != "jmp") {
      branches[name]++
      found = found "\n  " name " " field[2] (field[3] == "" ? "" : " " field[3])
    }
  }
  END {
    for (i = 1; i <= functions; i++)
      printf "%-72s %4d instructions, %d conditional branches\n", order[i], instructions[order[i]], branches[order[i]]
    if (functions == 0) { print "no functions found"; exit 1 }
    if (found != "") { print "conditional branches:" found; exit 1 }
    print "no conditional branch"
  }'
