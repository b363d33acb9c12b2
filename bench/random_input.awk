# N ticks of random replay input, the same for the same seed: awk -v n=N -v seed=S [-v near=P] -f
# bench/random_input.awk. One input every 1 to 60 ticks: the mouse anywhere (or, with a share P of
# the inputs, within 12 pixels of the player, where the aim's ratios are small), each button and
# movement key held or not, now and then Esc.
BEGIN {
  srand(seed)
  split("87 65 83 68 27", code, " ")
  for (i = 0; i < n; i += hold) {
    hold = 1 + int(rand() * 60)
    keys = ""
    for (k = 1; k <= 5; k++) if (rand() < (k == 5 ? 0.02 : 0.3)) keys = keys (keys == "" ? "" : ",") code[k]
    if (near > 0 && rand() < near) {
      x = 400 + int(rand() * 25) - 12
      y = 300 + int(rand() * 25) - 12
    } else {
      x = int(rand() * 800)
      y = int(rand() * 600)
    }
    line = x " " y " " (rand() < 0.4) " " (rand() < 0.2) " " (keys == "" ? "-" : keys)
    for (t = 0; t < hold && i + t < n; t++) print line
  }
}
