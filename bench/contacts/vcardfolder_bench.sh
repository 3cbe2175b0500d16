#!/usr/bin/env bash
# What a vCard folder adds to `ringlog-tool list`, as a user meets it: every run a fresh process,
# wall-clock and processor time (user + system) from /usr/bin/time, medians. Folders, made once in
# /tmp and kept for later runs:
#   none      no vCard folder at all;
#   ordinary  5,000 cards of a phone's address book, one file each (name, structured name, two or
#             three numbers, e-mail, address, note, a few with a small photo);
#   hostile   16 MiB of cards made to be slow in the library's parser: TEL lines of 64 KiB of ';',
#             names folded over 64 KiB, cards of a thousand numbers, N lines of a thousand ';';
#   flood     16 MiB of the smallest valid cards (a name and a number each), for comparison: its
#             cost is the library's per card, not a hostile line's.
# Not run by CTest.
#   bench/contacts/vcardfolder_bench.sh [RUNS] [TOOL...]
# TOOL is a ringlog-tool binary beside its lib/ringlog/ module (default build/bin/ringlog-tool);
# give an older build's too to compare. A run past LIMIT seconds (default 120) is stopped, and its
# row says so. CASES="none ordinary" measures only those folders (none comes first: the others'
# added times are against it).
set -euo pipefail

cd "$(dirname "$0")/../.."
runs="${1:-5}"
[ $# -gt 0 ] && shift
tools=("$@")
[ ${#tools[@]} -eq 0 ] && tools=(build/bin/ringlog-tool)
limit="${LIMIT:-120}"
read -r -a cases <<<"${CASES:-none ordinary hostile flood}"
root=/tmp/ringlog-bench-vcard
store=$root/calls.db

make_folders() {
    python3 - "$root" <<'PYTHON'
import os, random, sys
root = sys.argv[1]

def write(folder, name, text):
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "w", newline="") as out:
        out.write(text)

def card(lines):
    return "BEGIN:VCARD\r\nVERSION:3.0\r\n" + "".join(line + "\r\n" for line in lines) + "END:VCARD\r\n"

os.makedirs(os.path.join(root, "none"), exist_ok=True)
rng = random.Random(7)
folder = os.path.join(root, "ordinary", "kpeoplevcard")
if not os.path.exists(os.path.join(folder, "4999.vcf")):
    for i in range(5000):
        lines = ["FN:Contact %d Surname" % i, "N:Surname;Contact %d;;;" % i,
                 "TEL;TYPE=CELL:(206) 386-%04d" % (i % 10000), "TEL;TYPE=WORK,VOICE:+1 703 555 %04d" % i]
        if i % 3 == 0:
            lines.append("item1.TEL:202-555-%04d" % i)
            lines.append("item1.X-ABLabel:other")
        lines += ["EMAIL;TYPE=INTERNET:contact%d@example.org" % i,
                  "ADR;TYPE=HOME:;;%d Main Street;Seattle;WA;98101;USA" % i,
                  "NOTE:met at the conference in %d" % (2000 + i % 25)]
        if i % 10 == 0:
            photo = "".join(rng.choice("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/")
                            for _ in range(3000))
            lines.append("PHOTO;ENCODING=b;TYPE=JPEG:" + "\r\n ".join(photo[k:k + 74] for k in range(0, 3000, 74)))
        write(folder, "%d.vcf" % i, card(lines))

quarter = 4 << 20
folder = os.path.join(root, "hostile", "kpeoplevcard")
if not os.path.exists(os.path.join(folder, "separators-n.vcf")):
    text = card(["FN:Separators", "TEL;TYPE=cell:" + ";" * (64 << 10), "TEL:2065550100"])
    for i in range(quarter // len(text)):
        write(folder, "separators-%d.vcf" % i, text)
    text = card(["FN:Folded" + "\r\n x" * (64 << 9), "TEL:2065550101"])
    for i in range(quarter // len(text)):
        write(folder, "folded-%d.vcf" % i, text)
    text = card(["FN:Numbers"] + ["TEL:+1206555%04d" % k for k in range(1000)])
    write(folder, "numbers.vcf", text * (quarter // len(text)))
    text = card(["FN:Structured", "N:" + ";" * 1000, "TEL:2065550102"])
    write(folder, "separators-n.vcf", text * (quarter // len(text)))

folder = os.path.join(root, "flood", "kpeoplevcard")
if not os.path.exists(os.path.join(folder, "flood.vcf")):
    cards = []
    size = 0
    i = 0
    while size < (16 << 20) - 100:
        text = "BEGIN:VCARD\r\nFN:F%d\r\nTEL:%d\r\nEND:VCARD\r\n" % (i, 2060000000 + i)
        cards.append(text)
        size += len(text)
        i += 1
    write(folder, "flood.vcf", "".join(cards))
PYTHON
}

mkdir -p "$root"
make_folders
if [ ! -f "$store" ]; then
    "${tools[0]}" --store "$store" demo --calls 1000 --seed 7 >/dev/null
fi

median() { sort -n | sed -n "$(( (runs + 1) / 2 ))p"; }
ms() { echo "scale=0; ($1) * 1000 / 1" | bc; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The tools take turns run by run, so that a change in the machine's load falls on each alike.
for case in "${cases[@]}"; do
    for ((run = 0; run < runs; ++run)); do
        for index in "${!tools[@]}"; do
            # No address-book service: only the folder is read.
            if ! times=$(env -u DBUS_SESSION_BUS_ADDRESS -u XDG_RUNTIME_DIR XDG_DATA_HOME="$root/$case" \
                /usr/bin/time -f '%e %U %S' timeout "$limit" "${tools[$index]}" --store "$store" list 2>&1 \
                >/dev/null | tail -1); then
                times="$limit 0 0"
                touch "$work/$index-$case.stopped"
            fi
            read -r wall user system <<<"$times"
            ms "$wall" >>"$work/$index-$case.wall"
            ms "$user + $system" >>"$work/$index-$case.cpu"
        done
    done
done

echo "# $(date -u '+%F %T UTC'), $(nproc) cores, load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-40s %-9s %5s %9s %9s %9s %9s\n' tool folder runs wall_ms cpu_ms +wall_ms +cpu_ms
for index in "${!tools[@]}"; do
    for case in "${cases[@]}"; do
        wall=$(median <"$work/$index-$case.wall")
        cpu=$(median <"$work/$index-$case.cpu")
        [ "$case" = none ] && none_wall=$wall && none_cpu=$cpu
        if [ -f "$work/$index-$case.stopped" ]; then
            printf '%-40s %-9s %5s %9s %9s %9s %9s\n' "${tools[$index]}" "$case" "$runs" ">$((limit * 1000))" - - -
            continue
        fi
        printf '%-40s %-9s %5s %9s %9s %9s %9s\n' "${tools[$index]}" "$case" "$runs" "$wall" "$cpu" \
            $((wall - none_wall)) $((cpu - none_cpu))
    done
done
