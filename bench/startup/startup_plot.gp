# The start-up figures of docs/startup.tsv (startup_bench.sh) against the number of calls, both axes
# log-scaled; the empty log, which a log scale cannot place, as a dashed line; the targets as crosses.
set terminal pngcairo size 1100,480 font "DejaVu Sans,10"
set output "docs/startup.png"
set datafile separator "\t"
set multiplot layout 1,2 title "ringlog start-up: fresh process, Xvfb, medians (docs/startup.tsv)"
set logscale xy
set xrange [700:1500000]
set xlabel "calls in the log"
set grid
set key top left font ",9"
stats "docs/startup.tsv" using ($1 == 0 ? $4 : 1/0) nooutput
empty_ms = STATS_max
stats "docs/startup.tsv" using ($1 == 0 ? $8 : 1/0) nooutput
empty_mib = STATS_max

set ylabel "first screen of rows (ms)"
set yrange [50:50000]
plot "docs/startup.tsv" using ($1 > 0 ? $1 : 1/0):4 with linespoints lw 2 pt 7 title "ringlog, frame on screen", \
     "docs/startup.tsv" using ($1 > 0 ? $1 : 1/0):6 with linespoints dt 3 pt 6 title "ringlog, own first-paint report", \
     empty_ms with lines dt 2 lc rgb "gray40" title "ringlog, empty log", \
     "bench/startup/gnomecalls-earlier.tsv" using 1:2 with linespoints pt 5 lc rgb "#c03030" \
         title "GNOME Calls (measured earlier, same machine class)", \
     "+" using (100000):(empty_ms + 300) every ::0::0 with points pt 2 ps 2 lc rgb "black" title "target", \
     "+" using (1000000):(3000) every ::0::0 with points pt 2 ps 2 lc rgb "black" notitle

set ylabel "peak resident memory (MiB)"
set yrange [20:3000]
plot "docs/startup.tsv" using ($1 > 0 ? $1 : 1/0):8 with linespoints lw 2 pt 7 title "ringlog, VmHWM", \
     empty_mib with lines dt 2 lc rgb "gray40" title "ringlog, empty log", \
     "bench/startup/gnomecalls-earlier.tsv" using 1:3 with linespoints pt 5 lc rgb "#c03030" \
         title "GNOME Calls (measured earlier, same machine class)", \
     "+" using (100000):(120) every ::0::0 with points pt 2 ps 2 lc rgb "black" title "target", \
     "+" using (1000000):(1024) every ::0::0 with points pt 2 ps 2 lc rgb "black" notitle
unset multiplot
