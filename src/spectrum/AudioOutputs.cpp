#include "spectrum/AudioOutputs.h"

#include <alsa/asoundlib.h>

namespace dz {

namespace {

constexpr std::size_t kProductNameMax = 31;

}  // namespace

std::string listedProductName(const std::string& name)
{
    std::size_t characters = 0;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto byte = static_cast<unsigned char>(name[i]);
        if ((byte & 0xC0) != 0x80 && characters++ == kProductNameMax) {
            return name.substr(0, i);
        }
    }
    return name;
}

std::vector<std::string> AlsaAudioOutputs::productNames()
{
    std::vector<std::string> names;
    int card = -1;
    while (snd_card_next(&card) == 0 && card >= 0) {
        snd_ctl_t* ctl = nullptr;
        const std::string hw = "hw:" + std::to_string(card);
        if (snd_ctl_open(&ctl, hw.c_str(), 0) < 0) {
            continue;
        }
        snd_ctl_card_info_t* cardInfo = nullptr;
        snd_ctl_card_info_alloca(&cardInfo);
        const std::string cardName = snd_ctl_card_info(ctl, cardInfo) == 0 ? snd_ctl_card_info_get_name(cardInfo) : hw;
        int device = -1;
        while (snd_ctl_pcm_next_device(ctl, &device) == 0 && device >= 0) {
            snd_pcm_info_t* pcm = nullptr;
            snd_pcm_info_alloca(&pcm);
            snd_pcm_info_set_device(pcm, static_cast<unsigned>(device));
            snd_pcm_info_set_subdevice(pcm, 0);
            snd_pcm_info_set_stream(pcm, SND_PCM_STREAM_PLAYBACK);
            if (snd_ctl_pcm_info(ctl, pcm) == 0) {
                names.push_back(listedProductName(cardName + ": " + snd_pcm_info_get_name(pcm)));
            }
        }
        snd_ctl_close(ctl);
    }
    return names;
}

}  // namespace dz
