#!/usr/bin/env bash
# Fails when the disassembly of the given object files shows a conditional branch in any function:
# x86-64 jumps other than jmp, AArch64 b.<cond>, cbz, cbnz, tbz and tbnz. Prints each function with its
# instruction count and the offending instructions.
#   check_branch_free.sh OBJDUMP [--only REGEX] OBJECT...
# --only REGEX checks only the functions whose (mangled) names match REGEX, and fails when one of them
# calls or jumps to a function that is not checked too.
set -euo pipefail
objdump=$1
shift
only=""
if [ "${1:-}" = --only ]; then
  only=$2
  shift 2
fi
"$objdump" -d -r --no-show-raw-insn "$@" | awk -v only="$only" '
  /^[0-9a-f]+ <.*>:$/ {
    name = substr($2, 2, length($2) - 3)
    checked = only == "" || name ~ only
    if (checked) order[++functions] = name
    next
  }
  !checked { next }
  /^\t+[0-9a-f]+: +R_/ {
    if (only != "" && $2 ~ /^R_(X86_64_PLT32|AARCH64_CALL26|AARCH64_JUMP26)$/) {
      callee = $3
      sub(/[-+]0x[0-9a-f]+$/, "", callee)
      callers[++calls] = name
      callees[calls] = callee
    }
    next
  }
  /^ +[0-9a-f]+: *\t/ {
    instructions[name]++
    split($0, field, "\t")
    mnemonic = field[2]
    sub(/ .*/, "", mnemonic)
    if (mnemonic ~ /^(j[a-z]+|loopn?[ez]?|b\.[a-z]+|cbn?z|tbn?z)$/ && mnemonic !~ /^jmpq?$/) {
      branches[name]++
      found = found "\n  " name " " field[2] (field[3] == "" ? "" : " " field[3])
    }
    # Calls, and jumps out of the function: the target named in <...> (an unresolved call in an object
    # file names the caller itself there; its relocation above names the callee).
    operands = field[2] " " field[3]
    if (only != "" && (mnemonic ~ /^(callq?|bl|blr|br)$/ || mnemonic ~ /^(jmpq?|b)$/)) {
      callee = operands
      if (!sub(/.*</, "", callee) || !sub(/[+>].*/, "", callee)) callee = "(indirect)"
      if (callee != name) {
        callers[++calls] = name
        callees[calls] = callee
      }
    }
  }
  END {
    for (i = 1; i <= functions; i++) {
      printf "%-72s %4d instructions, %d conditional branches\n", order[i], instructions[order[i]], branches[order[i]]
      if (instructions[order[i]] == 0) found = found "\n  " order[i] ": no instruction read (unknown format?)"
    }
    for (i = 1; i <= calls; i++) {
      if (!(callees[i] in instructions)) found = found "\n  " callers[i] " calls " callees[i] ", which is not checked"
    }
    if (functions == 0) { print "no functions found"; exit 1 }
    if (found != "") { print "conditional branches" (only == "" ? "" : " or calls") ":" found; exit 1 }
    printf "%d functions, no conditional branch%s\n", functions, only == "" ? "" : ", no call outside them"
  }'
