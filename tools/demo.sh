#!/bin/sh
# Lays out a demonstration installation of the console and serves it with
# lighttpd on the loopback interface.
#
#   tools/demo.sh [--setup-only] BUILD_DIR TOP PORT
#   tools/demo.sh --check-port PORT
#
# Installs the build into TOP, loads the sample directory (site/sample) into
# TOP/data once, makes the sample's first person a directory administrator
# with a password of its own (kept in TOP/demo-account.txt, or taken from
# DEMO_PASSWORD), and writes TOP/lighttpd.conf. Unless --setup-only is given,
# it then runs lighttpd in the foreground until Ctrl-C. With --check-port it
# only says, in one line, whether PORT of the loopback interface is taken.
set -eu

# Fails with one line when something listens on 127.0.0.1:$1.
check_port() {
  if ! python3 - "$1" <<'PY'
import socket, sys
s = socket.socket()
s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
try:
    s.bind(("127.0.0.1", int(sys.argv[1])))
except OSError:
    sys.exit(1)
PY
  then
    echo "demo: port $1 is already in use; choose another one: make run PORT=8181" >&2
    exit 1
  fi
}

if [ "${1:-}" = "--check-port" ]; then
  case "${2:-}" in
    ''|*[!0-9]*) echo "demo: PORT must be a number, not '${2:-}'" >&2; exit 2 ;;
  esac
  check_port "$2"
  exit 0
fi

serve=yes
if [ "${1:-}" = "--setup-only" ]; then
  serve=no
  shift
fi
if [ $# -ne 3 ]; then
  echo "usage: $0 [--setup-only] BUILD_DIR TOP PORT" >&2
  exit 2
fi
build=$1
top=$2
port=$3
src=$(cd "$(dirname "$0")/.." && pwd)
sample="$src/site/sample"
admin_uid=bvogel

case "$port" in
  ''|*[!0-9]*) echo "demo: PORT must be a number, not '$port'" >&2; exit 2 ;;
esac

mkdir -p "$top"
top=$(cd "$top" && pwd)
cmake --install "$build" --prefix "$top" >"$top/install.log"

# The sample directory: groups and additional fields as they are, the cards
# indexed through the back end like any data file.
common="$top/data/common"
mkdir -p "$common"
for file in groups.lst groupmembers.lst addinfo.lst; do
  [ -e "$common/$file" ] || cp "$sample/$file" "$common/$file"
done
if [ ! -e "$common/data.vcf" ]; then
  if ! "$top/bin/kvfiledb" --top "$top" index "$sample/data.vcf" >"$top/index.log" 2>&1; then
    cat "$top/index.log" >&2
    echo "demo: indexing the sample data failed" >&2
    exit 1
  fi
fi

# The administrator account.
account="$top/demo-account.txt"
password=${DEMO_PASSWORD:-}
if [ -z "$password" ] && [ -r "$account" ]; then
  password=$(sed -n 's/^password: //p' "$account")
fi
if [ -z "$password" ]; then
  password=$(od -An -N12 -tx1 /dev/urandom | tr -d ' \n' | cut -c1-16)
fi
"$top/bin/kvfiledb" --top "$top" admins add "$admin_uid" >/dev/null
printf '%s\n' "$password" | "$top/bin/kvfiledb" --top "$top" passwd "$admin_uid" >/dev/null
umask 077
printf 'login: %s\npassword: %s\n' "$admin_uid" "$password" >"$account"
umask 022

# The web server: static files from TOP/htdocs, *.cgi run as CGI programs in
# their own folder, the list files and lock files not served.
cat >"$top/lighttpd.conf" <<CONF
server.modules = ("mod_access", "mod_redirect", "mod_cgi")
server.document-root = "$top/htdocs"
server.bind = "127.0.0.1"
server.port = $port
server.errorlog = "$top/logs/lighttpd-error.log"
server.breakagelog = "$top/logs/cgi-stderr.log"
server.pid-file = "$top/logs/lighttpd.pid"
index-file.names = ("index.html")
url.redirect = ("^/$" => "/admin/bin/velmoraadmin.cgi")
url.access-deny = (".lst", ".lck", "~")
static-file.exclude-extensions = (".cgi")
cgi.assign = (".cgi" => "")
# Progress pages (indexing, conversion, photos) reach the browser as the
# programs write them, not when they end.
server.stream-response-body = 2
mimetype.assign = (
  ".gif" => "image/gif",
  ".js" => "text/javascript",
  ".htm" => "text/html; charset=utf-8",
  ".html" => "text/html; charset=utf-8",
  ".css" => "text/css",
  ".txt" => "text/plain; charset=utf-8"
)
CONF
if [ -n "${DEMO_CGI_ENV:-}" ]; then
  echo "setenv.add-environment = ( $DEMO_CGI_ENV )" >>"$top/lighttpd.conf"
  sed -i 's/^server.modules = (/server.modules = ("mod_setenv", /' "$top/lighttpd.conf"
fi

[ "$serve" = yes ] || exit 0
check_port "$port"

lighttpd=$(command -v lighttpd || echo /usr/sbin/lighttpd)
if [ ! -x "$lighttpd" ]; then
  echo "demo: lighttpd is not installed (Debian: apt-get install lighttpd)" >&2
  exit 1
fi
cat <<MSG

  The directory administration console is served at

      http://127.0.0.1:$port/admin/bin/velmoraadmin.cgi

  Log in as  $admin_uid  with the password  $password
  (kept in $account).

  Installation tree: $top
  Console log:       $top/logs/kvlogfile
  Web server log:    $top/logs/lighttpd-error.log
  Programs' errors:  $top/logs/cgi-stderr.log
  Stop with Ctrl-C.

MSG
exec "$lighttpd" -D -f "$top/lighttpd.conf"
