#!/bin/sh
# quorvel-calc's words for firmware, run as a user runs them: published
# register, modulus, signed and fraction cases, and faults that must leave
# standard output empty and say why (a layout's fault, where).
calc=$1
failed=0

# expect NAME EXPECTED ARGUMENTS...: exit 0, and EXPECTED (a printf format)
# among the lines on standard output.
expect() {
    name=$1 expected=$(printf "$2")
    shift 2
    out=$("$calc" "$@" 2>/dev/null)
    status=$?
    case "$out" in
        *"$expected"*) [ "$status" -eq 0 ] && return 0 ;;
    esac
    failed=1
    printf 'FAIL %s: quorvel-calc %s\n  status %s, printed:\n%s\n' "$name" "$*" "$status" "$out" | LC_ALL=C od -An -c | head -n 40
}

# refuse NAME REASON ARGUMENTS...: exit 2, nothing on standard output, REASON on stderr.
refuse() {
    name=$1 reason=$2
    shift 2
    err=$("$calc" "$@" 2>&1 >/dev/null)
    status=$?
    out=$("$calc" "$@" 2>/dev/null)
    case "$err" in
        *"$reason"*) [ "$status" -eq 2 ] && [ -z "$out" ] && return 0 ;;
    esac
    failed=1
    printf 'FAIL %s: quorvel-calc %s\n  status %s, stderr: %s\n' "$name" "$*" "$status" "$err" | LC_ALL=C od -An -c | head -n 40
}

halves='16:0x4000|w[13:0], 16:0x4000|w[27:14]'
expect "two halves" 'Write 1: 0x7333 29491 (16 bits)\n  Bytes, most significant first: 0x73 0x33\nWrite 2: 0x4CCC 19660 (16 bits)\n  Bytes, most significant first: 0x4C 0xCC' \
    --clock 25 --wanted 5 --bits 28 --registers "$halves" --bytes msb
expect "serial, lsb first" 'Write 1: 0x3333 13107 (16 bits)\n  Bytes, least significant first: 0x33 0x33\n  Bits, least significant first: 1100110011001100' \
    --clock 25 --wanted 5 --bits 28 --registers '16:w[15:0]' --bytes lsb --bits-order lsb
expect "40-bit serial word" 'Write 1: 0xB040000000 756987985920 (40 bits)' \
    --registers '40:p<<35|w' --phase 247.5 --phase-bits 5
expect "modulus" 'Word 292 (0x124)\nModulus 1536\nOutput 19010416.6666667 Hz = 57031250/3 Hz' \
    --clock 100 --modulus 1536 --wanted 19
expect "modulus, word" 'Output 1440000 Hz' --clock 120 --modulus 1000 --word 12
expect "signed" 'Word 3634203097 (0xD89D89D9)\nSigned -660764199' --clock 65 --wanted -10 --signed
expect "fraction" 'Word 257698037 (0xF5C28F5)\nFraction 19/25 (exact)\nOutput 150000000 Hz' --clock 2500 --wanted 150 --exact
expect "phase" 'Phase word 12288 (0x3000), 14 bits\nPhase 270 degrees\nPhase error 0 degrees' --phase -90 --phase-bits 14
expect "emit c" '#define FTW 0x3333333u /* 53687091: 4999999.9813735485076904296875 Hz from 25 MHz at 28 bits, error -0.0186264514923095703125 Hz, -3.7252902984619140625 ppb */' \
    --clock 25 --wanted 5 --bits 28 --emit c
expect "emit verilog" "localparam [31:0] dds = 32'h1B645A1D;  // 459561501: 10700000.007636845111846923828125 Hz from 100 MHz at 32 bits" \
    --word 0x1B645A1D --emit verilog --name dds
expect "emit writes" 'FTW_WRITE2 = 0x4CCC  # write 2 of 2, 16 bits' --clock 25 --wanted 5 --bits 28 --registers "$halves" --emit python
expect "json" '"writes":[{"width":16,"hex":"0x3333","value":"13107","bytes":null,"bits":null}]' \
    --json --clock 25 --wanted 5 --bits 28 --registers '16:w[13:0]'

refuse "reserved bit" "position 10: both sides of '|' may set bit 14" --clock 25 --wanted 5 --bits 28 --registers '16:0x4000|w[14:0]'
refuse "slice past the word" 'position 17: a slice past' --clock 25 --wanted 5 --bits 28 --registers '16:w[13:0], 16:w[28:14]'
refuse "p without a phase" 'position 4: p is used' --registers '16:p'
refuse "keyword as name" 'not an identifier of c' --emit c --name int
refuse "C above 64 bits" 'no C integer constant holds 65 bits' --bits 65 --wanted 1 --emit c
refuse "word past the modulus" 'whole number from 0 to the modulus - 1' --modulus 1000 --word 1000
refuse "signed past half the clock" 'above -clock/2' --clock 100 --wanted 50 --signed
refuse "phase word too wide" 'from 0 to 2^14 - 1' --phase-word 16384 --phase-bits 14
refuse "phase width" 'from 1 to 64' --phase 90 --phase-bits 65

exit $failed
