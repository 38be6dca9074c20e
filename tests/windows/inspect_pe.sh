#!/bin/sh
# Checks a built program as Windows would see the file: the machine, the
# subsystem (GUI unless SUBSYSTEM says console), and that it imports nothing
# beyond KERNEL32, USER32, GDI32 and msvcrt.
# Usage: inspect_pe.sh OBJDUMP EXE pe32|pe32+ [MAX_BYTES] [gui|console]
set -eu
objdump=$1 exe=$2 format=$3 max_bytes=${4:-} subsystem=${5:-gui}

headers=$("$objdump" -p "$exe")
fail() { echo "$exe: $*" >&2; exit 1; }

case $format in
  pe32) echo "$headers" | grep -q 'file format pei-i386' || fail "is not PE32 (i386)" ;;
  pe32+) echo "$headers" | grep -q 'file format pei-x86-64' || fail "is not PE32+ (x86-64)" ;;
  *) fail "unknown format $format" ;;
esac
case $subsystem in
  gui) echo "$headers" | grep -Eq '^Subsystem[[:space:]]+00000002' || fail "is not a GUI program" ;;
  console) echo "$headers" | grep -Eq '^Subsystem[[:space:]]+00000003' || fail "is not a console program" ;;
  *) fail "unknown subsystem $subsystem" ;;
esac

imports=$(echo "$headers" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'a-z' 'A-Z' | sort -u)
[ -n "$imports" ] || fail "shows no import table"
for dll in $imports; do
  case $dll in
    KERNEL32.DLL|USER32.DLL|GDI32.DLL|MSVCRT.DLL) ;;
    *) fail "imports $dll" ;;
  esac
done
for dll in KERNEL32.DLL USER32.DLL; do
  echo "$imports" | grep -qx "$dll" || fail "does not import $dll"
done

size=$(wc -c < "$exe")
if [ -n "$max_bytes" ] && [ "$size" -gt "$max_bytes" ]; then
  fail "is $size bytes, more than $max_bytes"
fi
echo "$exe: $format, $subsystem, imports $(echo $imports), $size bytes"
