#!/bin/sh
# Starts Tellurio of the Debian package.  The program keeps its depot data
# in its working directory; for the package that is the user's data
# directory ~/.local/share/Tellurio (or $XDG_DATA_HOME/Tellurio).
data="${XDG_DATA_HOME:-$HOME/.local/share}/Tellurio"
mkdir -p "$data" && cd "$data" && exec /usr/lib/tellurio/tellurio "$@"
