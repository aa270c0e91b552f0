#!/usr/bin/env bash
# The configuration commands against simulated transmitters on
# pseudo-terminals, as an engineer scripts them: backup, change, diff, restore;
# set of each part keeps the rest of that part; every check and every bad input
# refuses and sends nothing (the simulators' logs prove it); a restore broken
# off by an injected fault says exactly what was written. Every transaction
# costs its answer window, so the sections run as separate tests side by side.
#   cli_config_against_simulator.sh CALORA_SIM CALORA_CLI roundtrip|parts|faults
set -u
sim=$1 cli=$2 section=$3
folder=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    done
    rm -rf "$folder"
}
trap cleanup EXIT
export CALORA_PORTS_DIR=$folder

fail() {
    echo "FAILED: $1"
    cat "$folder/out" "$folder/err" 2>/dev/null
    exit 1
}

# start_sim COM [options]: a simulator publishing COM, logging to sim<COM>.log.
start_sim() {
    local com=$1
    shift
    "$sim" --timing fast --com "$com" --log "$@" >"$folder/sim$com.out" 2>"$folder/sim$com.log" &
    pids+=($!)
    for _ in $(seq 50); do
        grep -q "^COM$com ready on " "$folder/sim$com.out" && return 0
        sleep 0.1
    done
    echo "simulator COM$com did not get ready:"
    cat "$folder/sim$com.out" "$folder/sim$com.log"
    exit 1
}

# cli COM ARGS...: runs the tool without a terminal on stdin; status in $status.
cli() {
    local com=$1
    shift
    "$cli" --port "COM$com" "$@" >"$folder/out" 2>"$folder/err" </dev/null
    status=$?
}

expect_status() {
    [ "$status" -eq "$1" ] || fail "$2: exit status $status, expected $1"
}

# Requests a simulator received, and those of them that write.
requests() { grep -c ' rx ' "$folder/sim$1.log"; }
writes() { grep -cE '\(cmd (6|17|18|19|34|35|36|37|40|42|45|46|186|187) for' "$folder/sim$1.log"; }

# config_of COM FILE: the configuration as config prints it.
config_of() {
    cli "$1" config
    expect_status 0 "config"
    cp "$folder/out" "$2"
}


# --- Backup, change, diff, restore; a file from another kind ---------------
roundtrip() {
    start_sim 1
    start_sim 2 --devices 3,5

    cli 1 backup "$folder/a.json"
    expect_status 0 "backup"
    grep -q '"device-id": "5A0001"' "$folder/a.json" && grep -q '"urv": 100' "$folder/a.json" ||
        fail "backup file lacks its parts: $(cat "$folder/a.json")"

    cli 1 set urv=150 tag=changed
    expect_status 0 "set urv and tag"
    grep -Eq '^urv: 100 -> 150$' "$folder/out" || fail "set does not report the change"
    cli 1 diff "$folder/a.json"
    expect_status 1 "diff after a change"
    grep -Eq '^urv +150 +100$' "$folder/out" && grep -Eq '^tag +CHANGED +TT101$' "$folder/out" &&
        [ "$(wc -l <"$folder/out")" -eq 3 ] || fail "diff does not show exactly the two changes"

    before=$(writes 1)
    cli 1 restore "$folder/a.json"
    expect_status 2 "restore without --yes and without a terminal"
    grep -q 'not a terminal' "$folder/err" || fail "restore does not say why it cannot ask"
    [ "$(writes 1)" -eq "$before" ] || fail "restore without confirmation wrote"

    cli 1 restore "$folder/a.json" --yes
    expect_status 0 "restore"
    grep -q 'read back, all took' "$folder/out" || fail "restore does not confirm the read-back"
    cli 1 diff "$folder/a.json"
    expect_status 0 "diff after the restore"

    # A file from another kind of transmitter is refused unless --force.
    sed -e 's/"device-type": [0-9]*/"device-type": 99/' -e 's/"damping": 1/"damping": 2/' \
        "$folder/a.json" >"$folder/kind.json"
    before=$(writes 1)
    cli 1 restore "$folder/kind.json" --yes
    expect_status 2 "restore from another device type"
    grep -q 'another kind of transmitter' "$folder/err" || fail "the other device type is not named"
    [ "$(writes 1)" -eq "$before" ] || fail "restore from another device type wrote"
    cli 1 restore "$folder/kind.json" --yes --force
    expect_status 0 "restore --force"
    grep -Eq '^damping +1 +2$' "$folder/out" || fail "restore --force did not write the damping"

    # Commissioning: the saved configuration onto another transmitter, which
    # takes the polling address of the first as well.
    cli 2 --address 3 restore "$folder/a.json" --yes
    expect_status 0 "restore onto another transmitter"
    grep -Eq '^polling-address +3 +0$' "$folder/out" || fail "the restore does not show the address"
    cli 2 --address 0 diff "$folder/a.json"
    expect_status 0 "diff of the other transmitter"
}

