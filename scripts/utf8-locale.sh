# Sourced by every script that builds or starts Wine: everything runs under a UTF-8 locale,
# whatever the caller's. Wine started under the POSIX locale (a fresh machine has no LANG)
# cannot create file names outside ASCII. C.UTF-8 is built into glibc, so every Debian
# system has it.
export LANG=C.UTF-8 LC_ALL=C.UTF-8
unset LANGUAGE
