#!/usr/bin/env bash
# Fails when the disassembly of the given object files shows a conditional branch in any function:
# x86-64 jumps other than jmp, AArch64 b.<cond>, cbz, cbnz, tbz and tbnz. Prints each function with its
# instruction count and the offending instructions.
#   check_branch_free.sh OBJDUMP [--only REGEX] OBJECT...
# --only REGEX checks only the functions whose (mangled) names match REGEX, and fails when one of them
# calls or jumps to a function that is not checked too.
# --addresses REGEX (x86-64) also fails when a function matching REGEX, straight-line code taking pointer
# arguments, reads or writes memory at an address that is not a pointer argument or the stack pointer plus
# a constant: every memory operand must have no index register and a base that holds such a pointer. The
# base registers are followed through the code: the argument registers, %rsp and %rip start as pointers;
# a copy of a pointer (mov, also through a vector register or a stack slot), a pointer plus a constant
# (lea, add, sub), the stack aligned (and with a constant) and a word of the binary (a rip-relative load,
# the address of a constant in the GOT) are pointers; any other write, other loads among them, makes a
# register data.
set -euo pipefail
objdump=$1
shift
only=""
addresses=""
while [ "${1:-}" = --only ] || [ "${1:-}" = --addresses ]; do
  if [ "$1" = --only ]; then only=$2; else addresses=$2; fi
  shift 2
