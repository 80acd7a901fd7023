#pragma once
// The share of changed cells that counts as motion, set by the user's sensitivity.

// Sensitivity within 1 to 100.
int ClampSensitivity(int sensitivity);

// The level for a sensitivity (clamped first): from LevelLeastSensitive at 1 down to
// LevelMostSensitive at 100, falling by the same factor with each step, so that every step
// changes the size of what is caught by about the same proportion.
double MotionLevel(int sensitivity);

// A change of 30 % of the picture counts at sensitivity 1; at 100 one of 200 cells (24 of
// an 80 x 60 picture: a cat across a room).
constexpr double LevelLeastSensitive = 0.30;
constexpr double LevelMostSensitive = 0.005;
