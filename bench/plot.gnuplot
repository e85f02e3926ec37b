# Median frame time per scene and size, straightforward against fast.
#   gnuplot -e "data='build-bench/bench-frames.dat'; out='docs/performance.png'" bench/plot.gnuplot
# (Debian: gnuplot-nox.)
if (!exists("data")) data = 'build-bench/bench-frames.dat'
if (!exists("out")) out = 'docs/performance.png'
set terminal pngcairo size 900,500 font 'DejaVu Sans,11'
set output out
set title 'Median frame time on llvmpipe (2 cores): straightforward and fast paths'
set ylabel 'ms per frame'
set style data histograms
set style histogram clustered gap 1 errorbars lw 1
set style fill solid 0.85 border -1
set boxwidth 0.9
set yrange [0:*]
set grid ytics
set key top left
set xtics nomirror
set bmargin 4
# Bars: medians; whiskers reach the 90th percentile.
plot data using 3:3:5:xtic(sprintf("%s\n%s", stringcolumn(1), stringcolumn(2))) title 'straightforward (median, p90)' lc rgb '#9a9a9a', \
     '' using 4:4:6 title 'fast (median, p90)' lc rgb '#2a6fb0'
