// The one pseudo-random generator of the program and the few math helpers the
// game uses. The framework, the game and the music player all advance the same
// 32-bit state, so a seed reproduces every arrangement exactly.
//
// Left out: any other distribution; callers build theirs from Rnd().
#pragma once

// 32-bit state, treated as unsigned; 1234 at start (vx_framework_Init). Assign
// it to re-seed.
extern int vx_random_Seed;

float vx_random_Rnd();
float vx_random_Rnd2(float low, float high);
float vx_random_Rnd3(float range);
// floor(low + u * (high + 0.99f - low)): a whole number from low to high
// inclusive. The one integer draw behind c_MyApp::p_Rand and c_QZPlayer::p_Rand.
int vx_random_RandInt(float low, float high);

int vx_math_Abs(int x);
float vx_math_Abs2(float x);
int vx_math_Max(int a, int b);
float vx_math_Max2(float a, float b);
