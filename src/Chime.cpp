#include "Chime.h"

#include <cmath>

#include "WaveFile.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Note {
    double hertz;
    double startSeconds;
};
constexpr Note kNotes[] = {{783.99, 0.0}, {1046.50, 0.15}};
constexpr double kLengthSeconds = 0.4;
constexpr double kAttackSeconds = 0.008;  // long enough not to click, short enough to sound struck
constexpr double kDecaySeconds = 0.05;    // the time constant of each note's fading
constexpr double kReleaseSeconds = 0.01;  // the last faint tail fades to zero rather than stopping with a click
// Well below full scale: the chime sits beside a game's own sound, and the notes overlap only faintly.
constexpr double kPeak = 0.3 * 32767;

double envelope(double t) {
    if (t < 0) return 0;
    const double attack = t < kAttackSeconds ? 0.5 - 0.5 * std::cos(kPi * t / kAttackSeconds) : 1.0;
    return attack * std::exp(-t / kDecaySeconds);
}

}  // namespace

std::vector<uint8_t> ChimeWaveFile() {
    const auto count = static_cast<size_t>(kLengthSeconds * kChimeSampleRate);
    std::vector<int16_t> samples(count);
    for (size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / kChimeSampleRate;
        double value = 0;
        for (const Note& note : kNotes) {
            const double own = t - note.startSeconds;
            value += envelope(own) * std::sin(2 * kPi * note.hertz * own);
        }
        const double release = std::fmin(1.0, (kLengthSeconds - t) / kReleaseSeconds);
        samples[i] = static_cast<int16_t>(std::lround(kPeak * release * value));
    }
    return WaveFileBytes(samples, kChimeSampleRate);
}
