#!/usr/bin/env bash
# Reads the process values from a simulated transmitter through a
# pseudo-terminal, the way a user runs the tool against a modem.
#   cli_against_simulator.sh CALORA_SIM CALORA_CLI
set -u
sim=$1 cli=$2
folder=$(mktemp -d)
sim_pid=
cleanup() {
    [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
    rm -rf "$folder"
}
trap cleanup EXIT
export CALORA_PORTS_DIR=$folder

"$sim" --timing fast --com 7 >"$folder/sim.out" 2>"$folder/sim.err" &
sim_pid=$!
for _ in $(seq 50); do
    grep -q '^COM7 ready on ' "$folder/sim.out" && break
    sleep 0.1
done
if ! grep -q '^COM7 ready on ' "$folder/sim.out"; then
    echo "simulator did not get ready:"; cat "$folder/sim.out" "$folder/sim.err"
    exit 1
fi

timeout 10 "$cli" --port COM7 get >"$folder/cli.out" 2>"$folder/cli.err"
status=$?
cat "$folder/cli.out" "$folder/cli.err"
if [ $status -ne 0 ]; then
    echo "calora-cli exited with $status"
    exit 1
fi
# PV with three decimals and the simulator's unit, then current and percent.
grep -Eq '^PV +-?[0-9]+\.[0-9]{3} °C$' "$folder/cli.out" &&
    grep -Eq '^Loop current +[0-9]+\.[0-9]{3} mA$' "$folder/cli.out" &&
    grep -Eq '^Percent +-?[0-9]+\.[0-9]{3} %$' "$folder/cli.out" || {
    echo "unexpected output"
    exit 1
}
