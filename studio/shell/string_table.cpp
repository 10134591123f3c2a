#include "studio/shell/string_table.h"

#include <QCoreApplication>
#include <algorithm>
#include <array>

namespace qm::studio {
namespace {

struct StringEntry {
    int id;
    const char* text;
};

#define QM_STR(id, text) \
    { id, QT_TRANSLATE_NOOP("StringTable", text) }

// Sorted by number.
constexpr auto kStrings = std::to_array<StringEntry>({
    QM_STR(128, "qmTonecraft"),
    QM_STR(140, "Top window"),
    QM_STR(145, "Click here to see everything you can do with your document\n&File"),
    QM_STR(3000, "Top window"),
    QM_STR(3002, "Main"),
    QM_STR(3003, "Service"),
    QM_STR(3005, "Quillmere® Tonecraft - [Administrator]"),
    QM_STR(3006, "Quillmere® Tonecraft"),
    QM_STR(3007, "Initializes OLE support for the application it has failed !"),
    QM_STR(3008, "This application does not support the Classic Theme Windows !"),
    QM_STR(3009, "Options"),
    QM_STR(3010, "About"),
    QM_STR(3011, "Exit"),
    QM_STR(3015, "Product version"),
    QM_STR(3018, "Product version"),
    QM_STR(3022, "Output"),
    QM_STR(3024, "Display"),
    QM_STR(3025, "Device"),
    QM_STR(3026, "Scale type"),
    QM_STR(3050, "Quillmere Service control"),
    QM_STR(3051, "Start"),
    QM_STR(3052, "Start serice qmMicHost\nStart"),
    QM_STR(3053, "Stop"),
    QM_STR(3054, "Stop service qmMicHost\nStop"),
    QM_STR(3055, "Restart"),
    QM_STR(3056, "Restart service qmMicHost\nRestart"),
    QM_STR(3058, "Waveform"),
    QM_STR(3059, "Specrum"),
    QM_STR(3060, "Waveform"),
    QM_STR(3061, "Select wave scale (10 msec by pixel):"),
    QM_STR(3062, "Spectrum"),
    QM_STR(3063, "Select window funtion:"),
    QM_STR(3064, "Draw mode"),
    QM_STR(3065, "Draw markers"),
    QM_STR(3066, "Line"),
    QM_STR(3067, "Show spectrum line\nLine"),
    QM_STR(3068, "Bar"),
    QM_STR(3069, "Show spectrum bar\nBar"),
    QM_STR(3070, "LPF"),
    QM_STR(3071, "Show frequency markers for LPF\nLPF"),
    QM_STR(3072, "HPF1"),
    QM_STR(3073, "Show frequency markers for HPF 1\nHPF 1"),
    QM_STR(3074, "HPF2"),
    QM_STR(3075, "Show frequency markers for HPF 2\nHPF 2"),
    QM_STR(3076, "EQ"),
    QM_STR(3077, "Show frequency markers for EQ band\nEQ"),
    QM_STR(3078, "Show unactive microphones\nShow unactive"),
    QM_STR(3080, "Show unactive"),
    QM_STR(3082, "Quillmere® Audio Source"),
    QM_STR(3083, "Audio profile"),
    QM_STR(3400, "Reset"),
    QM_STR(3401, "Reset device for default state\nReset"),
    QM_STR(3402, "Refresh"),
    QM_STR(3403, "Refresh audio device list\nRefresh"),
    QM_STR(3404, "Profile"),
    QM_STR(3405, "Save"),
    QM_STR(3406, "Save current microphone data as profile\nSave"),
    QM_STR(3407, "Apply"),
    QM_STR(3408, "Select profile and apply data\nApply"),
    QM_STR(3409, "Spectrum view"),
    QM_STR(3410, "Real time"),
    QM_STR(3411, "Set real time spectrum view\nReal time"),
    QM_STR(3412, "Middle spectrum"),
    QM_STR(3413, "Set middle spectrum veiw\nMiddle spectrum"),
    QM_STR(3414, "Min spectrum"),
    QM_STR(3415, "Set min spectrum veiw\nMin spectrum"),
    QM_STR(3416, "Max spectrum"),
    QM_STR(3417, "Set max spectrum veiw\nMax spectrum"),
    QM_STR(3420, "Rename device"),
    QM_STR(3421, "Set friendly name and description for device\nRename device"),
    QM_STR(3422, "Rename profile"),
    QM_STR(3423, "Set name and description for profile\nRename profile"),
    QM_STR(3503,
           "The version of the installed software %u.%u.%u is less than on the manufacturer's "
           "website %u.%u.%u.\nIt is recommended to update the software. Download the new "
           "version of the software ?"),
    QM_STR(3504, "Audio Preview"),
    QM_STR(3505, "Select output renderer device"),
    QM_STR(3506, "1 pixel 480"),
    QM_STR(3507, "2 pixel 240"),
    QM_STR(3508, "4 pixel 120"),
    QM_STR(3509, "8 pixel 60"),
    QM_STR(3510, "20 pixel 24"),
    QM_STR(3511, "40 pixel 12"),
    QM_STR(3512, "80 pixel 6"),
    QM_STR(3513, "160 pixel 3"),
    QM_STR(3514, "320 pixel 1"),
    QM_STR(3520, "Rectangular"),
    QM_STR(3521, "Bartlett"),
    QM_STR(3522, "Hamming"),
    QM_STR(3523, "Hanning"),
    QM_STR(3524, "Blackman"),
    QM_STR(3525, "Blackman-Harris"),
    QM_STR(3526, "Welch"),
    QM_STR(3527, "Gaussian (a=2.5)"),
    QM_STR(3528, "Gaussian (a=3.5)"),
    QM_STR(3529, "Gaussian (a=4.5)"),
    QM_STR(3720, "Peak meter colors"),
    QM_STR(3721, "Normal"),
    QM_STR(3722, "Mid"),
    QM_STR(3723, "Max"),
    QM_STR(3724, "Waveform colors"),
    QM_STR(3725, "Waveform"),
    QM_STR(3726, "Spectrum colors"),
    QM_STR(3727, "Spectrum"),
    QM_STR(3729, "Marker LPF"),
    QM_STR(3730, "Marker HPF 1"),
    QM_STR(3731, "Marker HPF 2"),
    QM_STR(3732, "Marker EQ"),
    QM_STR(3733, "Fill, transparent %"),
    QM_STR(3740,
           "To change the language, you need to restart the application!\n"
           "Restart the application now?"),
    QM_STR(3741, "Reset hardware settings to default ?"),
    QM_STR(3742, "Wait for reset and restart device ..."),
    QM_STR(3743, "The qmMicHost service was completed!"),
    QM_STR(3750, "Logarithmic waveform scale\nLogarithmic scale"),
    QM_STR(3751, "Logarithmic waveform scale"),
    QM_STR(3752, "Linear waveform scale\nLinear scale"),
    QM_STR(3753, "Linear waveform scale"),
    QM_STR(3755, "Lower bound of the spectrum, dB"),
    QM_STR(3770, "Error open service qmMicHost"),
    QM_STR(3771, "Error stop service qmMicHost"),
    QM_STR(3772, "Error start service qmMicHost"),
    QM_STR(3775, "Cache devices in the system"),
    QM_STR(3776, "Remove device after extraction"),
    QM_STR(3777,
           "To apply the changes, you need to restart the qmMicHost service.\n"
           "If you selected the device removal mode after extraction, all cached devices will be "
           "automatically deleted after the service is restarted!"),
    QM_STR(3778, "Remove an inactive device ?"),
    QM_STR(3779, "Remove all inactive devices ?"),
    QM_STR(3780, "Restart the service now ?"),
    QM_STR(6357, "Rename device"),
    QM_STR(6358, "Remove an inactive device"),
    QM_STR(6359, "Remove all inactive devices"),
    QM_STR(IDS_OTHER_DEVICES, "Other devices"),
    QM_STR(57344, "qmTonecraft"),
    QM_STR(57345, "Ready"),
    QM_STR(59137, "CAP"),
    QM_STR(59138, "NUM"),
    QM_STR(59139, "SCRL"),
});

#undef QM_STR

constexpr bool sortedByNumber() {
    for (std::size_t i = 1; i < kStrings.size(); ++i) {
        if (kStrings[i - 1].id >= kStrings[i].id) {
            return false;
        }
    }
    return true;
}
static_assert(sortedByNumber(), "string numbers must be unique and in ascending order");

}  // namespace

const char* sourceString(int id) {
    const auto found =
        std::lower_bound(kStrings.begin(), kStrings.end(), id,
                         [](const StringEntry& e, int wanted) { return e.id < wanted; });
    if (found == kStrings.end() || found->id != id) {
        return nullptr;
    }
    return found->text;
}

QString loadString(int id) {
    const char* source = sourceString(id);
    if (source == nullptr) {
        return {};
    }
    return QCoreApplication::translate("StringTable", source);
}

}  // namespace qm::studio
