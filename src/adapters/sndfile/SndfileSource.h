#pragma once
// Recordings of any rate and the common formats through libsndfile (WAV with
// float, extensible and RF64 headers, FLAC, Ogg Vorbis and Opus, MP3 where the
// library has it, headerless 16-bit), one channel chosen or the channels
// mixed, converted to the receiver's 11025 Hz by the rate converter: the
// core's sample source for whatever its own WAV reader does not take.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "adapters/soxr/SoxrResampler.h"
#include "ports/SampleSource.h"

struct sf_private_tag;  // the library's open file

namespace quelp {

// What a recording is, for the messages that name it.
struct SoundFileInfo {
    int rate = 0;
    int channels = 0;
    int format = 0;  // the library's SF_FORMAT_ code
    // Frames in the recording; unknown for a stream or a format that does not
    // say.
    std::optional<std::uint64_t> frames;

    // "48000 Hz 32-bit float WAV", "96000 Hz 24-bit FLAC", "48000 Hz Ogg Opus".
    std::string Describe() const;
};

class SndfileSource final : public SampleSource {
  public:
    static constexpr int kOutputRate = 11025;
    // Rates outside these are refused: below, the band of the receiver would
    // be mostly missing; above, no recorder writes them.
    static constexpr int kMinRate = 4000;
    static constexpr int kMaxRate = 768000;

    SndfileSource();
    ~SndfileSource() override;
    SndfileSource(const SndfileSource&) = delete;
    SndfileSource& operator=(const SndfileSource&) = delete;

    // A recording by name; a regular file only (a FIFO or a device would
    // block). With `rawRate`, headerless signed 16-bit little-endian mono at
    // that rate. False, with a one-line reason, when it cannot be read.
    bool OpenFile(const std::string& path, ChannelChoice channel, std::optional<int> rawRate,
                  std::string& error);
    // A stream that cannot seek back (standard input, a pipe): the bytes the
    // library looks at again while it reads the header are kept, and nothing
    // is read ahead beyond what decoding needs, so the text of a live stream
    // comes out as it arrives. `fd` stays open.
    bool OpenStream(int fd, ChannelChoice channel, std::optional<int> rawRate, std::string& error);
    // The same stream reading over bytes in memory, which must stay there
    // as long as the source reads them.
    bool OpenBytes(std::string_view bytes, ChannelChoice channel, std::optional<int> rawRate,
                   std::string& error);

    int ReadBlock(std::int16_t* block) override;

    // What the recording is; also after an open that refused a header it
    // read (rate 0 when none was read).
    const SoundFileInfo& Info() const { return info_; }
    // Samples at 11025 Hz the recording gives, when its length is known.
    std::optional<std::uint64_t> OutputSamples() const;
    // Why reading stopped before the end of the audio; empty when it did not.
    const std::string& ReadError() const { return readError_; }

    // A stream's bytes: fills `buffer` with up to `size` bytes; 0 at the end,
    // negative on an error.
    using ReadFn = std::function<std::int64_t(void* buffer, std::size_t size)>;
    class Stream;

  private:
    bool Finish(sf_private_tag* file, ChannelChoice channel, std::string& error);
    // Reads and converts until `want` samples are waiting or the audio ends.
    void Fill(std::size_t want);
    void Append(const float* samples, std::size_t count);
    void Close();

    std::unique_ptr<Stream> stream_;
    sf_private_tag* file_ = nullptr;
    SoundFileInfo info_;
    ChannelChoice channel_ = ChannelChoice::First;
    std::optional<SoxrResampler> resampler_;
    std::vector<float> frames_;  // one read of interleaved frames
    std::vector<float> mono_;
    std::vector<float> converted_;
    std::vector<std::int16_t> ready_;  // samples at 11025 Hz not yet handed out
    std::size_t readyAt_ = 0;
    bool ended_ = false;
    std::string readError_;
};

}  // namespace quelp
