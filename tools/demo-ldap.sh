#!/bin/sh
# Lays out a demonstration installation of the console on the LDAP back end:
# a local slapd holding the sample people, converted by the console itself
# and loaded with ldapadd, and lighttpd serving the console on it.
#
#   tools/demo-ldap.sh [--setup-only] BUILD_DIR TOP PORT LDAP_PORT
#
# The tree is first made as `make run` makes it (tools/demo.sh), which gives
# the administrator bvogel a password; the sample (site/sample) is then
# converted to LDAP form through the console's import conversion, loaded into
# a slapd of TOP/ldap (mdb database, suffix o=Kavri,c=US, root
# cn=admin,o=Kavri,c=US) on 127.0.0.1:LDAP_PORT, bvogel is made the
# directory's administrator with the same password, and the configuration is
# switched to the LDAP format. slapd runs while the web server does; the
# directory stays in TOP/ldap for the next run.
set -eu

serve=yes
if [ "${1:-}" = "--setup-only" ]; then
  serve=no
  shift
fi
if [ $# -ne 4 ]; then
  echo "usage: $0 [--setup-only] BUILD_DIR TOP PORT LDAP_PORT" >&2
  exit 2
fi
build=$1
top=$2
port=$3
ldap_port=$4
src=$(cd "$(dirname "$0")/.." && pwd)
case "$ldap_port" in
  ''|*[!0-9]*) echo "demo: LDAP_PORT must be a number, not '$ldap_port'" >&2; exit 2 ;;
esac
for tool in /usr/sbin/slapd ldapadd ldappasswd; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "demo: $tool is missing (Debian: apt-get install slapd ldap-utils)" >&2
    exit 1
  fi
done

sh "$src/tools/demo.sh" --setup-only "$build" "$top" "$port"
top=$(cd "$top" && pwd)
password=$(sed -n 's/^password: //p' "$top/demo-account.txt")
suffix="o=Kavri,c=US"
root="cn=admin,$suffix"
ldapdir="$top/ldap"
uri="ldap://127.0.0.1:$ldap_port/"

# The root password of the local server, made once.
mkdir -p "$ldapdir/db"
if [ ! -s "$ldapdir/root-password" ]; then
  (umask 077; od -An -N12 -tx1 /dev/urandom | tr -d ' \n' >"$ldapdir/root-password")
fi
rootpw=$(cat "$ldapdir/root-password")
cat >"$ldapdir/slapd.conf" <<CONF
include /etc/ldap/schema/core.schema
include /etc/ldap/schema/cosine.schema
include /etc/ldap/schema/inetorgperson.schema
modulepath /usr/lib/ldap
moduleload back_mdb
moduleload syncprov
pidfile $ldapdir/slapd.pid
argsfile $ldapdir/slapd.args
database mdb
maxsize 104857600
suffix "$suffix"
rootdn "$root"
rootpw $rootpw
directory $ldapdir/db
index objectClass,entryCSN,entryUUID eq
index uid,cn,manager,member eq
overlay syncprov
CONF
chmod 600 "$ldapdir/slapd.conf"

/usr/sbin/slapd -f "$ldapdir/slapd.conf" -h "$uri"
slapd_pid=$(cat "$ldapdir/slapd.pid")
stop_slapd() { kill "$slapd_pid" 2>/dev/null || true; }
trap stop_slapd EXIT INT TERM
tries=0
until ldapsearch -x -H "$uri" -D "$root" -w "$rootpw" -b "" -s base >/dev/null 2>&1; do
  tries=$((tries + 1))
  if [ $tries -gt 100 ]; then echo "demo: slapd does not answer on $uri" >&2; exit 1; fi
  sleep 0.1
done

bin="$top/htdocs/admin/bin"
# Runs the console as the web server would: cgi METHOD QUERY [BODY] [COOKIES].
cgi() {
  (cd "$bin" && printf '%s' "${3:-}" | env -i REQUEST_METHOD="$1" QUERY_STRING="$2" \
     CONTENT_LENGTH="$(printf '%s' "${3:-}" | wc -c)" \
     CONTENT_TYPE=application/x-www-form-urlencoded SCRIPT_NAME=/admin/bin/velmoraadmin.cgi \
     SERVER_NAME=127.0.0.1 SERVER_PORT="$port" TMPDIR="$top/tmp" HTTP_COOKIE="${4:-}" \
     ./velmoraadmin.cgi)
}

