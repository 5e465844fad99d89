#pragma once
// The machine's audio output devices, as the audio list shows them.

#include <string>
#include <vector>

namespace dz {

class AudioOutputs {
public:
    virtual ~AudioOutputs() = default;
    // The product name of every output device, in the system's order.
    virtual std::vector<std::string> productNames() = 0;
};

// The sound system's devices: every playback device of every ALSA card.
class AlsaAudioOutputs final : public AudioOutputs {
public:
    std::vector<std::string> productNames() override;
};

// A product name as the list holds it: at most 31 characters, never cut inside
// a UTF-8 character.
std::string listedProductName(const std::string& name);

}  // namespace dz
