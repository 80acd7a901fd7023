#pragma once
// The share of changed cells that counts as motion, set by the user's sensitivity.

// Sensitivity within 1 to 100.
int ClampSensitivity(int sensitivity);

// The level for a sensitivity (clamped first): from LevelLeastSensitive at 1 down to
// LevelMostSensitive at 100, falling by the same factor with each step, so that every step
// changes the size of what is caught by about the same proportion.
double MotionLevel(int sensitivity);

// A change of 30 % of the picture counts at sensitivity 1, so that only a person near the
// camera does; at 100 one of 200 cells (24 of an 80 x 60 picture: a cat across the room),
// far above the cells the noise marks (none in the test camera's still room). The default 50
// lies at 4 %: a person across the room, as in the test camera's crossing (15 % at its most).
constexpr double LevelLeastSensitive = 0.30;
constexpr double LevelMostSensitive = 0.005;