done
"$objdump" -d -r --no-show-raw-insn "$@" | awk -v only="$only" -v addresses="$addresses" '
  # The register a register name (without %) is part of: the 64-bit one, or xmmN for a vector register.
  function wide(r) {
    if (r ~ /^r([89]|1[0-5])[dwb]?$/) { sub(/[dwb]$/, "", r); return r }
    if (r ~ /^e?(ax|bx|cx|dx|si|di|sp|bp)$/) { sub(/^e/, "", r); return "r" r }
    if (r ~ /^r(ax|bx|cx|dx|si|di|sp|bp|ip)$/) return r
    if (r ~ /^[abcd][lh]$/) return "r" substr(r, 1, 1) "x"
    if (r ~ /^(si|di|sp|bp)l$/) return "r" substr(r, 1, 2)
    if (r ~ /^[xyz]mm[0-9]+$/) return "xmm" substr(r, 4)
    return ""
  }
  # A displacement, hexadecimal (GNU objdump) or decimal (llvm-objdump).
  function number(text,    n, i, sign, radix) {
    sign = 1
    if (substr(text, 1, 1) == "-") { sign = -1; text = substr(text, 2) }
    radix = sub(/^0x/, "", text) ? 16 : 10
    n = 0
    for (i = 1; i <= length(text); i++) n = n * radix + index("0123456789abcdef", substr(text, i, 1)) - 1
    return sign * n
  }
  function start_pointers() {
    split("", pointer)
    split("", slot)
    pointer["rdi"] = pointer["rsi"] = pointer["rdx"] = pointer["rcx"] = pointer["r8"] = pointer["r9"] = 1
    pointer["rsp"] = pointer["rip"] = 1
  }
  # A stack slot (constant offset from %rsp or %rbp, no index) as "base offset"; "" for other operands.
  function stack_slot(operand,    base) {
    if (operand !~ /^-?(0x[0-9a-f]+|[0-9]+)?\(%r[sb]p\)$/) return ""
    base = operand; sub(/^[^(]*\(%/, "", base); sub(/\)$/, "", base)
    sub(/\(.*/, "", operand)
    return base " " (operand == "" ? 0 : number(operand))
  }
  # A store by mnemonic m of the given source operand to the stack: forgets the pointers kept where it
  # writes (its width from the source register or, for a constant, the suffix; 64 bytes when not known).
  function forget_slots(key, m, source,    parts, other, o, width) {
    split(key, parts, " ")
    width = 64
    if (source ~ /^\$/ && m ~ /^mov[bwlq]$/) width = index("bw l   q", substr(m, 4))
    else if (m ~ /^v?pextr[bwdq]$/) width = index("bw d   q", substr(m, length(m)))
    else if (m ~ /^v?movq$/) width = 8
    else if (m ~ /^v?movd$/) width = 4
    else if (source ~ /^%r([a-z][a-z]|[89]|1[0-5])$/) width = 8
    else if (source ~ /^%(e[a-z][a-z]|r([89]|1[0-5])d)$/) width = 4
    else if (source ~ /^%xmm/) width = 16
    else if (source ~ /^%ymm/) width = 32
    for (other in slot) {
      split(other, o, " ")
      if (o[1] == parts[1] && o[2] - parts[2] < width && parts[2] - o[2] < 8) delete slot[other]
    }
  }
  # The address rules on one instruction of a checked function (mnemonic m, operands ops).
  function check_addresses(m, ops,    rest, inner, parts, n, regs, count, dest, src, base, key) {
    rest = ops
    while (match(rest, /\([^)]*\)/)) {
      inner = substr(rest, RSTART + 1, RLENGTH - 2)
      rest = substr(rest, RSTART + RLENGTH)
      n = split(inner, parts, ",")
      base = parts[1]; sub(/^%/, "", base)
      if (n > 1 && parts[2] != "") found = found "\n  " name " " m " " ops ": an index register"
      else if (!(base in pointer)) found = found "\n  " name " " m " " ops ": base %" base " is not a pointer"
    }
    if (m ~ /^(push|pop|call)/) split("", slot)  # %rsp moves
    # The registers written: the last operand, both of mulx and xchg, rax and rdx of the one-operand
    # multiplications and divisions and of the sign extensions.
    count = split(ops, regs, ",")
    src = count == 2 && regs[1] ~ /^%/ ? wide(substr(regs[1], 2)) : ""
    key = stack_slot(regs[count])
    if (key != "") {
      forget_slots(key, m, regs[1])
      if (m ~ /^movq?$/ && src ~ /^r/ && (src in pointer)) slot[key] = 1
      return
    }
    dest = regs[count] ~ /^%/ ? wide(substr(regs[count], 2)) : ""
    if (m ~ /^(mulx|xchg)/ && count >= 2 && regs[count - 1] ~ /^%/) delete pointer[wide(substr(regs[count - 1], 2))]
    if (m ~ /^(i?mul|i?div)[bwlq]?$/ && count == 1 || m ~ /^(cqto|cltd|cltq|cwtl)$/) {
      delete pointer["rax"]; delete pointer["rdx"]
    }
    if (m ~ /^(cmp|test|bt|v?u?comi|vptest|kortest|ktest)/ || dest == "") return
    if (m ~ /^v?movq?$/ && src != "" && (src in pointer) && regs[count] ~ /^%[rx]/) { pointer[dest] = 1; return }
    key = count == 2 ? stack_slot(regs[1]) : ""
    if (m ~ /^movq?$/ && key != "" && (key in slot)) { pointer[dest] = 1; return }
    if (m ~ /^movq?$/ && regs[1] ~ /\(%rip\)$/ && count == 2) { pointer[dest] = 1; return }  # from the binary: GOT
    if (m ~ /^leaq?$/ && ops ~ /^-?(0x[0-9a-f]+|[0-9]+)?\(%[a-z0-9]+\),/) {
      inner = ops; sub(/^[^(]*\(%/, "", inner); sub(/\).*/, "", inner)
      if (inner in pointer) { pointer[dest] = 1; return }
    }
    if (m ~ /^(add|sub|and)q?$/ && regs[1] ~ /^\$/ && (dest in pointer)) {
      if (dest == "rsp") split("", slot)
      return
    }
    delete pointer[dest]
  }
  /^[0-9a-f]+ <.*>:$/ {
    name = substr($2, 2, length($2) - 3)
    checked = only == "" || name ~ only
    if (checked) order[++functions] = name
    addressed = addresses != "" && name ~ addresses
    if (addressed) start_pointers()
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
    if (addressed && mnemonic !~ /^(nop|data16|cs)/) {  # padding between functions reads no memory
      ops = field[2] " " field[3]  # GNU objdump puts spaces after the mnemonic, llvm-objdump a tab
      sub(/^[^ ]+ */, "", ops)
      sub(/ *(#.*)?$/, "", ops)  # the address objdump notes
      gsub(/ /, "", ops)
      check_addresses(mnemonic, ops)
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
    if (found != "") {
      print "conditional branches" (only == "" ? "" : " or calls") (addresses == "" ? "" : " or addresses") ":" found
      exit 1
    }
    printf "%d functions, no conditional branch%s\n", functions, only == "" ? "" : ", no call outside them"
  }'
