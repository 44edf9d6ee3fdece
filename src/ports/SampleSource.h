#pragma once
// Port: a recording as the block processor takes it, 16-bit mono at the
// receiver's rate of 11025 Hz, one block at a time. The WAV reader of the core
// is one; recordings of other rates and formats come through an adapter.

#include <cstdint>

namespace quelp {

// Which channel of a recording with several becomes the mono signal. A mono
// recording gives its one channel for every choice.
enum class ChannelChoice {
    First,   // the left channel of a stereo file
    Second,  // the right channel
    Mix,     // the mean of every channel
};

class SampleSource {
  public:
    virtual ~SampleSource() = default;
    // Fills a whole block of kBlockSize samples, padding with zeros once the
    // audio runs out. Returns 0 (block untouched) when no audio is left, which
    // is where a decode ends; otherwise the number of samples that carried
    // audio (1..kBlockSize).
    virtual int ReadBlock(std::int16_t* block) = 0;
};

}  // namespace quelp
