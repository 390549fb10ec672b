#pragma once

#include <cstdint>
#include <vector>

// The alerts' own sound, carried in the exe: two soft sine notes a fourth apart, G5 then C6, each rising smoothly
// and fading away, 0.4 s in all, as the bytes of a 22050 Hz mono 16-bit .wav file.
constexpr uint32_t kChimeSampleRate = 22050;

std::vector<uint8_t> ChimeWaveFile();
