#!/bin/sh
# The pictures that pages ask the suite's common program for: the front-page
# logo of the login page and the company logos. Anything else is not here.
dir=$(dirname "$0")
case "&$QUERY_STRING&" in
  *"&program=front_page_gif&"*) file="$dir/images/frontpage.gif" ;;
  *"&program=kavri_company_gif&"*|*"&program=company_gif&"*) file="$dir/images/kavrilogo.gif" ;;
  *) file="" ;;
esac
if [ -z "$file" ] || [ ! -r "$file" ]; then
  printf 'Status: 404 Not Found\r\nContent-Type: text/plain\r\n\r\nNot found\n'
  exit 0
fi
printf 'Content-Type: image/gif\r\nCache-Control: max-age=3600\r\n\r\n'
exec cat "$file"
