#!/bin/sh
# Starts Tellurio of the Debian package.  The program keeps its depot data
# in its working directory; for the package that is the user's data
# directory ~/.local/share/Tellurio (or $XDG_DATA_HOME/Tellurio).
data="${XDG_DATA_HOME:-$HOME/.local/share}/Tellurio"
# The C library's heap on huge pages, as the program would otherwise
# restart itself to get it; the program gives the programs it starts the
# user's GLIBC_TUNABLES back.  A setting of the user's own stays.
case ":${GLIBC_TUNABLES:-}:" in
  *:glibc.malloc.hugetlb=*) ;;
  *)
    export TELLURIO_GLIBC_TUNABLES_VORHER="${GLIBC_TUNABLES:--}"
    export GLIBC_TUNABLES="${GLIBC_TUNABLES:+$GLIBC_TUNABLES:}glibc.malloc.hugetlb=1"
    ;;
esac
mkdir -p "$data" && cd "$data" && exec /usr/lib/tellurio/tellurio "$@"
