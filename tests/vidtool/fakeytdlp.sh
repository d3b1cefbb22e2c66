#!/bin/bash
# A stand-in for the video engine: it plays the scenario written beside it, in the file named
# "scenario", one step a line. "@DIR@" in a replayed file becomes the folder of the "dir" step.
#   args FILE            write the arguments to FILE, each ended by a NUL byte
#   dir PATH             the folder that replaces "@DIR@" (the rest of the line, blanks kept)
#   out FILE [N [MS]]    copy FILE to standard output N bytes at a time, MS milliseconds apart
#   err FILE [N [MS]]    the same on standard error
#   say TEXT             TEXT and a line feed on standard output
#   warn TEXT            TEXT and a line feed on standard error
#   write FILE BYTES     a FILE of BYTES bytes (the rest of the line after BYTES is the name)
#   sleep MS
#   child MS             a process of this group that sleeps MS milliseconds (a converter)
#   wait                 wait for the children
#   exit CODE
here="$(dirname "$0")"
argv=("$@")
dir=""
export LC_ALL=C  # characters are bytes
seconds() { printf '%d.%03d' $(($1 / 1000)) $(($1 % 1000)); }
# a pause without starting a process: a read that times out on a pipe nobody writes to
exec {idle}<> <(:)
pause() { read -r -t "$(seconds "$1")" -u "$idle" || true; }
replay() {  # FILE FD CHUNK MS
    local text i
    text="$(sed "s|@DIR@|$dir|g" "$1"; printf x)"
    text="${text%x}"
    local chunk=${3:-${#text}}
    [ "$chunk" -gt 0 ] || chunk=1
    for ((i = 0; i < ${#text}; i += chunk)); do
        printf '%s' "${text:i:chunk}" >&"$2"
        [ -n "$4" ] && pause "$4"
    done
}
while IFS= read -r line || [ -n "$line" ]; do
    step="${line%% *}"
    rest="${line#* }"
    [ "$rest" = "$line" ] && rest=""
    case "$step" in
        args) printf '%s\0' "${argv[@]}" > "$rest" ;;
        dir) dir="$rest" ;;
        out) set -- $rest; replay "$1" 1 "$2" "$3" ;;
        err) set -- $rest; replay "$1" 2 "$2" "$3" ;;
        say) printf '%s\n' "$rest" ;;
        warn) printf '%s\n' "$rest" >&2 ;;
        write) bytes="${rest%% *}"; head -c "$bytes" /dev/zero > "${rest#* }" ;;
        sleep) pause "$rest" ;;
        child) sleep "$(seconds "$rest")" & ;;
        wait) wait ;;
        exit) exit "$rest" ;;
    esac
done < "$here/scenario"
exit 0
