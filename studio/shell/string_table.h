#pragma once

#include <QString>

// The studio's texts, addressed by number. Each text is translated through the installed
// translation (context "StringTable", the English text as the source).
namespace qm::studio {

// The text of a string resource in the user interface language; empty for an unknown number.
QString loadString(int id);
// The English text; nullptr for an unknown number.
const char* sourceString(int id);

// Numbers of the studio's own texts beyond the classic resources.
inline constexpr int IDS_OTHER_DEVICES = 30001;  // header of the list group of unknown products

}  // namespace qm::studio
