# Sourced by the end-to-end tests' shared files. Under set -e a command that fails where
# nothing tests its status ends the test, and most commands fail without a word (a
# pipeline into awk, a [ ] test, a grep -q): this names the line and the command, so
# that such an end never reaches the log as a bare "Failed". The trap follows into
# functions (set -E); in command substitutions, where set -e is off, it stays quiet.
set -E
trap 'errexit_status=$?; [[ $- == *e* ]] && echo "FAIL: ${BASH_SOURCE[0]##*/} line $LINENO, in ${FUNCNAME[0]:-the script}: $BASH_COMMAND (exit $errexit_status)" >&2' ERR
