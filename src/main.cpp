// hazard-sim: finds the data hazards of a short program in an in-order
// pipeline and the schedule that removes them with the fewest bubbles.
// Works in the current folder; takes no arguments.

#include "core/driver.h"
#include "run.h"

int main() { return hs::console_status(hs::run_simulator()); }
