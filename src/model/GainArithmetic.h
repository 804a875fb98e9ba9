#pragma once

// The arithmetic of loudness and gain steps that every view and job shares.
// Volumes and gains are in dB; a gain change is a count of steps of the
// frames' global gain field, each 1.50514997831991 dB (an amplitude factor of
// 2^(1/4)).

inline constexpr double kGainStepDb = 1.50514997831991;
// The gain tool's reference level: its gains bring a file to this volume.
inline constexpr double kReferenceVolume = 89.0;
// The largest sample value that does not clip.
inline constexpr double kMaxUnclippedAmplitude = 32767.0;

// The volume of a file whose gain tool gain is gainDb.
double volumeFromGain(double gainDb);

// The step count that brings volume to targetVolume, rounded half away from
// zero (2.5 steps give 3, -2.5 give -3). Positive makes the file louder.
int toGlobalGainAdjust(double volume, int targetVolume);

// A step count as the dB it changes, always a whole number of steps.
double stepsToDb(int steps);

bool isClipping(double maxAmplitude);

// Whether changing a file by steps lifts its largest sample above the limit.
bool willClipAfter(int steps, double maxAmplitude);

// The most steps a file can be raised without clipping (negative when it clips
// already). A maxAmplitude of 0 or below (or not a number) gives 0, so that a
// silent or broken measurement never allows a gain change; the answer is kept
// within the 8-bit range of the global gain field.
int maxNoClipGlobalGainAdjust(double maxAmplitude);
