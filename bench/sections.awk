# Realistic friction sections as CSV (header D,L,t,G,K): DN15 to DN600, 0.5 to 200 m, 5 to
# 95 °C with every fifth row on a table temperature, flows spread over four decades, steel to
# concrete roughness. The same seed gives the same rows everywhere.
#   awk -v rows=1000000 -f bench/sections.awk
BEGIN {
    srand(20240601);
    split("15 20 25 32 40 50 65 80 100 125 150 200 250 300 400 500 600", dn, " ");
    print "D,L,t,G,K";
    for (i = 0; i < rows; i++) {
        d = dn[int(rand() * 17) + 1] + int(rand() * 100) / 10;
        l = int(500 + rand() * 199500);
        t = (i % 5 == 0) ? 5 * int(rand() * 11) : int(rand() * 9000 + 500) / 100;
        g = sprintf("%.4g", 10 ^ (rand() * 4 - 1));
        k = sprintf("%.3g", 0.01 + rand() * 1.5);
        print d "," l "," t "," g "," k;
    }
}
