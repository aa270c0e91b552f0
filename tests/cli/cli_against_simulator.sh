#!/usr/bin/env bash
# Reads the process values and the information from a simulated transmitter
# through a pseudo-terminal, the way a user runs the tool against a modem. The
# transmitter is busy for the first two requests, reports its loop current
# fixed and its primary variable out of limits, and does not implement
# command 16.
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

"$sim" --timing fast --com 7 --fault rc:next=2 --status 09 --unsupported 16 >"$folder/sim.out" 2>"$folder/sim.err" &
sim_pid=$!
for _ in $(seq 50); do
    grep -q '^COM7 ready on ' "$folder/sim.out" && break
    sleep 0.1
done
if ! grep -q '^COM7 ready on ' "$folder/sim.out"; then
    echo "simulator did not get ready:"; cat "$folder/sim.out" "$folder/sim.err"
    exit 1
fi

fail() {
    echo "$1"
    cat "$folder/cli.out" "$folder/cli.err"
    exit 1
}

"$cli" --port COM7 --trace get >"$folder/cli.out" 2>"$folder/cli.err" ||
    fail "calora-cli get exited with $?"
# The refusals in words on the trace, then the values and the status bits.
[ "$(grep -c 'cmd 0 (read unique identifier) bc 2 rc 32 (busy) status 09 (loop current fixed, primary variable out of limits) refused' "$folder/cli.err")" -eq 2 ] ||
    fail "the trace does not show the two refusals"
grep -Eq ' TX 82 .* cmd 2 \(read loop current and percent of range\) bc 0 #1 \| FF FF' "$folder/cli.err" ||
    fail "the trace does not show the request for command 2"
grep -Eq '^PV +-?[0-9]+\.[0-9]{3} °C$' "$folder/cli.out" &&
    grep -Eq '^Loop current +[0-9]+\.[0-9]{3} mA$' "$folder/cli.out" &&
    grep -Eq '^Percent +-?[0-9]+\.[0-9]{3} %$' "$folder/cli.out" &&
    grep -Eq '^Device status +loop current fixed, primary variable out of limits$' "$folder/cli.out" ||
    fail "unexpected output of get"

# Every field that can be read is; the refused one says why; exit status 1.
"$cli" --port COM7 info >"$folder/cli.out" 2>"$folder/cli.err"
[ $? -eq 1 ] || fail "calora-cli info should exit with 1 when a field cannot be read"
grep -q '^Final assembly  not read: the transmitter refused command 16: response code 64, command not implemented[;]' "$folder/cli.out" &&
    grep -Eq '^Tag +TT101$' "$folder/cli.out" &&
    grep -Eq '^Version +V[0-9]' "$folder/cli.out" ||
    fail "unexpected output of info"
cat "$folder/cli.out"

# A short recording with the trend page's cycle, kept in a trend file that
# converts to CSV again: one row per curve and sample, in ISO local time.
"$cli" --port COM7 trend --period 1 --duration 8 --output "$folder/run.tdd" \
    >"$folder/cli.out" 2>"$folder/cli.err" || fail "calora-cli trend exited with $?"
rows=$(grep -Ec '^[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9:]{8},-?[0-9]+\.[0-9]{3},°C,[0-9]+\.[0-9]{3},' "$folder/cli.out")
[ "$rows" -ge 1 ] || fail "calora-cli trend wrote no sample"
"$cli" tdd2csv "$folder/run.tdd" >"$folder/cli.out" 2>"$folder/cli.err" ||
    fail "calora-cli tdd2csv exited with $?"
iso='^[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9:]{8}[+-][0-9]{2}:[0-9]{2},[-0-9.e+]+,'
[ "$(head -n 1 "$folder/cli.out")" = "time,value,unit,curve" ] &&
    [ "$(grep -Ec "$iso°C,PV\$" "$folder/cli.out")" -ge "$rows" ] &&
    [ "$(grep -Ec "$iso"'mA,current$' "$folder/cli.out")" -eq "$rows" ] &&
    [ "$(grep -Ec "$iso"'%,percent$' "$folder/cli.out")" -eq "$rows" ] ||
    fail "tdd2csv does not give back the $rows samples recorded"
