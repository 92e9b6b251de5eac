#!/usr/bin/env bash
# Random input at the display for a while: key presses, button presses and wheel turns,
# and pointer jumps and nudges within a region of the screen, in bursts of a few dozen
# through one xdotool each. The seed is printed (VARBULES_STORM_SEED repeats a run).
#
#   input_storm.sh <seconds> <x> <y> <width> <height> [key ...]
#
# The keys default to a mix of letters, digits, editing and function keys and a few
# combinations; a caller that must not press some of them names its own.
set -euo pipefail
seconds=$1 left=$2 top=$3 width=$4 height=$5
shift 5
keys=("$@")
[ ${#keys[@]} -gt 0 ] || keys=(a q z 1 7 space Return Escape Tab BackSpace Delete Left Right Up Down Home F1 F5
                                F10 shift+a ctrl+c alt+x alt+F4 Menu Shift_L Control_L)

seed=${VARBULES_STORM_SEED:-$(( $(date +%s%N) % 32768 ))}
RANDOM=$seed
end=$(( $(date +%s%N) / 1000000 + seconds * 1000 ))
actions=0
px=$((left + width / 2)) py=$((top + height / 2))
while [ $(( $(date +%s%N) / 1000000 )) -lt "$end" ]; do
    burst=()
    for _ in $(seq 1 25); do
        case $((RANDOM % 6)) in
            0 | 1) burst+=(key --delay 1 "${keys[RANDOM % ${#keys[@]}]}") ;;
            # xdotool's click waits a while between press and release; these do not.
            2) button=$((RANDOM % 5 + 1)) && burst+=(mousedown "$button" mouseup "$button") ;;
            3) px=$((left + RANDOM % width)) py=$((top + RANDOM % height)) ;;
            *) px=$((px + RANDOM % 9 - 4)) py=$((py + RANDOM % 9 - 4)) ;;
        esac
        # Nudges stay within the region too.
        px=$((px < left ? left : px >= left + width ? left + width - 1 : px))
        py=$((py < top ? top : py >= top + height ? top + height - 1 : py))
        burst+=(mousemove "$px" "$py" sleep 0.002)
        actions=$((actions + 1))
    done
    xdotool "${burst[@]}" 2>/dev/null || true
done
echo "storm: $actions inputs in $seconds s (seed $seed)"
