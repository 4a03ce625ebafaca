// Eigen's PartialPivLU built for the processor the benchmark runs on (-march=native: its widest
// vectors and fused multiply-add), for information beside the baseline-target Eigen of the same run.
#pragma once

// Solves system * w = ones (system column-major, n x n) and gives the seconds it took.
double EigenNativeSolveSeconds(const double *system, int n, double *w);
