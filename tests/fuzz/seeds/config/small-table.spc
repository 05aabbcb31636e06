FSIF_TYPE = 1
FAST_BLT = 1
DRAW_SMOOTH_HIGH = true
SPEC_TBL = {
  size = 2,
  [0] = { size = 2, weight = 110000, v1 = 128, vr = 133, v2 = 139,
    optClbSpd = 250, optDesSpd = 260, optCrzSpd = 290,
    [0] = { size = 2, spd = 200, turnRate = 1.88,
      [0] = { alt = 0, climb = 2960, descend = -1440 },
      [1] = { alt = 41000, climb = 390, descend = -2940 } },
    [1] = { size = 2, spd = 300, turnRate = 1.2,
      [0] = { alt = 0, climb = 3310, descend = -1560 },
      [1] = { alt = 41000, climb = 440, descend = -3060 } } },
  [1] = { size = 2, weight = 170000, v1 = 150, vr = 155, v2 = 160,
    optClbSpd = 280, optDesSpd = 280, optCrzSpd = 310,
    [0] = { size = 2, spd = 200, turnRate = 1.88,
      [0] = { alt = 0, climb = 2100, descend = -1400 },
      [1] = { alt = 41000, climb = 200, descend = -2800 } },
    [1] = { size = 2, spd = 300, turnRate = 1.2,
      [0] = { alt = 0, climb = 2500, descend = -1500 },
      [1] = { alt = 41000, climb = 250, descend = -2900 } } },
}