# --- set of each part keeps the rest of it; checks and bad input send nothing
parts() {
    start_sim 1

    # Every setting not named keeps its value through all of these; each is
    # named once, so a set that disturbs another shows in the end.
    config_of 1 "$folder/before"
    for assignment in "sensors=2 sensor2=Cu50 mode=independent" "output-sensor=2 wire1=2" \
        "sensor1=PT500" "offset2=-1.5" "lrv=-50" "alarm=low" "damping=2.5" "descriptor=new" \
        "message=commissioned" "final-assembly-number=ab12"; do
        # shellcheck disable=SC2086
        cli 1 set $assignment
        expect_status 0 "set $assignment"
    done
    config_of 1 "$folder/after"
    expected="sensors 2|mode independent|output-sensor 2|sensor2 Cu50|wire2 3|offset2 -1.5|wire1 2
sensor1 PT500|lrv -50|alarm low|damping 2.5|descriptor NEW|message COMMISSIONED
final-assembly-number 00AB12"
    named=" $(echo "$expected" | tr '|' '\n' | cut -d' ' -f1 | xargs) "
    while read -r key value; do
        case "$named" in
        *" $key "*) ;;
        *) grep -Eq "^$key +$value\$" "$folder/after" || fail "set changed $key" ;;
        esac
    done <"$folder/before"
    echo "$expected" | tr '|' '\n' | while read -r key value; do
        grep -Eq "^$key +$value\$" "$folder/after" || fail "$key is not $value: $(cat "$folder/after")"
    done || exit 1

    # refused writes|requests PROBLEM ARGS...: exit 2, PROBLEM said, and no
    # write (a check, after reading) or no request at all (bad input) sent.
    refused() {
        local counter=$1 problem=$2
        shift 2
        before=$($counter 1)
        cli 1 "$@"
        expect_status 2 "$*"
        grep -q -- "$problem" "$folder/err" || fail "$* does not say '$problem'"
        [ "$($counter 1)" -eq "$before" ] || fail "$* sent $counter although refused"
    }
    refused writes "HART: The range is too small" set lrv=0 urv=5
    refused writes "HART: With two sensors, sensor 1 cannot be connected as 4-wire" set wire1=4
    refused writes "HART: With two sensors, sensor 2 cannot be connected as 4-wire" \
        set wire2=4 mode=average
    refused writes "HART: In Backup, Average and Difference mode both sensors must be of the same" \
        set sensor2=0...400R mode=difference
    refused writes "HART: The new polling address must be between 0 and 15" set polling-address=16
    refused writes "HART: Current out of range" fix 20.6
    refused writes "HART: Current out of range" trim --at4 2.9 --at20 20 --yes

    printf '{"format": "calora-configuration", "schema": 1, "ident' >"$folder/cut.json"
    printf '{"name": "something else"}\n' >"$folder/other.json"
    printf '{"format": "calora-configuration", "schema": 2}\n' >"$folder/newer.json"
    refused requests "unknown key 'colour'" set colour=red
    refused requests "date: '2024-02-30' is not a date" set date=2024-02-30
    refused requests "cut short" restore "$folder/cut.json" --yes
    refused requests "not a configuration saved by calora-cli backup" restore "$folder/other.json" --yes
    refused requests "schema 2 is not one this calora-cli reads" diff "$folder/newer.json"
    refused requests "not a terminal" trim --at4 4 --at20 20
}

# --- A restore broken off says exactly what was written; a quick search ------
faults() {
    start_sim 1 --fault rc:cmd=187
    start_sim 2 --fault checksum:cmd=187
    start_sim 3 --devices 3,5
    start_sim 4 --fault ignore:cmd=34

    cli 1 backup "$folder/a.json"
    expect_status 0 "backup"
    sed -e 's/"urv": 100/"urv": 120/' -e 's/"sensor1": "PT100"/"sensor1": "PT500"/' \
        -e 's/"alarm": "high"/"alarm": "low"/' -e 's/"damping": 1/"damping": 3/' \
        "$folder/a.json" >"$folder/b.json"

    # Refused: not carried out.
    cli 1 restore "$folder/b.json" --yes
    expect_status 1 "restore refused halfway"
    grep -q 'the write stopped at command 187: the transmitter refused command 187: response code 32' "$folder/err" &&
        grep -Eq '^  written: +urv, sensor1$' "$folder/err" &&
        grep -Eq '^  not written: +alarm, damping, the reset' "$folder/err" ||
        fail "the refused restore does not say what was written"
    cli 1 diff "$folder/b.json"
    expect_status 1 "diff after the broken restore"
    grep -Eq '^alarm +high +low$' "$folder/out" && grep -Eq '^damping +1 +3$' "$folder/out" &&
        [ "$(wc -l <"$folder/out")" -eq 3 ] ||
        fail "the transmitter does not hold what the report said"

    # No valid answer: perhaps carried out.
    cli 2 restore "$folder/b.json" --yes
    expect_status 1 "restore whose answers were spoiled halfway"
    grep -Eq '^  written: +urv, sensor1$' "$folder/err" &&
        grep -Eq '^  perhaps written: +alarm$' "$folder/err" &&
        grep -Eq '^  not written: +damping, the reset' "$folder/err" ||
        fail "the spoiled restore does not say what may have been written"

    # Answered as written, but not taken: the read-back names it.
    cli 4 restore "$folder/b.json" --yes
    expect_status 1 "restore of a setting the transmitter does not take"
    sed -n '/^read back:/,$p' "$folder/out" >"$folder/readback"
    grep -q '^read back: 1 settings did not take$' "$folder/readback" &&
        grep -Eq '^damping +1 +3$' "$folder/readback" && [ "$(wc -l <"$folder/readback")" -eq 3 ] ||
        fail "the read-back does not name the damping"

    # A quick search asks each address once and stops at the first answer.
    before=$(requests 3)
    cli 3 search --quick --first
    expect_status 0 "search --quick --first"
    grep -Eq ': 3$' "$folder/out" || fail "quick search did not find 3"
    sent=$(($(requests 3) - before))
    [ "$sent" -eq 4 ] || fail "quick search sent $sent requests, not 4"
}

case "$section" in
roundtrip | parts | faults) "$section" ;;
*) fail "unknown section '$section'" ;;
esac
echo "configuration commands against the simulator, $section: passed"
