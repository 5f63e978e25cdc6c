#!/bin/sh
# The back-end plug-in loads lean into the console program:
#   plugin_symbols_test.sh PLUGIN PROGRAM [LIBRARIES]
# - it needs no shared library but the C library (and those whose names
#   match the extended regular expression LIBRARIES);
# - it exports only its extern "C" entry points (Kv...);
# - every symbol it takes from its host, the C library's aside, is exported
#   by the program, which carries the C++ runtime statically. A symbol missing
#   there would end a request with "symbol lookup error" only when first
#   called; add it to velmora_host_plugin_needs (filedb/CMakeLists.txt).
set -u
plugin=$1
program=$2
allowed=${3:-^$}
status=0

needed=$(readelf -d "$plugin" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' | grep -v '^libc\.so\.' | grep -Ev "$allowed" || true)
if [ -n "$needed" ]; then
  echo "$plugin needs further libraries: $needed"
  status=1
fi

exported=$(nm -D --defined-only "$plugin" | awk '{print $3}' | grep -v '^Kv' || true)
if [ -n "$exported" ]; then
  echo "$plugin exports more than its entry points:"
  echo "$exported"
  status=1
fi

nm -D --defined-only "$program" | awk '{print $3}' | sort -u >"${TMPDIR:-/tmp}/host.$$"
missing=$(nm -D --undefined-only "$plugin" | awk '$1 == "U" {print $2}' | grep -v '@' |
          sort -u | comm -23 - "${TMPDIR:-/tmp}/host.$$")
rm -f "${TMPDIR:-/tmp}/host.$$"
if [ -n "$missing" ]; then
  echo "$program does not export what $plugin takes from it:"
  echo "$missing" | c++filt
  status=1
fi
exit $status
