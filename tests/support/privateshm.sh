#!/bin/sh
# Runs a test with a /dev/shm of its own where the machine allows it (a private mount namespace
# and the right to mount), else as it stands.
#
# JACK keeps its servers' registry, sockets and shared memory in /dev/shm. On a machine where
# processes of several PID namespaces share one /dev/shm, a server started in one namespace takes
# the servers it cannot see for dead and releases their memory, and their clients crash or lose
# their server. A JACK test in its own /dev/shm meets only its own server.
if [ -z "${OSTREL_PRIVATE_SHM:-}" ] && unshare -m --propagation private true 2>/dev/null; then
  exec unshare -m --propagation private sh -c \
    'mount -t tmpfs -o mode=1777 ostrelshm /dev/shm 2>/dev/null; OSTREL_PRIVATE_SHM=1 exec "$@"' sh "$@"
fi
exec "$@"
