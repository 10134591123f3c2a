#pragma once

#include <QString>

namespace qm::studio::controls {

// The two parts of a command's prompt text "description\ncaption": the description is the body
// of the tooltip, the caption its title (and the short name of the command).
struct Prompt {
    QString description;
    QString caption;

    bool isEmpty() const { return description.isEmpty() && caption.isEmpty(); }
};

// Splits at the first line break. A text without one is both the description and the caption.
Prompt parsePrompt(const QString& text);

// The caption part of a text that may be a prompt: the part after the first line break, or the
// whole text.
QString captionOf(const QString& text);

// Rich text for a tooltip: the caption as a bold title over the description; only the
// description when both are the same.
QString promptToolTip(const Prompt& prompt);

}  // namespace qm::studio::controls
