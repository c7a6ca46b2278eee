// The class sheet on A4 paper: the students' answer grid in millimetres,
// so that every answer cell holds an answer written by hand and the grid
// fills its page, or two pages for a long program.
// Gives gridLayout.
'use strict';

// The printed area of an A4 page (210 x 297 mm) inside the sheet's margins.
const PAGE = { margin: 8, width: 194, height: 281 };
// An answer written by hand: about 2.5 mm a character and 4.5 mm a line.
// The longest is a kind and two registers.
const HAND = { char: 2.5, line: 4.5, longest: 'WAW R28,R32', registers: 'R28,R32' };
const LEAST_ROW = 8;
const TALLEST_ROW = 30; // a short program's rows grow up to this to fill the page
// The fixed parts of a students' page: who it is for with the rules above
// the grid, the grid's head row (again on a second page), the performance
// box below it; and the grid's fixed columns: IN, the instruction, IN corrected.
const TOP = 40;
const HEAD = 9;
const FOOT = 14;
// The new order's boxes below the grid, a number written in each: 9 mm
// with 1 mm between (exercise.css), after a line of their own words; then
// the fewest bubbles' box, as the performance's.
const ORDER = { top: 9, pitch: 10, perLine: 19 };
const SLACK = 3; // kept free on a page for the borders and rounding
// IN corrected's head on two lines: "corrected", 8 pt bold, takes 15.4 mm.
const COLUMN = { in: 7, instr: 28, entry: 18 };

// count: the program's instructions; spread: the distance columns; entry,
// perf, order: whether the entry cycles, the performance and the new order
// are asked. Returns the columns' widths ({in, instr, dist, entry}, dist 0
// without distances), the lines of a distance cell (1: 'WAW R28,R32' on one
// line; 2: the kind above its registers), the rows' height and the pages
// the grid takes.
function gridLayout({ count, spread, entry, perf, order }) {
  const rest = PAGE.width - COLUMN.in - COLUMN.instr - (entry ? COLUMN.entry : 0);
  const dist = spread > 0 ? rest / spread : 0;
  const lines = spread > 0 && dist < HAND.longest.length * HAND.char ? 2 : 1;
  const least = Math.max(LEAST_ROW, lines * HAND.line);
  const foot = (perf ? FOOT : 0) + (order ? ORDER.top + Math.ceil(count / ORDER.perLine) * ORDER.pitch + FOOT : 0);
  const first = PAGE.height - SLACK - TOP - HEAD;
  const second = PAGE.height - SLACK - HEAD - foot;
  const fits = count * least <= first - foot;
  // Over two pages the break falls after a whole row: one row's room is kept.
  const row = fits ? Math.min(TALLEST_ROW, (first - foot) / count) : Math.max(least, (first + second) / (count + 1));
  // Without distances, the entry column takes the width they would.
  const entryWidth = entry ? COLUMN.entry + (spread > 0 ? 0 : rest) : 0;
  return { columns: { in: COLUMN.in, instr: COLUMN.instr, dist, entry: entryWidth }, lines, row, pages: fits ? 1 : 2 };
}

module.exports = { gridLayout };
