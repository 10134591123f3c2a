#include "common/profiles/apply_steps.h"

#include "common/settings/models.h"

namespace qm::profiles {
namespace {

using settings::Setting;
using M = StepModels;

// The texts are the ones users and their scripts know, spelling included.
constexpr std::array<ApplyStep, kApplyStepCount> kSteps{{
    {1, Setting::Volume, M::All, "DSP volume", "Apply profile DSP volume ...",
     "Apply profile DSP volume sucessfully!", "Apply profile DSP volume error!",
     "Apply profile DSP volume try %d ..."},
    {2, Setting::ALC_RECOVERY, M::All, "ALC recovery", "Apply profile ALC Recovery ...",
     "Apply profile ALC Recovery sucessfully!", "Apply profile ALC Recovery error!",
     "Apply profile ALC Recovery try %d ..."},
    {3, Setting::ALC_MODE, M::All, "ALC mode", "Apply profile ALC Mode ...",
     "Apply profile ALC Mode sucessfully!", "Apply profile ALC Mode error!",
     "Apply profile ALC Mode try %d ..."},
    {4, Setting::ALC_REF_VALUE, M::All, "ALC reference value",
     "Apply profile ALC Refernce value ...", "Apply profile ALC Refernce value sucessfully!",
     "Apply profile ALC Refernce value error!", "Apply profile ALC Refernce value try %d ..."},
    {5, Setting::HPF_1, M::All, "HPF 1 filter", "Apply profile HPF 1 filter value ...",
     "Apply profile HPF 1 filter sucessfully!", "Apply profile HPF 1 filter error!",
     "Apply profile HPF 1 filter value try %d ..."},
    {6, Setting::HPF_2, M::All, "HPF 2 filter", "Apply profile HPF 2 filter value ...",
     "Apply profile HPF 2 filter sucessfully!", "Apply profile HPF 2 filter error!",
     "Apply profile HPF 2 filter value try %d ..."},
    {7, Setting::LPF, M::All, "LPF filter", "Apply profile LPF filter value ...",
     "Apply profile LPF filter sucessfully!", "Apply profile LPF filter error!",
     "Apply profile LPF filter value try %d ..."},
    {8, Setting::EQ_NOTCH, M::All, "EQ notch filter", "Apply profile EQ Notch filter value ...",
     "Apply profile EQ Notch filter sucessfully!", "Apply profile EQ Notch filter error!",
     "Apply profile EQ Notch filter value try %d ..."},
    {9, Setting::EQ_1_GAIN, M::All, "EQ band 1 gain", "Apply profile EQ Band 1 gain value ...",
     "Apply profile EQ Band 1 gain sucessfully!", "Apply profile EQ Band 1 gain error!",
     "Apply profile EQ Band 1 gain value try %d ..."},
    {10, Setting::EQ_2_GAIN, M::All, "EQ band 2 gain", "Apply profile EQ Band 2 gain value ...",
     "Apply profile EQ Band 2 gain sucessfully!", "Apply profile EQ Band 2 gain error!",
     "Apply profile EQ Band 2 gain value try %d ..."},
    {11, Setting::EQ_3_GAIN, M::All, "EQ band 3 gain", "Apply profile EQ Band 3 gain value ...",
     "Apply profile EQ Band 3 gain sucessfully!", "Apply profile EQ Band 3 gain error!",
     "Apply profile EQ Band 3 gain value try %d ..."},
    {12, Setting::EQ_4_GAIN, M::All, "EQ band 4 gain", "Apply profile EQ Band 4 gain value ...",
     "Apply profile EQ Band 4 gain sucessfully!", "Apply profile EQ Band 4 gain error!",
     "Apply profile EQ Band 4 gain value try %d ..."},
    {13, Setting::EQ_5_GAIN, M::All, "EQ band 5 gain", "Apply profile EQ Band 5 gain value ...",
     "Apply profile EQ Band 5 gain sucessfully!", "Apply profile EQ Band 5 gain error!",
     "Apply profile EQ Band 5 gain value try %d ..."},
    {14, Setting::EQ_POWER, M::All, "EQ power", "Apply profile EQ power value ...",
     "Apply profile EQ power sucessfully!", "Apply profile EQ power error!",
     "Apply profile EQ power value try %d ..."},
    {15, Setting::EQ_1_BW_MODE, M::All, "EQ band 1 width mode",
     "Apply profile EQ Band width mode 1 value ...",
     "Apply profile EQ Band width mode 1 sucessfully!", "Apply profile EQ Band width mode 1 error!",
     "Apply profile EQ Band width mode 1 value try %d ..."},
    {16, Setting::EQ_2_BW_MODE, M::All, "EQ band 2 width mode",
     "Apply profile EQ Band width mode 2 value ...",
     "Apply profile EQ Band width mode 2 sucessfully!", "Apply profile EQ Band width mode 2 error!",
     "Apply profile EQ Band width mode 2 value try %d ..."},
    {17, Setting::EQ_3_BW_MODE, M::All, "EQ band 3 width mode",
     "Apply profile EQ Band width mode 3 value ...",
     "Apply profile EQ Band width mode 3 sucessfully!", "Apply profile EQ Band width mode 3 error!",
     "Apply profile EQ Band width mode 3 value try %d ..."},
    {18, Setting::EQ_4_BW_MODE, M::All, "EQ band 4 width mode",
     "Apply profile EQ Band width mode 4 value ...",
     "Apply profile EQ Band width mode 4 sucessfully!", "Apply profile EQ Band width mode 4 error!",
     "Apply profile EQ Band width mode 4 value try %d ..."},
    {19, Setting::EQ_5_BW_MODE, M::All, "EQ band 5 width mode",
     "Apply profile EQ Band width mode 5 value ...",
     "Apply profile EQ Band width mode 5 sucessfully!", "Apply profile EQ Band width mode 5 error!",
     "Apply profile EQ Band width mode 5 value try %d ..."},
    {20, Setting::DirVolume, M::Direction, "direction volume", "Apply profile Direction volume ...",
     "Apply profile Direction volume sucessfully!", "Apply profile Direction volume error!",
     "Apply profile Direction volume try %d ..."},
    {21, Setting::Beam, M::Direction, "direction beam", "Apply profile Direction beam ...",
     "Apply profile Direction beam sucessfully!", "Apply profile Direction beam error!",
     "Apply profile Direction beam try %d ..."},
    {22, Setting::Zoom, M::Direction, "direction zoom", "Apply profile Direction zoom ...",
     "Apply profile Direction zoom sucessfully!", "Apply profile Direction zoom error!",
     "Apply profile Direction zoom try %d ..."},
    {23, Setting::OUT_VOLUME, M::OutputVolume, "analog output volume",
     "Apply profile analog output volume ...", "Apply profile analog output volume sucessfully!",
     "Apply profile analog output volume error!", "Apply profile analog output volume try %d ..."},
    {24, Setting::TPA, M::InputGain, "Power Out Loop and mode",
     "Apply profile Power Out Loop and mode ...",
     "Apply profile Power Out Loop and mode sucessfully!",
     "Apply profile Power Out Loop and mode error!",
     "Apply profile Power Out Loop and mode try %d ..."},
}};

}  // namespace

const std::array<ApplyStep, kApplyStepCount>& applySteps() {
    return kSteps;
}

bool stepApplies(const ApplyStep& step, std::string_view profileModel) {
    using settings::Model;
    const Model m = settings::modelFromProductName(profileModel);
    switch (step.models) {
        case M::All:
            return true;
        case M::Direction:
            return m == Model::Alder || m == Model::Birch || m == Model::Cp2114Bridge;
        case M::OutputVolume:
            return m == Model::Cedar || m == Model::Larch || m == Model::Rowan;
        case M::InputGain:
            return m == Model::Larch || m == Model::Rowan;
    }
    return false;
}

std::string retryText(const ApplyStep& step, int attempt) {
    std::string text(step.retry);
    if (const auto at = text.find("%d"); at != std::string::npos)
        text.replace(at, 2, std::to_string(attempt));
    return text;
}

}  // namespace qm::profiles
