#pragma once

namespace controls {
class DbGrid;
}

// Widens the grid's columns so that what they show can be read: a column of n characters
// holds n digits (numbers and dates are most of what these grids show, and digits are wider
// than the font's average character), its title, and the widest value among the first rows.
// Columns are only ever widened.
void fitColumnsToContent(controls::DbGrid& grid, int sampledRows = 500);
