#include "studio/controls/prompt.h"

namespace qm::studio::controls {

Prompt parsePrompt(const QString& text) {
    const qsizetype lineBreak = text.indexOf(QLatin1Char('\n'));
    if (lineBreak < 0) {
        return {text, text};
    }
    return {text.left(lineBreak), text.mid(lineBreak + 1)};
}

QString captionOf(const QString& text) {
    return parsePrompt(text).caption;
}

QString promptToolTip(const Prompt& prompt) {
    if (prompt.isEmpty()) {
        return {};
    }
    QString description = prompt.description.toHtmlEscaped();
    if (prompt.caption.isEmpty() || prompt.caption == prompt.description) {
        return description;
    }
    return QStringLiteral("<b>%1</b><br/>%2").arg(prompt.caption.toHtmlEscaped(), description);
}

}  // namespace qm::studio::controls
