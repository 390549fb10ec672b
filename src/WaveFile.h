#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The RIFF WAVE format as far as the alerts need it: 16-bit mono PCM written whole, and a first look at a file the
// player names before it is handed to the system to play.

// An alert's sound lasts seconds; a larger file is not one, and the system reads a played file whole.
constexpr uint64_t kLongestWaveFileBytes = 10u << 20;
// The bytes of a file's start that WaveFileLooksPlayable looks at: "RIFF", the chunk size, "WAVE".
constexpr size_t kWaveHeadBytes = 12;

// `samples` at `sampleRate` as the bytes of a .wav file: the RIFF header, a PCM "fmt " chunk and the "data" chunk.
std::vector<uint8_t> WaveFileBytes(const std::vector<int16_t>& samples, uint32_t sampleRate);

// Whether a file of `fileSize` bytes starting with `head` is a RIFF WAVE file of a size an alert may play: at least
// a header with its format chunk, at most kLongestWaveFileBytes.
bool WaveFileLooksPlayable(const uint8_t* head, size_t headSize, uint64_t fileSize);
