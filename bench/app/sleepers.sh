# Extra processes of the user for the benchmarks, as on a busy desktop: sourced by idle.sh and
# stall.sh, after scripts/virtual-desktop.sh.
sleepers=()

# Starts $1 processes that sleep until they are stopped.
start_sleepers() {
    for _ in $(seq "$1"); do
        sleep 1000 &
        sleepers+=("$!")
    done
}

# Stops the sleepers and the virtual desktop: the benchmarks' exit trap.
stop_all() {
    if ((${#sleepers[@]} > 0)); then
        kill "${sleepers[@]}" 2>/dev/null || true
    fi
    vd_stop
}
