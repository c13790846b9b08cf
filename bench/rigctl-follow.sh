#!/usr/bin/env bash
# What an operator would script instead of the program: every interval, read the master's
# frequency with rigctl and, when it changed, write it to the slave, into its VFO B by switching
# there and back when asked.
#   rigctl-follow.sh MASTER_HOST:PORT SLAVE_HOST:PORT INTERVAL_SECONDS same|switch
master=$1 slave=$2 interval=$3 vfo=$4
last=
while :; do
    f=$(rigctl -m 2 -r "$master" f 2>/dev/null)
    if [ -n "$f" ] && [ "$f" != "$last" ]; then
        if [ "$vfo" = switch ]; then
            rigctl -m 2 -r "$slave" V VFOB F "$f" V VFOA 2>/dev/null
        else
            rigctl -m 2 -r "$slave" F "$f" 2>/dev/null
        fi
        last=$f
    fi
    sleep "$interval"
done