if [ ! -e "$ldapdir/loaded" ]; then
  # The console's own conversion, on the file back end the tree starts with.
  mkdir -p "$top/tmp"
  python3 "$src/tools/ldap_sample.py" csv "$src/site/sample/data.vcf" >"$top/tmp/people.txt"
  cookies=$(cgi POST "" "login=bvogel&password=$password" |
            sed -n 's/^Set-Cookie: \([^;]*\).*/\1/p' | tr -d '\r' | paste -sd ';' - | sed 's/;/; /g')
  query="program=importdata&sub_program=genVersitFile&filePath=$top/tmp/people.txt"
  query="$query&delimiter=%7C&toFormat=toLDAP&whichUid=EXISTING&versittags=7"
  i=0
  for tag in uid cn ou mail telephonenumber title manager; do
    query="$query&versittag_$i=$tag"; i=$((i + 1))
  done
  cgi GET "$query" "" "$cookies" >"$top/tmp/conversion.html"
  if ! grep -q "Data successfuly converted" "$top/tmp/conversion.html"; then
    echo "demo: the conversion failed; see $top/tmp/conversion.html" >&2
    exit 1
  fi
  ldapadd -x -H "$uri" -D "$root" -w "$rootpw" -f "$top/tmp/tempdata.vcf" >"$ldapdir/load.log"
  python3 "$src/tools/ldap_sample.py" groups "$top/tmp/tempdata.vcf" \
    "$src/site/sample/groups.lst" "$src/site/sample/groupmembers.lst" "$suffix" |
    ldapadd -x -H "$uri" -D "$root" -w "$rootpw" >>"$ldapdir/load.log"
  ldapadd -x -H "$uri" -D "$root" -w "$rootpw" >>"$ldapdir/load.log" <<LDIF
dn: ou=velmoraadmin,$suffix
objectClass: organizationalUnit
ou: velmoraadmin

dn: cn=admins,ou=velmoraadmin,$suffix
objectClass: applicationProcess
cn: admins
description: bvogel
LDIF
  touch "$ldapdir/loaded"
fi
bvogel_dn=$(ldapsearch -x -LLL -o ldif-wrap=no -H "$uri" -D "$root" -w "$rootpw" \
              -b "$suffix" "(uid=bvogel)" 1.1 | sed -n 's/^dn: //p')
ldappasswd -x -H "$uri" -D "$root" -w "$rootpw" -s "$password" "$bvogel_dn"

# The configuration: the LDAP format and the connection values.
config="$top/config/configInfo.lst"
scrambled=$(python3 "$src/tools/ldap_sample.py" scramble "$rootpw")
grep -v -i -e '^empDirDBFormat:' -e '^ldapServerName:' -e '^ldapServerPort:' \
  -e '^rootDN:' -e '^rootPasswd:' -e '^ldapSearchBase:' -e '^END:vNameList' \
  "$config" >"$config.new" || true
cat >>"$config.new" <<LST
empDirDBFormat:KV_LDAP
ldapServerName:127.0.0.1
ldapServerPort:$ldap_port
rootDN:$root
rootPasswd:$scrambled
ldapSearchBase:$suffix
END:vNameList
LST
mv "$config.new" "$config"

if [ "$serve" = no ]; then
  stop_slapd
  exit 0
fi
lighttpd=$(command -v lighttpd || echo /usr/sbin/lighttpd)
cat <<MSG

  The directory administration console, on the LDAP server $uri, is served at

      http://127.0.0.1:$port/admin/bin/velmoraadmin.cgi

  Log in as  bvogel  with the password  $password
  (kept in $top/demo-account.txt).

  LDAP server:   $uri  suffix $suffix, root $root
                 (root password in $ldapdir/root-password)
  Installation:  $top
  Stop with Ctrl-C (the LDAP server stops too).

MSG
"$lighttpd" -D -f "$top/lighttpd.conf"
